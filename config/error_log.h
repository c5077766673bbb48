#pragma once
// The error log: the executable's path with the extension ".log" (in the executable folder).

#include <string>

namespace dorvan {

// <executable folder><executable name without extension>.log
std::string ErrorLogPath();

// Appends three lines: local date and time (short date + " " + long time of the format
// settings), the message, an empty line. Failures to write are ignored.
void WriteErrorLog(const std::string& message);

}  // namespace dorvan
