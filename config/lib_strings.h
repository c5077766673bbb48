#pragma once
// Small string routines shared by every part of the program. Texts are UTF-8; counts are
// characters (code points), never bytes.

#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// A when `choice` is true, else B.
std::string lib_choiceStr(bool choice, std::string_view a, std::string_view b);

// The last `count` characters of `s` (all of `s` when count reaches its length, empty when
// count is 0 or negative).
std::string lib_rightStr(std::string_view s, int count);

// The last 12 characters of `s`, filled on the left with "_" up to 12, in four groups of
// three separated by one blank: "1234567" gives "___ __1 234 567".
std::string lib_groupDigits(std::string_view s);

// Digits grouped by threes from the right with one blank: "1234" gives "1 234", "-123"
// gives "- 123". A text with a decimal comma (or the workstation's decimal separator) is
// only trimmed: "1234,5" stays "1234,5".
std::string lib_groupThousands(std::string_view s);

// Splits UTF-8 text into characters (each element one code point's bytes; a byte that does
// not start a valid sequence counts as one character of its own).
std::vector<std::string_view> Utf8Chars(std::string_view s);

// Number of characters (code points) of UTF-8 text.
std::size_t Utf8Length(std::string_view s);

// Removes leading and trailing blanks and control characters (code 32 and below).
std::string TrimBlanks(std::string_view s);

// Delphi-style integer conversion: optional sign, decimal digits or "$"/"0x" hexadecimal,
// surrounding blanks allowed; anything else, or a value outside 32 bits, throws
// ConversionError("'<text>' is not a valid integer value").
int StrToInt(std::string_view s);

// As StrToInt, but `fallback` instead of the error.
int StrToIntDef(std::string_view s, int fallback);

}  // namespace dorvan
