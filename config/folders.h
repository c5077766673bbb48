#pragma once
// The folders the program works with. Folder texts that stand for a folder end with "/"
// where noted, as the configuration code joins file names directly onto them.

#include <string>
#include <string_view>

namespace dorvan {

// Special-folder identifiers understood by GetSpecialFolder.
inline constexpr int kCsidlPersonal = 5;       // the user's home folder
inline constexpr int kCsidlAppData = 26;       // $XDG_CONFIG_HOME, else ~/.config
inline constexpr int kCsidlLocalAppData = 28;  // $XDG_DATA_HOME, else ~/.local/share

// The folder of the executable with a trailing "/": $DORVAN_EXE_DIR when set (tests, a
// folder standing in for the executable's), else the folder of /proc/self/exe.
std::string GetExeFolder();

// Where the files that come with the program and its main configuration are.
//   Portable: all of them beside the executable (a build tree, a folder such as
//             /opt/dorvan/, or $DORVAN_EXE_DIR whenever it is set).
//   Installed: the executable in <prefix>/bin/ with <prefix>/share/dorvan/ beside it, as the
//             Debian package lays it out: the program's files in <prefix>/share/dorvan/, the
//             main configuration in the system configuration folder (/etc/dorvan/), what the
//             program writes for itself in the per-machine folder.
enum class FileLayout { Portable, Installed };

// The layout of the running program.
FileLayout GetFileLayout();

// The data folder of an installed layout for an executable folder ("/usr/bin/" gives
// "/usr/share/dorvan/" when that folder exists); empty when `exeFolder` is not one.
std::string InstalledDataFolder(std::string_view exeFolder);

// The folder of the main configuration ("Dorvan.ini", "proxy.cfg"), with a trailing "/": the
// executable folder; installed: the system configuration folder.
std::string GetConfigFolder();

// The folder of the files that come with the program ("database_scripts/", "designs/",
// "images/"), with a trailing "/": the executable folder; installed: <prefix>/share/dorvan/.
std::string GetDataFolder();

// The folder where the program keeps files of its own beside the configuration (the error
// log, the default save folder), with a trailing "/": the executable folder; installed: the
// per-machine folder, since the program's folders belong to the package manager.
std::string GetOwnFilesFolder();

// The executable's file name without folder (for example "dorvan-console").
std::string GetExeFileName();

// A special folder without trailing "/", created when missing; empty for an identifier this
// system does not know.
std::string GetSpecialFolder(int csidl);

// The system configuration folder with a trailing "/": $DORVAN_SYSCONFDIR, else /etc/dorvan/.
std::string GetWindowsFolder();

// Folds an executable folder into one folder name: every ":" removed, every "/" (and "\")
// replaced by "_" ("/opt/x/" gives "_opt_x_").
std::string FoldExeFolder(std::string_view exeFolder);

// <local app data>/Norvello/Dorvan2007/<folded exe folder>/ (not created here).
std::string GetMachineFolder(std::string_view exeFolder);

// $TMPDIR (else /tmp) with a trailing "/".
std::string GetTempFolder();

}  // namespace dorvan
