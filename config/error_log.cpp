#include "config/error_log.h"

#include <fstream>

#include "config/folders.h"
#include "config/format_settings.h"

namespace dorvan {

namespace {

std::string Pad(int v, std::size_t width) {
    std::string s = std::to_string(v);
    while (s.size() < width) {
        s.insert(s.begin(), '0');
    }
    return s;
}

}  // namespace

std::string FormatDateTimePattern(const std::string& pattern, const std::tm& t) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) {
            ++run;
        }
        switch (c) {
            case 'y':
                out += run >= 4 ? Pad(t.tm_year + 1900, 4) : Pad((t.tm_year + 1900) % 100, 2);
                break;
            case 'M':
                out += Pad(t.tm_mon + 1, run >= 2 ? 2 : 1);
                break;
            case 'd':
                out += Pad(t.tm_mday, run >= 2 ? 2 : 1);
                break;
            case 'H':
            case 'h':
                out += Pad(t.tm_hour, run >= 2 ? 2 : 1);
                break;
            case 'm':
                out += Pad(t.tm_min, run >= 2 ? 2 : 1);
                break;
            case 's':
                out += Pad(t.tm_sec, run >= 2 ? 2 : 1);
                break;
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

std::string ErrorLogPath() {
    std::string name = GetExeFileName();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return GetExeFolder() + name + ".log";
}

void WriteErrorLog(const std::string& message) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto& fs = GlobalFormatSettings();
    std::ofstream log(ErrorLogPath(), std::ios::app | std::ios::binary);
    if (!log) {
        return;
    }
    log << FormatDateTimePattern(fs.shortDateFormat, local) << ' '
        << FormatDateTimePattern(fs.longTimeFormat, local) << '\n'
        << message << '\n'
        << '\n';
}

}  // namespace dorvan
