#include "app/console_start.h"

#include <unistd.h>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/one_line.h"
#include "app/program_info.h"

namespace dorvan::app {

namespace {

constexpr const char* kProgram = "dorvan-console";

bool PlatformOption(const std::string& arg) {
    return arg == "-platform" || arg == "--platform" || arg.rfind("-platform=", 0) == 0 ||
           arg.rfind("--platform=", 0) == 0;
}

// The installed handler's state. The window system's notes are held back until the
// application object stands: when it cannot start, the first of them (which usually names
// the cause, "could not connect to display :9") makes the one line.
struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};
QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage> heldMessages;

void PassOn(const HeldMessage& m) {
    const QMessageLogContext context(m.file, m.line, m.function, m.category);
    if (previousHandler != nullptr) {
        previousHandler(m.type, context, m.text);
    } else {
        std::fprintf(stderr, "%s\n", m.text.toLocal8Bit().constData());
    }
}

void StartMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        heldMessages.push_back(
            {type, context.file, context.line, context.function, context.category, message});
        return;
    }
    std::string cause;
    for (const HeldMessage& m : heldMessages) {
        if (m.type != QtDebugMsg) {
            cause = m.text.toStdString();
            break;
        }
    }
    if (cause.empty()) {
        // The first line of the fatal message: the rest lists plug-ins.
        cause = message.toStdString();
        cause = cause.substr(0, cause.find('\n'));
    }
    const std::string line =
        std::string(kProgram) + ": cannot start the window system: " + OneLine(cause) + "\n";
    const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    static_cast<void>(written);
    ::_exit(1);
}

}  // namespace

std::string ConsoleUsage() {
    return std::string(
               "Usage: dorvan-console [OPTION]...\n"
               "The invoice console: after the start-up (configuration files, database\n"
               "connection, update scripts, start-up checks) a window with two commands\n"
               "on invoice 4317: the dot-matrix print test (\"racun.txt\" in the current\n"
               "folder, copied to the printer port) and the preview.\n"
               "\n"
               "  -h, --help     show this help and exit\n"
               "      --version  show the version and exit\n"
               "\n"
               "The window system's own options (-platform NAME, -style NAME, ...) are\n"
               "passed on to it. Without a display (neither DISPLAY nor WAYLAND_DISPLAY\n"
               "set, no platform chosen with QT_QPA_PLATFORM or -platform) the console\n"
               "ends with exit status 1 and one line; dorvan-print and dorvan-cli work\n"
               "without one.\n"
               "\n") +
           FilesHelp();
}

std::optional<int> AnswerConsoleCommandLine(const std::vector<std::string>& args,
                                            bool (*hasEnv)(const char* name), std::ostream& out,
                                            std::ostream& err) {
    bool platformChosen = false;
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            out << ConsoleUsage();
            return 0;
        }
        if (arg == "--version") {
            out << VersionText(kProgram);
            return 0;
        }
        platformChosen = platformChosen || PlatformOption(arg);
    }
    if (!platformChosen && !hasEnv("QT_QPA_PLATFORM") && !hasEnv("DISPLAY") &&
        !hasEnv("WAYLAND_DISPLAY")) {
        err << kProgram
            << ": no display (DISPLAY and WAYLAND_DISPLAY are not set); the console needs a "
               "window system, dorvan-print and dorvan-cli work without one\n";
        return 1;
    }
    return std::nullopt;
}

WindowSystemStartGuard::WindowSystemStartGuard() {
    heldMessages.clear();
    previousHandler = qInstallMessageHandler(StartMessages);
}

WindowSystemStartGuard::~WindowSystemStartGuard() {
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& m : heldMessages) {
        PassOn(m);
    }
    heldMessages.clear();
    previousHandler = nullptr;
}

}  // namespace dorvan::app
