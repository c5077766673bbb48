#pragma once
// The running program's version text.

#include <string>
#include <string_view>

namespace dorvan {

// The compiled-in four-number version ("1.10.5.0"), or empty for a build without one.
std::string GetFileVersion();

// "1.10.5.123" gives "1.105": the first number, a dot, the second and third numbers written
// together; the fourth is dropped. A text that is not four dot-separated numbers gives empty.
std::string FormatVersion(std::string_view fileVersion);

// The brand edition's version: the first character replaced by the decimal text of its digit
// value minus 2 ("3.45" gives "1.45"). Empty stays empty; a first character that is not a
// digit throws ConversionError.
std::string OrvelleVersion(std::string_view version);

// The version of the running program ("1.105"), or empty; for the configured database
// "Orvelle_Data" the brand rule applies.
std::string GetVersionString();

}  // namespace dorvan
