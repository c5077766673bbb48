// dorvan-cli: the start-up sequence without windows, then one of the data module's services.
// Reads the configuration, connects the database and opens the module's queries; the start-up's
// dialog texts are kept (--verbose prints them), questions get their safe default (so a connection
// that cannot be made is given up after the bounded attempts).
//
//   dorvan-cli                      the start-up only; one line on stdout naming the connection
//   dorvan-cli SUBCOMMAND ARGS...   the start-up, then the service (see --help)
//
// Exit status: 0 success, 1 failure (one line on stderr), 2 a command line that cannot be
// understood, 3 refused by the service (its message on stderr) or silently aborted.

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/one_line.h"
#include "app/program_info.h"
#include "config/main_table.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"

namespace {

using dorvan::cli::CliCommand;

void PrintUsage(std::ostream& out, const std::vector<CliCommand>& commands) {
    out << "Usage: dorvan-cli [--verbose] [--user USERID] [SUBCOMMAND [ARGS...]]\n"
           "  or:  dorvan-cli --help | --version\n"
           "Without a subcommand: the start-up only, then the connection on one line.\n"
           "A failed start-up ends with its reason on one line; --verbose shows the dialog "
           "texts.\n"
           "--user (default: $DORVAN_USER) signs that user in after the start-up, so that the "
           "user's\nlanguage, rights and record stamps apply; an unknown user is a usage error.\n"
           "Dates are YYYY-MM-DD, numbers use a dot; 'dorvan-cli SUBCOMMAND --help' tells "
           "more.\n\nSubcommands:\n";
    std::size_t width = 0;
    for (const CliCommand& c : commands)
        width = std::max(width, c.name.size());
    for (const CliCommand& c : commands)
        out << "  " << c.name << std::string(width + 2 - c.name.size(), ' ')
            << (c.synopsis.empty() ? "(no arguments)" : c.synopsis) << '\n';
    out << "\nExit status: 0 success, 1 failure (one line on stderr), 2 usage, 3 refused.\n\n"
        << dorvan::app::FilesHelp();
}

void PrintCommandHelp(std::ostream& out, const CliCommand& c) {
    out << "usage: dorvan-cli " << c.name << (c.synopsis.empty() ? "" : " ") << c.synopsis << '\n';
    if (!c.help.empty())
        out << c.help << '\n';
}

// The start-up of the console without its windows; false (the reason already on stderr)
// when the program cannot go on.
bool StartUp(dorvan::TDM& dm, dorvan::ConsoleUi& ui, int& status) {
    try {
        dm.DataModuleCreate();
    } catch (const dorvan::SilentAbort&) {
        status = dorvan::cli::kFailure;
        return false;
    } catch (const std::exception& e) {
        std::cerr << dorvan::app::OneLine(e.what()) << '\n';
        status = dorvan::cli::kFailure;
        return false;
    }
    if (ui.TerminateRequested() || !dm.ZConnection.Connected()) {
        // The step that ended the start-up said why: the update step names the active users,
        // any other step in its last message.
        if (!dm.UpdateScriptRefusal().empty())
            std::cerr << dm.UpdateScriptRefusal() << '\n';
        else if (ui.Quiet() && !ui.LastText().empty())
            std::cerr << dorvan::app::OneLine(ui.LastText()) << '\n';
        status = dorvan::cli::kFailure;
        return false;
    }
    // The services' own messages are their output.
    ui.SetQuiet(false);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    namespace cli = dorvan::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    // Options before the subcommand: --verbose (the dialog texts of the start-up on stderr, not
    // only a failure's reason) and --user USERID (the user to sign in).
    bool verbose = false;
    const char* envUser = std::getenv("DORVAN_USER");
    std::string user = envUser != nullptr ? envUser : "";
    while (!args.empty()) {
        if (args[0] == "--verbose") {
            verbose = true;
            args.erase(args.begin());
        } else if (args[0] == "--user" || args[0].rfind("--user=", 0) == 0) {
            const bool inlineValue = args[0] != "--user";
            if (!inlineValue && args.size() < 2) {
                std::cerr << "dorvan-cli: --user needs a user id\n";
                return cli::kUsage;
            }
            user = inlineValue ? args[0].substr(7) : args[1];
            if (user.empty()) {
                std::cerr << "dorvan-cli: --user needs a user id\n";
                return cli::kUsage;
            }
            args.erase(args.begin(), args.begin() + (inlineValue ? 1 : 2));
        } else {
            break;
        }
    }
    const std::vector<CliCommand> commands = cli::AllCliCommands();

    const CliCommand* command = nullptr;
    cli::CliArgs parsed;
    if (!args.empty()) {
        if (args[0] == "--help" || args[0] == "-h") {
            PrintUsage(std::cout, commands);
            return cli::kSuccess;
        }
        if (args[0] == "--version") {
            std::cout << dorvan::app::VersionText("dorvan-cli");
            return cli::kSuccess;
        }
        for (const CliCommand& c : commands) {
            if (c.name == args[0])
                command = &c;
        }
        if (command == nullptr) {
            std::cerr << "dorvan-cli: unknown subcommand '" << args[0] << "'\n";
            PrintUsage(std::cerr, commands);
            return cli::kUsage;
        }
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const std::string& a : rest) {
            if (a == "--")
                break;
            if (a == "--help" || a == "-h") {
                PrintCommandHelp(std::cout, *command);
                return cli::kSuccess;
            }
        }
        try {
            parsed = cli::ParseCliArgs(*command, rest);
        } catch (const cli::UsageError& e) {
            std::cerr << "dorvan-cli " << command->name << ": " << e.what() << '\n'
                      << "usage: dorvan-cli " << command->name << ' ' << command->synopsis << '\n';
            return cli::kUsage;
        }
    }

    dorvan::ConsoleUi ui(!verbose);
    const dorvan::ScopedUiPort scope(ui);
    dorvan::TDM dm;
    int status = cli::kSuccess;
    if ((command == nullptr || command->needsStartup) && !StartUp(dm, ui, status))
        return status;
    if ((command == nullptr || command->needsStartup) && !user.empty()) {
        try {
            if (!dm.SignIn(user)) {
                std::cerr << "dorvan-cli: unknown user '" << dorvan::app::OneLine(user) << "'\n";
                return cli::kUsage;
            }
        } catch (const std::exception& e) {
            std::cerr << dorvan::app::OneLine(e.what()) << '\n';
            return cli::kFailure;
        }
    }

    if (command == nullptr) {
        const dorvan::TMainTable& mt = dorvan::MainTable();
        std::cout << "Kapcsolódva: " << mt.Host << ":" << mt.Port << "/" << mt.Database << '\n';
        return cli::kSuccess;
    }

    cli::CliContext context{dm, ui, std::cout, std::cerr};
    try {
        return command->run(context, parsed);
    } catch (const cli::UsageError& e) {
        std::cerr << "dorvan-cli " << command->name << ": " << e.what() << '\n';
        return cli::kUsage;
    } catch (const cli::Refused& e) {
        std::cerr << e.what() << '\n';
        return cli::kRefused;
    } catch (const dorvan::SilentAbort&) {
        return cli::kRefused;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return cli::kFailure;
    }
}
