#pragma once
// Free-standing helpers shared by every part of the program.

#include <string>

namespace dorvan {

// Rounds `value` to `decimals` places, exact halves to the even neighbour. The value is
// taken as its shortest decimal text (2.675 is 2.675, not the binary 2.67499...), so
// lib_roundTo(2, 2.675) is 2.68 and lib_roundTo(2, 2.665) is 2.66.
// decimals -50: cash rounding to 5 (last digit below 2.5 -> 0, below 7.5 -> 5, else
// 10; symmetric for negative values). Any other negative `decimals` gives 0.
double lib_roundTo(int decimals, double value);

// Name of a document kind (`bizonylat_fajta` 0..17); "?" outside that range.
std::string lib_bizonylatFajtaNev(int fajta);

}  // namespace dorvan
