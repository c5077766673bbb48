#pragma once
// Date-time values: whole days since 30 December 1899, the fraction is the time of day.
//
// Dates before the base day have a negative whole part; the time of day is then the
// absolute value of the fraction (-1.25 is 29 December 1899, 06:00). Times are kept to
// the millisecond.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dorvan::db {

using TDateTime = double;

struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
};

struct TimeParts {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Throws DbError on an invalid calendar date or time of day.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
// A date (whole part) and a time of day (fraction) joined by the sign rule above.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);
// Whole-day part (time zero) and time-of-day part (0 <= t < 1).
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

// Text forms as the server reads and writes them (DateStyle ISO):
// "YYYY-MM-DD", "HH:MM:SS[.fff]", "YYYY-MM-DD HH:MM:SS[.fff]".
std::string FormatPgDate(TDateTime value);
std::string FormatPgTime(TDateTime value);
std::string FormatPgTimestamp(TDateTime value);

// Parses a server date, time, timestamp (with or without zone; the zone is dropped, the
// clock time is kept) or a "H:mm[:ss]" time. Fractions of a second beyond the
// millisecond are rounded. Returns nullopt when the text is none of these.
std::optional<TDateTime> ParsePgDateTime(std::string_view text);

}  // namespace dorvan::db
