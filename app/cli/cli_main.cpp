// dorvan-cli: the start-up sequence without windows, then one of the data module's services.
// Reads the configuration, connects the database and opens the module's queries; the start-up's
// dialog texts are kept (--verbose prints them), questions get their safe default (so a connection
// that cannot be made is given up after the bounded attempts).
//
//   dorvan-cli                      the start-up only; one line on stdout naming the connection
//   dorvan-cli SUBCOMMAND ARGS...   the start-up, then the service (see --help)
//
// Exit status: 0 success, 1 failure (one line on stderr), 2 a command line that cannot be
// understood, 3 refused by the service (its reason in one line on stderr; nothing for a
// silent abort that gives no reason). With --verbose the whole text of a failure and every
// dialog text as it comes; without it the gist of a failure on one line, and on success the
// service's messages one line each.

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/one_line.h"
#include "app/program_info.h"
#include "config/main_table.h"
#include "config/temp_folder.h"
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

bool g_verbose = false;

// Ends the run with `text`: its gist on one line, or with --verbose all of it.
void Report(const std::string& text) {
    if (!g_verbose) {
        std::cerr << dorvan::app::Summary(text) << '\n';
        return;
    }
    std::string lines = text;
    for (char& c : lines) {
        if (c == '\r')
            c = '\n';
    }
    while (!lines.empty() && lines.back() == '\n')
        lines.pop_back();
    std::cerr << (lines.empty() ? std::string("Ismeretlen hiba") : lines) << '\n';
}

// Qt's own notes stay off stderr, which carries the program's messages; --verbose shows them.
void QtMessages(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (g_verbose)
        std::cerr << message.toStdString() << std::endl;
}

// The start-up of the console without its windows; false (the reason already on stderr, on
// one line) when the program cannot go on.
bool StartUp(dorvan::TDM& dm, dorvan::ConsoleUi& ui, int& status) {
    status = dorvan::cli::kFailure;
    try {
        dm.DataModuleCreate();
    } catch (const dorvan::SilentAbort& e) {
        // The step that gave up said why in its last message (a query that would not open).
        if (!e.Reason().empty())
            Report(e.Reason());
        else if (!g_verbose || ui.LastText().empty())
            Report(ui.LastText().empty() ? "Az indítás megszakadt." : ui.LastText());
        return false;
    } catch (const std::exception& e) {
        Report(e.what());
        return false;
    }
    if (ui.TerminateRequested() || !dm.ZConnection.Connected()) {
        // The step that ended the start-up said why: the update step names the active users,
        // any other step in its last message.
        if (!dm.UpdateScriptRefusal().empty())
            std::cerr << dorvan::app::OneLine(dm.UpdateScriptRefusal()) << '\n';
        else if (!g_verbose && !ui.LastText().empty())
            Report(ui.LastText());
        else if (ui.LastText().empty())
            Report("Nincs adatbázis-kapcsolat.");
        return false;
    }
    // The services' own messages are their output (kept until the service has ended).
    ui.ClearKept();
    status = dorvan::cli::kSuccess;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    namespace cli = dorvan::cli;
    dorvan::RemoveTempFoldersOnSignals();
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
    g_verbose = verbose;
    qInstallMessageHandler(QtMessages);
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
    ui.ClearKept();

    if (command == nullptr) {
        const dorvan::TMainTable& mt = dorvan::MainTable();
        std::cout << "Kapcsolódva: " << mt.Host << ":" << mt.Port << "/" << mt.Database << '\n';
        return cli::kSuccess;
    }

    // What the service writes to stderr itself is its reason; else the gist of its last
    // message tells why it refused or failed.
    std::ostringstream err;
    cli::CliContext context{dm, ui, std::cout, g_verbose ? std::cerr : err};
    try {
        status = command->run(context, parsed);
    } catch (const cli::UsageError& e) {
        std::cerr << "dorvan-cli " << command->name << ": " << e.what() << '\n';
        return cli::kUsage;
    } catch (const cli::Refused& e) {
        Report(e.what());
        return cli::kRefused;
    } catch (const dorvan::SilentAbort& e) {
        if (!e.Reason().empty())
            Report(e.Reason());
        return cli::kRefused;
    } catch (const std::exception& e) {
        Report(e.what());
        return cli::kFailure;
    }
    std::cout.flush();
    if (!err.str().empty()) {
        std::cerr << err.str();
    } else if (status != cli::kSuccess && !ui.Kept().empty()) {
        Report(ui.Kept().back().text);
    } else if (status == cli::kSuccess && command->needsStartup) {
        // (A command that runs the start-up itself keeps the start-up's texts, as it does.)
        for (const dorvan::ConsoleUi::KeptMessage& m : ui.Kept())
            std::cerr << dorvan::ConsoleUi::Line(m.caption, dorvan::app::OneLine(m.text), m.icon)
                      << '\n';
    }
    return status;
}
