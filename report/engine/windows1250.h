#pragma once
// Windows-1250 (Central European) output for the dot-matrix printer.

#include <string>
#include <string_view>

namespace dorvan::report {

// One byte per character; characters that Windows-1250 cannot represent become '?'.
std::string CodePointsToWindows1250(std::u32string_view text);
std::string Utf8ToWindows1250(std::string_view utf8);

}  // namespace dorvan::report

namespace dorvan::report {

// Windows-1250 bytes to code points (bytes the code page leaves undefined become U+FFFD).
std::u32string Windows1250ToCodePoints(std::string_view bytes);

}  // namespace dorvan::report
