#include "db/date_time.h"

#include <cmath>
#include <cstdio>

#include "db/errors.h"

namespace dorvan::db {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Days from 0000-03-01-based civil counting: 1899-12-30 is day 0 of our scale.
constexpr std::int64_t kBaseDayFromEpoch = -25'569;  // 1899-12-30 relative to 1970-01-01

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + static_cast<std::int64_t>(doe) - 719'468;
}

DateParts CivilFromDays(std::int64_t z) {
    z += 719'468;
    const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
    const auto doe = static_cast<unsigned>(z - era * 146'097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return DateParts{static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m),
                     static_cast<int>(d)};
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Splits a value into whole days (signed) and milliseconds of the day (0..kMsPerDay-1).
void Split(TDateTime value, std::int64_t& days, std::int64_t& ms) {
    const double whole = std::trunc(value);
    days = static_cast<std::int64_t>(whole);
    ms = std::llround(std::fabs(value - whole) * static_cast<double>(kMsPerDay));
    if (ms >= kMsPerDay) {  // 23:59:59.9995 and above rounds into the next day
        ms -= kMsPerDay;
        days += 1;  // the next calendar day, also below the base day
    }
}

TDateTime Join(std::int64_t days, std::int64_t ms) {
    const double t = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    const double d = static_cast<double>(days);
    return days < 0 ? d - t : d + t;
}

struct Cursor {
    std::string_view s;
    std::size_t pos = 0;
    bool AtEnd() const { return pos >= s.size(); }
    char Peek() const { return AtEnd() ? '\0' : s[pos]; }
    bool Eat(char c) {
        if (Peek() != c)
            return false;
        ++pos;
        return true;
    }
    // Reads 1..maxDigits digits.
    bool Number(int& out, std::size_t maxDigits) {
        std::size_t n = 0;
        long v = 0;
        while (!AtEnd() && n < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
            v = v * 10 + (s[pos] - '0');
            ++pos;
            ++n;
        }
        out = static_cast<int>(v);
        return n > 0;
    }
};

bool ParseTimePart(Cursor& c, std::int64_t& ms) {
    int h = 0, mi = 0, sec = 0;
    if (!c.Number(h, 2) || !c.Eat(':') || !c.Number(mi, 2))
        return false;
    double frac = 0;
    if (c.Eat(':')) {
        if (!c.Number(sec, 2))
            return false;
        if (c.Eat('.') || c.Eat(',')) {
            double scale = 0.1;
            while (!c.AtEnd() && c.Peek() >= '0' && c.Peek() <= '9') {
                frac += (c.Peek() - '0') * scale;
                scale /= 10;
                ++c.pos;
            }
        }
    }
    if (h > 24 || mi > 59 || sec > 60 || (h == 24 && (mi != 0 || sec != 0 || frac != 0))) {
        return false;
    }
    ms = ((static_cast<std::int64_t>(h) * 60 + mi) * 60 + sec) * 1000 + std::llround(frac * 1000);
    return true;
}

// Skips a zone suffix ("+01", "-05:30", "Z") after a time.
void SkipZone(Cursor& c) {
    if (c.Peek() == 'Z') {
        ++c.pos;
        return;
    }
    if (c.Peek() == '+' || c.Peek() == '-') {
        ++c.pos;
        int dummy = 0;
        c.Number(dummy, 2);
        while (c.Eat(':'))
            c.Number(dummy, 2);
    }
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "Invalid date: %04d-%02d-%02d", year, month, day);
        throw ValueConversionError(buf);
    }
    return static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kBaseDayFromEpoch);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "Invalid time: %02d:%02d:%02d.%03d", hour, minute, second,
                      millisecond);
        throw ValueConversionError(buf);
    }
    const std::int64_t ms =
        ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    const double d = std::trunc(date);
    const double t = std::fabs(time - std::trunc(time));
    return d < 0 ? d - t : d + t;
}

DateParts DecodeDate(TDateTime value) {
    std::int64_t days = 0, ms = 0;
    Split(value, days, ms);
    return CivilFromDays(days + kBaseDayFromEpoch);
}

TimeParts DecodeTime(TDateTime value) {
    std::int64_t days = 0, ms = 0;
    Split(value, days, ms);
    TimeParts t;
    t.millisecond = static_cast<int>(ms % 1000);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.minute = static_cast<int>(ms / 60'000 % 60);
    t.hour = static_cast<int>(ms / 3'600'000);
    return t;
}

TDateTime DateOf(TDateTime value) {
    std::int64_t days = 0, ms = 0;
    Split(value, days, ms);
    return static_cast<double>(days);
}

TDateTime TimeOf(TDateTime value) {
    std::int64_t days = 0, ms = 0;
    Split(value, days, ms);
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

std::string FormatPgDate(TDateTime value) {
    const DateParts d = DecodeDate(value);
    char buf[32];
    if (d.year <= 0) {  // the server writes year 0 as 1 BC
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d BC", 1 - d.year, d.month, d.day);
    } else {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    }
    return buf;
}

std::string FormatPgTime(TDateTime value) {
    const TimeParts t = DecodeTime(value);
    char buf[32];
    if (t.millisecond != 0) {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", t.hour, t.minute, t.second,
                      t.millisecond);
    } else {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    }
    return buf;
}

std::string FormatPgTimestamp(TDateTime value) {
    std::string date = FormatPgDate(value);
    std::string time = FormatPgTime(value);
    const auto bc = date.find(" BC");
    if (bc != std::string::npos)
        return date.substr(0, bc) + " " + time + " BC";
    return date + " " + time;
}

std::optional<TDateTime> ParsePgDateTime(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    bool bc = false;
    if (text.size() > 3 && text.substr(text.size() - 3) == " BC") {
        bc = true;
        text.remove_suffix(3);
    }
    Cursor c{text};
    // A time alone: "H:mm[:ss[.fff]]" (the hour has at most two digits).
    {
        Cursor probe = c;
        int dummy = 0;
        if (probe.Number(dummy, 2) && probe.Peek() == ':') {
            std::int64_t ms = 0;
            if (!ParseTimePart(c, ms))
                return std::nullopt;
            SkipZone(c);
            if (!c.AtEnd() || bc)
                return std::nullopt;
            return Join(0, ms);  // 24:00:00 gives 1.0, the end of the day
        }
    }
    int y = 0, m = 0, d = 0;
    if (!c.Number(y, 7) || !c.Eat('-') || !c.Number(m, 2) || !c.Eat('-') || !c.Number(d, 2)) {
        return std::nullopt;
    }
    if (bc)
        y = 1 - y;
    if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
        return std::nullopt;
    std::int64_t days =
        DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) - kBaseDayFromEpoch;
    std::int64_t ms = 0;
    if (c.Eat(' ') || c.Eat('T')) {
        if (!ParseTimePart(c, ms))
            return std::nullopt;
        SkipZone(c);
    }
    if (!c.AtEnd())
        return std::nullopt;
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++days;
    }
    return Join(days, ms);
}

}  // namespace dorvan::db
