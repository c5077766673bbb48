#include "app/data_module_hook.h"

namespace dorvan::app {

std::function<AppObject()>& DataModuleFactory() {
    static std::function<AppObject()> factory;
    return factory;
}

std::function<AppObject()>& ReportFactory() {
    static std::function<AppObject()> factory;
    return factory;
}

}  // namespace dorvan::app
