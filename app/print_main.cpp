// dorvan-print: the invoice for automation and machines without a screen. The same start-up
// as the console (configuration files, messages on stderr, questions answered with their
// safe default), then the ways out of the command line (see --help).
// Exit status: 0 success; 1 failure, with its reason in one line on stderr (a silent abort
// says nothing); 2 a command line that cannot be understood.

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
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"
#include "report/invoice/szamlabizonylat.h"

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

using dorvan::app::OneLine;

int Fail(const std::exception& error) {
    std::cerr << OneLine(error.what()) << std::endl;
    return kFailure;
}

// Qt's own notes (debug, info, warnings such as a missing runtime folder) stay off stderr,
// which carries the program's messages; critical errors still get there, on one line.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << OneLine(message.toStdString()) << std::endl;
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
    } catch (const SilentAbort&) {
        return kFailure;
    } catch (const std::exception& e) {
        return Fail(e);
    }
    if (ui.TerminateRequested()) {
        // The step that ended the start-up said why: the update step names the active users,
        // any other step in its last message.
        if (!dm.UpdateScriptRefusal().empty()) {
            std::cerr << dm.UpdateScriptRefusal() << std::endl;
        } else if (ui.Quiet() && !ui.LastText().empty()) {
            std::cerr << OneLine(ui.LastText()) << std::endl;
        }
        return kFailure;
    }
    if (!dm.ZConnection.Connected()) {
        std::cerr << "Nincs adatbázis-kapcsolat." << std::endl;
        return kFailure;
    }
    if (!options.user.empty()) {
        try {
            if (!dm.SignIn(options.user)) {
                std::cerr << "dorvan-print: unknown user '" << OneLine(options.user) << "'"
                          << std::endl;
                return kUsage;
            }
        } catch (const std::exception& e) {
            return Fail(e);
        }
    }

    try {
        app::CheckDocumentExists(dm, options);
        TQuickRep_szamlabizonylat report(dm);
        app::RunPrintJob(report, options);
    } catch (const SilentAbort&) {
        return kFailure;
    } catch (const std::exception& e) {
        return Fail(e);
    }
    return 0;
}
