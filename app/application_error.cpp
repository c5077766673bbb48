#include "app/application_error.h"

#include "config/ui_port.h"
#include "datamodule/silent_abort.h"

namespace dorvan::app {

std::string ExceptionMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

void ShowApplicationError(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort&) {
        return;  // a cancellation: nothing to show
    } catch (...) {
    }
    Ui().ShowMessage(kApplicationTitle, ExceptionMessage(error), MessageIcon::Error);
}

}  // namespace dorvan::app
