#pragma once
// The configuration files of the program and the global settings record they fill.
//
//   "Dorvan.ini" beside the executable             read:    [Sales] TestedVersion,
//                                                            [DataBase] Host, Database,
//                                                            Protocol, User, Password, Port
//   "Dorvan.ini" in the per-machine folder          written: the same keys (a record of the
//                                                            settings in use; never read)
//   "Dorvan_machine_sp.ini" in the per-machine      read and written: printers, colours,
//   folder (read from the system configuration      [Save_<exe folder>] SaveDir, [HelpWin]
//   folder when absent there)
//
// The per-machine folder is <local app data>/Norvello/Dorvan2007/<folded exe folder>/.

#include <string>

namespace dorvan {

inline constexpr const char* kMainIniName = "Dorvan.ini";
inline constexpr const char* kMachineIniName = "Dorvan_machine_sp.ini";
inline constexpr int kWhite = 16777215;      // hex FFFFFF
inline constexpr int kLightGrey = 15132390;  // hex E6E6E6

// Reads both files into MainTable(), each file once. A file that is there but is not a
// regular file is not opened and counts as a file that cannot be read. 1 when both blocks finished,
// 0 when one was abandoned (a message names the file). Then selects the configured printer, which
// throws PrinterError when no printer is installed at all.
int ReadIniFiles();

// Writes the settings back into the per-machine folder (creating it), each file in one
// piece. Always 1; a folder or file that cannot be written throws IniWriteError, whose
// message names it and the reason.
int WriteIniFiles();

// The executable folder as ReadIniFiles stored it (with trailing "/").
std::string& ExecutableFolder();

// Caption of the load-error message.
std::string LoadErrorCaption();

}  // namespace dorvan
