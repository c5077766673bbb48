#include "config/error_log.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "config/date_time_pattern.h"
#include "config/folders.h"
#include "config/format_settings.h"

namespace dorvan {

std::string ErrorLogPath() {
    std::string name = GetExeFileName();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return GetOwnFilesFolder() + name + ".log";
}

void WriteErrorLog(const std::string& message) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto& fs = GlobalFormatSettings();
    const std::string path = ErrorLogPath();
    if (GetFileLayout() == FileLayout::Installed) {
        // The per-machine folder may not be there yet.
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    }
    std::ofstream log(path, std::ios::app | std::ios::binary);
    if (!log) {
        return;
    }
    log << FormatDateTimePattern(fs.shortDateFormat, local) << ' '
        << FormatDateTimePattern(fs.longTimeFormat, local) << '\n'
        << message << '\n'
        << '\n';
}

}  // namespace dorvan
