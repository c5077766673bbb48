#include "datamodule/core/server_clock.h"

#include <cstdio>

#include "config/date_time_pattern.h"
#include "db/errors.h"
#include "db/value.h"

namespace dorvan {

namespace {

int ToInt(const std::string& text, const char* what) {
    std::int64_t v = 0;
    if (!db::ParseInteger(text, v)) {
        throw db::ValueConversionError("'" + text + "' is not a valid integer value (" + what +
                                       ")");
    }
    return static_cast<int>(v);
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
    DateTimeFields f;
    f.hasDate = false;
    f.hour = t.hour;
    f.minute = t.minute;
    f.second = t.second;
    f.millisecond = t.millisecond;
    return FormatDateTimePattern(pattern, f);
}

}  // namespace dorvan
