#include "datamodule/core/lib_common.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace dorvan {

namespace {

// A non-negative decimal number as digit strings.
struct Decimal {
    std::string whole;     // at least one digit
    std::string fraction;  // no trailing zeros
};

Decimal ToDecimal(double magnitude) {
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    Decimal d;
    const auto dot = text.find('.');
    d.whole = std::string(text.substr(0, dot));
    if (dot != std::string_view::npos)
        d.fraction = std::string(text.substr(dot + 1));
    while (!d.fraction.empty() && d.fraction.back() == '0')
        d.fraction.pop_back();
    return d;
}

// Adds one unit in the last place of a digit string; may grow it by one digit.
void Increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

double Parse(const std::string& text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

double RoundPlaces(int decimals, double value) {
    const bool negative = std::signbit(value);
    const Decimal d = ToDecimal(std::fabs(value));
    const auto places = static_cast<std::size_t>(decimals);
    if (d.fraction.size() <= places)
        return value;
    std::string kept = d.whole + d.fraction.substr(0, places);
    const char next = d.fraction[places];
    const bool restNonZero = d.fraction.find_first_not_of('0', places + 1) != std::string::npos;
    const bool lastOdd = ((kept.back() - '0') % 2) != 0;
    if (next > '5' || (next == '5' && (restNonZero || lastOdd)))
        Increment(kept);
    const std::size_t wholeLen = kept.size() - places;
    std::string text = kept.substr(0, wholeLen);
    if (places > 0)
        text += "." + kept.substr(wholeLen);
    const double r = Parse(text);
    return negative && r != 0 ? -r : r;
}

double RoundCash(double value) {
    const bool negative = std::signbit(value);
    const Decimal d = ToDecimal(std::fabs(value));
    // magnitude = tens * 10 + last digit + fraction
    const std::string tens = d.whole.size() > 1 ? d.whole.substr(0, d.whole.size() - 1) : "0";
    const int last = d.whole.back() - '0';
    const int firstFraction = d.fraction.empty() ? 0 : d.fraction[0] - '0';
    double step = 0;
    if (last < 2 || (last == 2 && firstFraction < 5)) {
        step = 0;
    } else if (last < 7 || (last == 7 && firstFraction < 5)) {
        step = 5;
    } else {
        step = 10;
    }
    const double r = Parse(tens + "0") + step;
    return negative && r != 0 ? -r : r;
}

constexpr std::array<std::string_view, 18> kBizonylatFajtaNevek = {
    "?",
    "Raktár mozgás",
    "Bizományosi átadás",
    "Nyugtás eladás",
    "Szállítós eladás",
    "Számlás eladás",
    "Raktárközi mozgás",
    "Raktár mozgás",
    "Gyártási lap",
    "Proforma számla",
    "Árajánlat",
    "Kimenő megrendelés",
    "Bejövő megrendelés visszaigazolás",
    "Projekt felhasználás",
    "Felvásárlási jegy",
    "Árajánlatkérő",
    "Előlegszámla",
    "Átvételi jegy",
};

}  // namespace

double lib_roundTo(int decimals, double value) {
    if (!std::isfinite(value))
        return value;
    if (decimals >= 0)
        return RoundPlaces(decimals, value);
    if (decimals == -50)
        return RoundCash(value);
    return 0;
}

std::string lib_bizonylatFajtaNev(int fajta) {
    if (fajta < 0 || fajta >= static_cast<int>(kBizonylatFajtaNevek.size()))
        return "?";
    return std::string(kBizonylatFajtaNevek[static_cast<std::size_t>(fajta)]);
}

}  // namespace dorvan
