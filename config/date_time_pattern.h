#pragma once
// Date and time in a display pattern of the format settings ("yyyy.MM.dd.", "H:mm:ss").

#include <ctime>
#include <string>

namespace dorvan {

// The parts of a date and time to be shown. A time of day alone has no date: its pattern's
// date letters are then copied as they stand.
struct DateTimeFields {
    bool hasDate = true;
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// yyyy year, yy its last two digits; MM/M month; dd/d day; HH/H and hh/h hour (0-23); mm/m
// or nn/n minute; ss/s second; zzz/z millisecond. Doubled letters pad with zeros. Text in
// '...' or "..." and other characters are copied.
std::string FormatDateTimePattern(const std::string& pattern, const DateTimeFields& fields);

// The same for a broken-down time (no milliseconds).
std::string FormatDateTimePattern(const std::string& pattern, const std::tm& t);

}  // namespace dorvan
