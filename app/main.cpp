// dorvan-console: the window program. No command-line arguments are read.

#include "app/application.h"
#include "app/data_module_hook.h"

int main(int argc, char** argv) {
    dorvan::app::ApplicationHooks hooks;
    hooks.createReport = dorvan::app::ReportFactory();
    hooks.createDataModule = dorvan::app::DataModuleFactory();
    return dorvan::app::RunApplication(argc, argv, hooks);
}
