// dorvan-console: the window program. No command-line arguments are read.

#include "app/application.h"
#include "app/console_commands.h"
#include "app/data_module_start.h"

int main(int argc, char** argv) {
    dorvan::app::ApplicationHooks hooks;
    // The data module: created with its start-up sequence (failures shown, console opens).
    hooks.createDataModule = dorvan::app::StartDataModule;
    dorvan::app::InstallConsoleCommands(hooks);  // the report and the two buttons' commands
    return dorvan::app::RunApplication(argc, argv, hooks);
}
