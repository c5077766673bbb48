#include "config/ui_port.h"

#include <iostream>

namespace dorvan {

namespace {

UiPort* g_port = nullptr;

const char* IconWord(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return "information";
        case MessageIcon::Warning:
            return "warning";
        case MessageIcon::Error:
            return "error";
        case MessageIcon::None:
            break;
    }
    return "message";
}

}  // namespace

std::string ConsoleUi::Line(const std::string& caption, const std::string& text, MessageIcon icon) {
    return std::string("[") + IconWord(icon) + "] " + caption + ": " + text;
}

void ConsoleUi::ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) {
    lastText_ = text;
    if (quiet_) {
        kept_.push_back({caption, text, icon});
        return;
    }
    std::string lines = text;
    for (char& c : lines) {
        if (c == '\r') {
            c = '\n';
        }
    }
    std::cerr << Line(caption, lines, icon) << std::endl;
}

bool ConsoleUi::AskYesNo(const std::string& caption, const std::string& text, bool safeDefault) {
    ShowMessage(caption, text + " -> " + (safeDefault ? "yes" : "no"), MessageIcon::None);
    lastText_ = text;
    return safeDefault;
}

UiPort& Ui() {
    static ConsoleUi console;
    return g_port ? *g_port : console;
}

UiPort* SetUiPort(UiPort* port) {
    UiPort* previous = g_port;
    g_port = port;
    return previous;
}

}  // namespace dorvan
