#pragma once
// Reading and writing the values of dorvan-cli's command lines: ISO dates, numbers with a
// dot, keys. Each reader throws cli::UsageError naming the argument.

#include <string>

#include "db/date_time.h"

namespace dorvan::cli {

// "YYYY-MM-DD" (a real calendar day) as a date value.
db::TDateTime ParseIsoDate(const std::string& text, const std::string& what);
// A decimal number with a dot ("-12.5", "400"); no grouping, no comma, finite.
double ParseNumber(const std::string& text, const std::string& what);
// A whole number in int range ("4317", "-1").
int ParseInt(const std::string& text, const std::string& what);

// A number in its shortest form that reads back exactly, with a dot ("400.12", "125",
// "-0.5"); negative zero prints as "0".
std::string FormatNumber(double value);
// A date as "YYYY-MM-DD"; a zero date value (30 December 1899) prints as such.
std::string FormatIsoDate(db::TDateTime value);

}  // namespace dorvan::cli
