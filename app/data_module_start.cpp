#include "app/data_module_start.h"

#include <exception>
#include <memory>

#include "app/application_error.h"
#include "datamodule/dm.h"

namespace dorvan::app {

namespace {

TDM* g_dataModule = nullptr;

// The module as the entry owns it; known to StartedDataModule while it lives.
struct StartedModule {
    StartedModule() { g_dataModule = module.get(); }
    ~StartedModule() {
        if (g_dataModule == module.get()) {
            g_dataModule = nullptr;
        }
    }
    StartedModule(const StartedModule&) = delete;
    StartedModule& operator=(const StartedModule&) = delete;

    std::unique_ptr<TDM> module = std::make_unique<TDM>();
};

}  // namespace

AppObject StartDataModule() {
    auto started = std::make_shared<StartedModule>();
    try {
        started->module->DataModuleCreate();
    } catch (...) {
        ShowApplicationError(std::current_exception());
    }
    return started;
}

TDM* StartedDataModule() {
    return g_dataModule;
}

}  // namespace dorvan::app
