#include "config/lib_amount_in_words.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "config/config_error.h"

namespace dorvan {

namespace {

constexpr std::array<std::string_view, 10> kOnes = {"",   "egy", "kettő", "három", "négy",
                                                    "öt", "hat", "hét",   "nyolc", "kilenc"};
constexpr std::array<std::string_view, 10> kTens = {
    "", "tiz", "husz", "harminc", "negyven", "ötven", "hatvan", "hetven", "nyolcvan", "kilencven"};
constexpr std::array<std::string_view, 10> kTensJoiner = {"", "en", "on", "", "",
                                                          "", "",   "",   "", ""};
// Word after each group of three digits, from the units group upwards.
constexpr std::array<std::string_view, 6> kGroupWords = {"",         "ezer",   "millió",
                                                         "milliárd", "billió", "billiárd"};

// Whole amounts from this on have no group word left.
constexpr double kWholeLimit = 1e18;

// One group of three digits (hundreds, tens, ones) without its group word.
std::string GroupWords(unsigned hundreds, unsigned tens, unsigned ones) {
    std::string words;
    words += kOnes[hundreds];
    if (hundreds != 0) {
        words += "száz";
    }
    words += kTens[tens];
    if (ones > 0) {
        words += kTensJoiner[tens];
    }
    words += kOnes[ones];
    return words;
}

// Hundredths rounded to the nearest integer, exact halves to the even neighbour.
int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));  // default rounding mode: to nearest even
}

}  // namespace

std::string lib_amountInWords(double amount) {
    if (!std::isfinite(amount)) {
        throw ConversionError("The amount cannot be written in words");
    }
    const bool negative = amount < 0;
    double x = std::fabs(amount);
    double whole = std::trunc(x);
    int hundredths = RoundHalfEven((x - whole) * 100.0);
    if (hundredths >= 100) {
        // 0.995 and the like round up to the next whole amount, not to "00/100".
        whole += 1.0;
        hundredths = 0;
    }
    if (whole >= kWholeLimit) {
        throw ConversionError("The amount cannot be written in words");
    }
    std::string fraction;
    if (hundredths != 0) {
        const std::string digits = "00" + std::to_string(hundredths);
        fraction = " " + digits.substr(digits.size() - 2) + "/100";
    }

    // Digits in groups of three, units group first.
    auto rest = static_cast<std::uint64_t>(whole);
    std::array<unsigned, kGroupWords.size() * 3> digits{};
    for (auto& d : digits) {
        d = static_cast<unsigned>(rest % 10);
        rest /= 10;
    }

    std::string words;
    for (std::size_t group = kGroupWords.size(); group-- > 0;) {
        const unsigned h = digits[group * 3 + 2];
        const unsigned t = digits[group * 3 + 1];
        const unsigned o = digits[group * 3];
        words += GroupWords(h, t, o);
        if (group == 0 || (h == 0 && t == 0 && o == 0)) {
            continue;
        }
        words += kGroupWords[group];
        // "ezer" is joined to the hundreds by a hyphen when its own tens or ones are set
        // ("kettőezer-ötszáz", but "egyszázezerötszáz"), and only when words follow.
        if (group == 1 && (t != 0 || o != 0) &&
            (digits[0] != 0 || digits[1] != 0 || digits[2] != 0)) {
            words += "-";
        }
    }

    // An amount that rounds to nothing is not "mínusz".
    const bool minus = negative && (whole > 0 || hundredths != 0);
    return (minus ? std::string("mínusz ") : std::string()) + words + " " + fraction;
}

}  // namespace dorvan
