#pragma once
// Pure parts of the server clock: composing the server's date-time from the texts the
// server returns, and time-of-day text in a format pattern.

#include <string>

#include "datamodule/common_types.h"

namespace dorvan {

// Year, month, day, hour and minute as integer texts; the seconds may carry a fraction
// ("7.25" or "7,25"), which is dropped. Throws db::ValueConversionError on other texts.
TServerDateTime ComposeServerDateTime(const std::string& year, const std::string& month,
                                      const std::string& day, const std::string& hour,
                                      const std::string& minute, const std::string& second);

// Time of day in a pattern such as "H:mm:ss": H/HH and h/hh hour (0-23), mm/m or nn/n
// minute, ss/s second, zzz millisecond; text in '...' or "..." and other characters are
// copied.
std::string FormatTimeText(const std::string& pattern, TDateTime time);

}  // namespace dorvan
