// dorvan-print: the invoice for automation and machines without a screen. The same start-up
// as the console (configuration files, messages on stderr, questions answered with their
// safe default), then the ways out of the command line (see --help).
// Exit status: 0 success; 1 failure, with its reason in one line on stderr (--verbose: the
// whole text); 2 a command line that cannot be understood.

#include <QApplication>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/one_line.h"
#include "app/print_job.h"
#include "app/print_options.h"
#include "app/program_info.h"
#include "config/temp_folder.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"
#include "report/invoice/szamlabizonylat.h"

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

using dorvan::app::OneLine;

bool g_verbose = false;

// Ends the run with `text`: its gist on one line, or with --verbose all of it.
int Fail(const std::string& text) {
    if (!g_verbose) {
        std::cerr << dorvan::app::Summary(text) << std::endl;
        return kFailure;
    }
    std::string lines = text;
    for (char& c : lines) {
        if (c == '\r') {
            c = '\n';
        }
    }
    while (!lines.empty() && lines.back() == '\n') {
        lines.pop_back();
    }
    std::cerr << (lines.empty() ? std::string("Ismeretlen hiba") : lines) << std::endl;
    return kFailure;
}

// A silent abort still ends a failed run with one line: the reason it carries, else the last
// message of the step that gave up, else `fallback`.
int FailSilently(const dorvan::SilentAbort& abort, const std::string& lastMessage,
                 const std::string& fallback) {
    if (!abort.Reason().empty()) {
        return Fail(abort.Reason());
    }
    if (g_verbose && !lastMessage.empty()) {
        return kFailure;  // shown as it came
    }
    return Fail(lastMessage.empty() ? fallback : lastMessage);
}

// Qt's own notes (debug, info, warnings such as a missing runtime folder, critical notes that
// come before the program's own reason) stay off stderr, which carries the program's one
// line; --verbose shows them.
void QtMessages(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (g_verbose) {
        std::cerr << message.toStdString() << std::endl;
    }
}

// Without a display the program runs on Qt's offscreen platform.
void ChooseHeadlessPlatform() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dorvan;
    RemoveTempFoldersOnSignals();

    app::PrintOptions options;
    try {
        const char* envUser = std::getenv("DORVAN_USER");
        options = app::ParsePrintOptions(std::vector<std::string>(argv + 1, argv + argc),
                                         envUser != nullptr ? envUser : "");
    } catch (const app::PrintUsageError& e) {
        std::cerr << "dorvan-print: " << e.what() << " (see --help)" << std::endl;
        return kUsage;
    }
    if (options.help) {
        std::cout << app::PrintUsage();
        return 0;
    }
    if (options.version) {
        std::cout << app::VersionText("dorvan-print");
        return 0;
    }

    g_verbose = options.verbose;
    ChooseHeadlessPlatform();
    qInstallMessageHandler(QtMessages);
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);

    // The dialog texts are kept (shown with --verbose); a failure ends with its reason alone.
    ConsoleUi ui(!options.verbose);
    const ScopedUiPort scope(ui);
    TDM dm;
    try {
        dm.DataModuleCreate();
    } catch (const SilentAbort& e) {
        return FailSilently(e, ui.LastText(), "Az indítás megszakadt.");
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    if (ui.TerminateRequested()) {
        // The step that ended the start-up said why: the update step names the active users,
        // any other step in its last message.
        if (!dm.UpdateScriptRefusal().empty()) {
            std::cerr << OneLine(dm.UpdateScriptRefusal()) << std::endl;
            return kFailure;
        }
        if (g_verbose && !ui.LastText().empty()) {
            return kFailure;  // shown as it came
        }
        return Fail(ui.LastText().empty() ? std::string("Nincs adatbázis-kapcsolat.")
                                          : ui.LastText());
    }
    if (!dm.ZConnection.Connected()) {
        return Fail("Nincs adatbázis-kapcsolat.");
    }
    if (!options.user.empty()) {
        try {
            if (!dm.SignIn(options.user)) {
                std::cerr << "dorvan-print: unknown user '" << OneLine(options.user) << "'"
                          << std::endl;
                return kUsage;
            }
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
    }

    ui.ClearKept();
    try {
        app::CheckDocumentExists(dm, options);
        TQuickRep_szamlabizonylat report(dm);
        app::RunPrintJob(report, options);
    } catch (const SilentAbort& e) {
        return FailSilently(e, ui.Kept().empty() ? std::string() : ui.Kept().back().text,
                            "A nyomtatás megszakadt.");
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    return 0;
}
