#pragma once
// What dorvan-console settles before its window system starts: --help and --version, and a
// machine without a display, which ends with one line instead of the window system's abort.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace dorvan::app {

// The exit status when the command line was answered (--help, --version: 0) or the console
// cannot start (no display: 1, one line on `err`); nullopt: go on and start the window.
// `args` are the arguments after the program name; `hasEnv` tells whether an environment
// variable is set and not empty. The window system's own options (-platform NAME, -style
// NAME, ...) are left to it.
std::optional<int> AnswerConsoleCommandLine(const std::vector<std::string>& args,
                                            bool (*hasEnv)(const char* name), std::ostream& out,
                                            std::ostream& err);

// The text of --help.
std::string ConsoleUsage();

// While it lives, a fatal message of the window system (a display that cannot be reached, a
// platform plugin that cannot start) ends the program with status 1 and one line on stderr
// instead of an abort. Meant for the construction of the application object.
class WindowSystemStartGuard {
  public:
    WindowSystemStartGuard();
    ~WindowSystemStartGuard();
    WindowSystemStartGuard(const WindowSystemStartGuard&) = delete;
    WindowSystemStartGuard& operator=(const WindowSystemStartGuard&) = delete;
};

}  // namespace dorvan::app
