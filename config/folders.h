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

// The folder of the executable with a trailing "/": $DORVAN_EXE_DIR when set (tests,
// packaged installs), else the folder of /proc/self/exe.
std::string GetExeFolder();

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
