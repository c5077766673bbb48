// dorvan-cli: the start-up sequence without windows. Reads the configuration, connects the
// database and opens the module's queries; messages go to stderr, questions get their safe
// default (so a connection that cannot be made is given up after the bounded attempts).
// Exit status 0 and one line on stdout when the start-up completed; otherwise 1 and the
// reason in one line on stderr.

#include <exception>
#include <iostream>

#include "config/main_table.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"

int main() {
    dorvan::ConsoleUi ui;
    const dorvan::ScopedUiPort scope(ui);
    dorvan::TDM dm;
    try {
        dm.DataModuleCreate();
    } catch (const dorvan::SilentAbort&) {
        return 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    if (ui.TerminateRequested() || !dm.ZConnection.Connected()) {
        return 1;
    }
    const dorvan::TMainTable& mt = dorvan::MainTable();
    std::cout << "Kapcsolódva: " << mt.Host << ":" << mt.Port << "/" << mt.Database << '\n';
    return 0;
}
