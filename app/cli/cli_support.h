#pragma once
// Reading and writing the values of dorvan-cli's command lines: ISO dates, numbers with a
// dot, keys. Each reader throws cli::UsageError naming the argument.

#include <stdexcept>
#include <string>

#include "db/date_time.h"

namespace dorvan::cli {

// A well-formed number beyond what any figure may be: a failure (exit 1, one line), nothing
// is written.
class NumberOutOfRange : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The largest magnitude of an amount, price or quantity on the command line: far beyond any
// real one, and small enough that sums and products of stored figures stay finite.
inline constexpr double kMaxNumber = 1e15;

// "YYYY-MM-DD" exactly (four, two and two digits; a real calendar day) as a date value.
db::TDateTime ParseIsoDate(const std::string& text, const std::string& what);
// A decimal number with a dot ("-12.5", "400"); no grouping, no comma, no exponent
// (UsageError), at most kMaxNumber in magnitude (NumberOutOfRange).
double ParseNumber(const std::string& text, const std::string& what);
// A whole number in int range ("4317", "-1").
int ParseInt(const std::string& text, const std::string& what);

// A number in its shortest form that reads back exactly, with a dot ("400.12", "125",
// "-0.5"); negative zero prints as "0". A number that is not finite (an overflow) is never
// printed: std::runtime_error.
std::string FormatNumber(double value);
// A date as "YYYY-MM-DD"; a zero date value (30 December 1899) prints as such.
std::string FormatIsoDate(db::TDateTime value);

}  // namespace dorvan::cli
