#include "config/version.h"

#include <vector>

#include "config/config_error.h"
#include "config/main_table.h"

namespace dorvan {

std::string GetFileVersion() {
#if defined(DORVAN_VERSION_MAJOR) && defined(DORVAN_VERSION_MINOR) && \
    defined(DORVAN_VERSION_PATCH) && defined(DORVAN_VERSION_TWEAK)
    return std::to_string(DORVAN_VERSION_MAJOR + 0) + "." +
           std::to_string(DORVAN_VERSION_MINOR + 0) + "." +
           std::to_string(DORVAN_VERSION_PATCH + 0) + "." +
           std::to_string(DORVAN_VERSION_TWEAK + 0);
#else
    return {};
#endif
}

std::string FormatVersion(std::string_view fileVersion) {
    std::vector<std::string> parts(1);
    for (char c : fileVersion) {
        if (c == '.') {
            parts.emplace_back();
        } else if (c >= '0' && c <= '9') {
            parts.back() += c;
        } else {
            return {};
        }
    }
    if (parts.size() != 4) {
        return {};
    }
    for (const auto& p : parts) {
        if (p.empty()) {
            return {};
        }
    }
    return parts[0] + "." + parts[1] + parts[2];
}

std::string OrvelleVersion(std::string_view version) {
    if (version.empty()) {
        return {};
    }
    const char first = version.front();
    if (first < '0' || first > '9') {
        throw ConversionError("'" + std::string(1, first) + "' is not a valid integer value");
    }
    return std::to_string((first - '0') - 2) + std::string(version.substr(1));
}

std::string GetVersionString() {
    std::string version = FormatVersion(GetFileVersion());
    if (MainTable().Database == "Orvelle_Data") {
        version = OrvelleVersion(version);
    }
    return version;
}

}  // namespace dorvan
