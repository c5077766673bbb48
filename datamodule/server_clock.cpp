#include "datamodule/server_clock.h"

#include <cstdio>

#include "db/errors.h"
#include "db/value.h"

namespace dorvan {

namespace {

int ToInt(const std::string& text, const char* what) {
    std::int64_t v = 0;
    if (!db::ParseInteger(text, v)) {
        throw db::ConversionError("'" + text + "' is not a valid integer value (" + what + ")");
    }
    return static_cast<int>(v);
}

std::string Padded(int value, std::size_t width) {
    std::string s = std::to_string(value);
    while (s.size() < width)
        s.insert(s.begin(), '0');
    return s;
}

}  // namespace

TServerDateTime ComposeServerDateTime(const std::string& year, const std::string& month,
                                      const std::string& day, const std::string& hour,
                                      const std::string& minute, const std::string& second) {
    std::string sec = second;
    for (char& c : sec) {
        if (c == '.')
            c = ',';
    }
    sec = sec.substr(0, sec.find(','));
    TServerDateTime t;
    t.Date = db::EncodeDate(ToInt(year, "year"), ToInt(month, "month"), ToInt(day, "day"));
    t.Time = db::EncodeTime(ToInt(hour, "hour"), ToInt(minute, "minute"), ToInt(sec, "second"), 0);
    t.DateTime = db::ComposeDateTime(t.Date, t.Time);
    return t;
}

std::string FormatTimeText(const std::string& pattern, TDateTime time) {
    const db::TimeParts t = db::DecodeTime(time);
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
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        switch (c) {
            case 'H':
            case 'h':
                out += Padded(t.hour, run >= 2 ? 2 : 1);
                break;
            case 'm':
            case 'n':
                out += Padded(t.minute, run >= 2 ? 2 : 1);
                break;
            case 's':
                out += Padded(t.second, run >= 2 ? 2 : 1);
                break;
            case 'z':
                out += Padded(t.millisecond, run >= 3 ? 3 : 1);
                break;
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

}  // namespace dorvan
