#pragma once
// Number masks, the general number format (config/number_mask.h) and date display formats
// of the printed report, with the workstation's format settings.

#include <QDate>
#include <QDateTime>
#include <string>

#include "config/format_settings.h"
#include "config/number_mask.h"

namespace dorvan::report {

using dorvan::FormatFloat;
using dorvan::FormatGeneralNumber;

// Date display formats: yyyy yy MM M dd d HH H hh h mm m ss s zzz; other characters and
// quoted text stand as they are. An empty format gives the short date format, followed by
// the long time format when the value has a time of day.
std::string FormatDateTime(const std::string& format, const QDateTime& value,
                           const FormatSettings& settings = GlobalFormatSettings());
std::string FormatDate(const std::string& format, const QDate& value,
                       const FormatSettings& settings = GlobalFormatSettings());

}  // namespace dorvan::report
