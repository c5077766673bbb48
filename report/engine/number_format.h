#pragma once
// Number masks, the general number format and date display formats of the printed report,
// with the workstation's format settings (Hungarian: decimal ",", thousands " ").
//
// Number masks: "0" a required digit, "#" an optional digit, "." the decimal point (printed
// as the decimal separator), "," anywhere among the integer placeholders switches on digit
// grouping (printed as the thousands separator); other characters and text in quotes are
// printed as they stand. Up to three sections separated by ";": positive; negative (printed
// without a sign); zero. Values are rounded half away from zero to the mask's decimals.

#include <QDate>
#include <QDateTime>
#include <string>

#include "config/format_settings.h"

namespace dorvan::report {

// Formats a value with a number mask; an empty mask gives the general number format.
std::string FormatFloat(const std::string& mask, double value,
                        const FormatSettings& settings = GlobalFormatSettings());

// Up to 15 significant digits, the decimal separator, no thousands separators, no trailing
// zeros; scientific notation for very large and very small values.
std::string FormatGeneralNumber(double value,
                                const FormatSettings& settings = GlobalFormatSettings());

// Date display formats: yyyy yy MM M dd d HH H hh h mm m ss s zzz; other characters and
// quoted text stand as they are. An empty format gives the short date format, followed by
// the long time format when the value has a time of day.
std::string FormatDateTime(const std::string& format, const QDateTime& value,
                           const FormatSettings& settings = GlobalFormatSettings());
std::string FormatDate(const std::string& format, const QDate& value,
                       const FormatSettings& settings = GlobalFormatSettings());

}  // namespace dorvan::report
