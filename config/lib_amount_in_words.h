#pragma once
// The amount of a document in Hungarian words, as printed in the closing clauses.

#include <string>

namespace dorvan {

// The amount in Hungarian words with the fraction as hundredths, written together without
// spaces between the words: 15 gives "tizenöt ", 2500 "kettőezer-ötszáz ",
// 1234567.5 "egymilliókettőszázharmincnégyezer-ötszázhatvanhét  50/100", 0.05 "  05/100".
// The integer words are always followed by one space, then the fraction text " NN/100"
// when the hundredths are not 0. Negative amounts start with "mínusz ".
// Whole amounts up to 999 999 999 999 999 999 are spelled (groups of "ezer", "millió",
// "milliárd", "billió", "billiárd"); a larger or non-finite amount raises ConversionError.
std::string lib_amountInWords(double amount);

}  // namespace dorvan
