#include "app/application_error.h"

#include "config/ui_port.h"

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
    Ui().ShowMessage(kApplicationTitle, ExceptionMessage(error), MessageIcon::Error);
}

}  // namespace dorvan::app
