#include "app/port_copy.h"

#include <cstdlib>

#include "app/output_file.h"

namespace dorvan::app {

std::string Lpt1DevicePath() {
    const char* configured = std::getenv(kLpt1DeviceVariable);
    if (configured != nullptr && *configured != '\0') {
        return configured;
    }
    return kDefaultLpt1Device;
}

bool CopyFileToPort(const std::string& source, const std::string& target, std::string* reason) {
    try {
        CopyToOutput(source, target);
        return true;
    } catch (const OutputError& e) {
        if (reason != nullptr)
            *reason = e.what();
        return false;
    }
}

}  // namespace dorvan::app
