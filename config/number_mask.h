#pragma once
// Number masks and the general number format, with the workstation's format settings
// (Hungarian: decimal ",", thousands " ").
//
// Number masks: "0" a required digit, "#" an optional digit, "." the decimal point (printed
// as the decimal separator), "," anywhere among the integer placeholders switches on digit
// grouping (printed as the thousands separator); other characters and text in quotes are
// printed as they stand. Up to three sections separated by ";": positive; negative (printed
// without a sign); zero. Values are rounded half away from zero to the mask's decimals.

#include <string>

#include "config/format_settings.h"

namespace dorvan {

// Formats a value with a number mask; an empty mask gives the general number format.
std::string FormatFloat(const std::string& mask, double value,
                        const FormatSettings& settings = GlobalFormatSettings());

// Up to 15 significant digits, the decimal separator, no thousands separators, no trailing
// zeros; scientific notation for very large and very small values.
std::string FormatGeneralNumber(double value,
                                const FormatSettings& settings = GlobalFormatSettings());

}  // namespace dorvan
