#pragma once
// The error log: the executable's path with the extension ".log" (in the executable folder).

#include <ctime>
#include <string>

namespace dorvan {

// <executable folder><executable name without extension>.log
std::string ErrorLogPath();

// Appends three lines: local date and time (short date + " " + long time of the format
// settings), the message, an empty line. Failures to write are ignored.
void WriteErrorLog(const std::string& message);

// Formats a broken-down time with a pattern of the format settings (yyyy, yy, MM, M, dd, d,
// HH, H, hh, h, mm, m, ss, s; other characters are copied).
std::string FormatDateTimePattern(const std::string& pattern, const std::tm& t);

}  // namespace dorvan
