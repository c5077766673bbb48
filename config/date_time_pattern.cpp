#include "config/date_time_pattern.h"

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

std::string FormatDateTimePattern(const std::string& pattern, const DateTimeFields& f) {
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string::npos ? pattern.size() : close;
            out += pattern.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) {
            ++run;
        }
        const bool date = f.hasDate;
        if (date && c == 'y') {
            out += run >= 4 ? Pad(f.year, 4) : Pad(f.year % 100, 2);
        } else if (date && c == 'M') {
            out += Pad(f.month, run >= 2 ? 2 : 1);
        } else if (date && c == 'd') {
            out += Pad(f.day, run >= 2 ? 2 : 1);
        } else if (c == 'H' || c == 'h') {
            out += Pad(f.hour, run >= 2 ? 2 : 1);
        } else if (c == 'm' || c == 'n') {
            out += Pad(f.minute, run >= 2 ? 2 : 1);
        } else if (c == 's') {
            out += Pad(f.second, run >= 2 ? 2 : 1);
        } else if (c == 'z') {
            out += Pad(f.millisecond, run >= 3 ? 3 : 1);
        } else {
            out.append(run, c);
        }
        i += run;
    }
    return out;
}

std::string FormatDateTimePattern(const std::string& pattern, const std::tm& t) {
    DateTimeFields f;
    f.year = t.tm_year + 1900;
    f.month = t.tm_mon + 1;
    f.day = t.tm_mday;
    f.hour = t.tm_hour;
    f.minute = t.tm_min;
    f.second = t.tm_sec;
    return FormatDateTimePattern(pattern, f);
}

}  // namespace dorvan
