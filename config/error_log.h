#pragma once
// The error log: the executable's path with the extension ".log" (in the executable folder;
// an installed program keeps it in its per-machine folder).

#include <string>

namespace dorvan {

// <executable folder><executable name without extension>.log; installed: the per-machine
// folder instead of the executable folder.
std::string ErrorLogPath();

// Appends three lines: local date and time (short date + " " + long time of the format
// settings), the message, an empty line. Failures to write are ignored.
void WriteErrorLog(const std::string& message);

}  // namespace dorvan
