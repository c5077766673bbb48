#pragma once
// UTF-8 <-> code points. Text inside the program is UTF-8; routines that count, cut or pad
// text work on code points.

#include <string>
#include <string_view>

namespace dorvan::report {

// Malformed sequences become U+FFFD.
std::u32string Utf8ToCodePoints(std::string_view utf8);
std::string CodePointsToUtf8(std::u32string_view text);
std::size_t Utf8Length(std::string_view utf8);

// The text with every C0 control character except TAB, CR and LF replaced by a space: what
// a stored text may carry (ESC, FF, BEL, ...) must not reach a printer as a command. CR and
// LF stay for the caller that splits the text into lines at them.
std::string BlankControlChars(std::string_view utf8);

}  // namespace dorvan::report
