#pragma once
// dorvan-cli's subcommands: each area of services adds a table of commands in a file of its
// own (app/cli/<area>_commands.cpp) and one line in AllCliCommands (cli_commands.cpp).
//
// Conventions: dates ISO (YYYY-MM-DD), numbers with a dot, one result per line with TAB
// between fields; exit 0 success, 1 failure with one line on stderr, 2 usage, 3 refused
// (the service's message on stderr) or silently aborted (nothing).

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace dorvan {

class TDM;
class ConsoleUi;

namespace cli {

enum ExitCode : int { kSuccess = 0, kFailure = 1, kUsage = 2, kRefused = 3 };

// What a running subcommand works with: the started data module and the output streams.
struct CliContext {
    TDM& dm;
    ConsoleUi& ui;
    std::ostream& out;
    std::ostream& err;
};

// The command line of one subcommand after its name: positional arguments and options
// ("--name" or "--name VALUE" / "--name=VALUE"), as declared by the command.
class CliArgs {
  public:
    const std::vector<std::string>& Positional() const { return positional_; }
    const std::string& At(std::size_t index) const { return positional_.at(index); }
    bool Has(const std::string& option) const;
    // The value of an option that takes one; `fallback` when it was not given.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;

  private:
    friend CliArgs ParseCliArgs(const struct CliCommand&, const std::vector<std::string>&);
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> options_;
};

struct CliCommand {
    std::string name;
    // One line of arguments, shown by --help and on a usage error ("CURRENCY DATE").
    std::string synopsis;
    // What it prints, a sentence or two, shown by --help.
    std::string help;
    std::size_t minPositional = 0;
    std::size_t maxPositional = 0;
    std::vector<std::string> flags;         // options without a value ("--all")
    std::vector<std::string> valueOptions;  // options with a value ("--date")
    std::function<int(CliContext&, const CliArgs&)> run;
    // False for a command that runs without the start-up (none so far).
    bool needsStartup = true;
};

// A command line the subcommand cannot understand: exit 2 with the message and the synopsis.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
// The service refused the operation with a message of its own: exit 3, the message on stderr.
class Refused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Splits `args` by the command's declaration; throws UsageError (also for an option given an
// empty value: "--date ''" is refused by every command alike).
CliArgs ParseCliArgs(const CliCommand& command, const std::vector<std::string>& args);

// Every subcommand, in the order --help lists them.
std::vector<CliCommand> AllCliCommands();

}  // namespace cli
}  // namespace dorvan
