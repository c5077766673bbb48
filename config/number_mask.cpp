#include "config/number_mask.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace dorvan {

namespace {

// A finite non-negative value as decimal digits: value = 0.digits x 10^pointPos, with 15
// significant digits (what a double carries reliably).
struct Decimal {
    std::string intDigits;   // without leading zeros
    std::string fracDigits;  // as many as needed
};

// The 15 significant digits of a finite positive magnitude (what a double carries reliably)
// and its decimal exponent: magnitude = d.dddddddddddddd x 10^exponent.
std::string SignificantDigits(double magnitude, int& exponent) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    std::string digits;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    exponent = std::atoi(p + 1);
    return digits;
}

Decimal ToDecimal(double magnitude) {
    Decimal d;
    if (magnitude == 0)
        return d;
    int exponent = 0;
    const std::string digits = SignificantDigits(magnitude, exponent);
    const int pointPos = exponent + 1;  // digits before the decimal point
    if (pointPos <= 0) {
        d.fracDigits = std::string(static_cast<std::size_t>(-pointPos), '0') + digits;
    } else if (pointPos >= static_cast<int>(digits.size())) {
        d.intDigits = digits + std::string(static_cast<std::size_t>(pointPos) - digits.size(), '0');
    } else {
        d.intDigits = digits.substr(0, static_cast<std::size_t>(pointPos));
        d.fracDigits = digits.substr(static_cast<std::size_t>(pointPos));
    }
    return d;
}

// Rounds to `decimals` fraction digits, halves away from zero (the value is a magnitude).
void RoundDecimal(Decimal& d, std::size_t decimals) {
    if (d.fracDigits.size() <= decimals)
        return;
    const bool up = d.fracDigits[decimals] >= '5';
    d.fracDigits.resize(decimals);
    if (!up)
        return;
    std::string all = d.intDigits + d.fracDigits;
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0; --i) {
        if (all[static_cast<std::size_t>(i)] == '9') {
            all[static_cast<std::size_t>(i)] = '0';
        } else {
            ++all[static_cast<std::size_t>(i)];
            break;
        }
    }
    if (i < 0)
        all.insert(all.begin(), '1');
    const std::size_t intLen = all.size() - decimals;
    d.intDigits = all.substr(0, intLen);
    d.fracDigits = all.substr(intLen);
}

bool IsZero(const Decimal& d) {
    return d.intDigits.find_first_not_of('0') == std::string::npos &&
           d.fracDigits.find_first_not_of('0') == std::string::npos;
}

std::vector<std::string> SplitSections(const std::string& mask) {
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : mask) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

// One section of a mask, taken apart.
struct Section {
    std::string prefix;  // literal text before the number
    std::string suffix;  // literal text after (and inside) the number
    bool hasNumber = false;
    bool grouping = false;
    std::size_t minInt = 0;
    std::size_t minDec = 0;
    std::size_t maxDec = 0;
};

Section ParseSection(const std::string& text) {
    Section s;
    bool seenPoint = false;
    bool seenZero = false;
    std::size_t intPlaces = 0;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& literal = s.hasNumber ? s.suffix : s.prefix;
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                literal += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        const bool inNumber = s.hasNumber && s.suffix.empty();
        if (c == '0' || c == '#') {
            if (s.hasNumber && !s.suffix.empty()) {  // placeholders after literal text
                s.suffix += c;
                continue;
            }
            s.hasNumber = true;
            if (seenPoint) {
                ++s.maxDec;
                if (c == '0')
                    s.minDec = s.maxDec;
            } else {
                if (c == '0')
                    seenZero = true;
                if (seenZero)
                    ++intPlaces;
            }
        } else if (c == '.' && !seenPoint && (inNumber || !s.hasNumber) && i + 1 < text.size() &&
                   (text[i + 1] == '0' || text[i + 1] == '#')) {
            s.hasNumber = true;
            seenPoint = true;
        } else if (c == ',' && inNumber && !seenPoint) {
            s.grouping = true;
        } else {
            literal += c;
        }
    }
    s.minInt = intPlaces;
    return s;
}

std::string Group(const std::string& digits, const std::string& separator) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[i];
        const std::size_t rest = n - i - 1;
        if (rest > 0 && rest % 3 == 0)
            out += separator;
    }
    return out;
}

std::string FormatSection(const Section& s, Decimal d, bool negative,
                          const FormatSettings& settings) {
    if (!s.hasNumber)
        return s.prefix + s.suffix;
    RoundDecimal(d, s.maxDec);
    while (d.fracDigits.size() > s.minDec && d.fracDigits.back() == '0')
        d.fracDigits.pop_back();
    if (d.fracDigits.size() < s.minDec)
        d.fracDigits.append(s.minDec - d.fracDigits.size(), '0');
    const auto firstNonZero = d.intDigits.find_first_not_of('0');
    d.intDigits = firstNonZero == std::string::npos ? "" : d.intDigits.substr(firstNonZero);
    if (d.intDigits.size() < s.minInt)
        d.intDigits.insert(0, s.minInt - d.intDigits.size(), '0');
    std::string number = s.grouping ? Group(d.intDigits, settings.thousandSeparator) : d.intDigits;
    if (!d.fracDigits.empty())
        number += settings.decimalSeparator + d.fracDigits;
    if (number.empty())
        number = "0";
    return (negative ? "-" : "") + s.prefix + number + s.suffix;
}

}  // namespace

std::string FormatFloat(const std::string& mask, double value, const FormatSettings& settings) {
    if (mask.empty())
        return FormatGeneralNumber(value, settings);
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    const std::vector<std::string> sections = SplitSections(mask);
    const Section positive = ParseSection(sections[0]);
    const Decimal magnitude = ToDecimal(std::fabs(value));

    Decimal rounded = magnitude;
    RoundDecimal(rounded, positive.maxDec);
    const bool zero = IsZero(rounded);
    if (zero && sections.size() >= 3 && !sections[2].empty())
        return FormatSection(ParseSection(sections[2]), magnitude, false, settings);
    if (value < 0 && !zero) {
        if (sections.size() >= 2 && !sections[1].empty())
            return FormatSection(ParseSection(sections[1]), magnitude, false, settings);
        return FormatSection(positive, magnitude, true, settings);
    }
    return FormatSection(positive, magnitude, false, settings);
}

std::string FormatGeneralNumber(double value, const FormatSettings& settings) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    const std::string sign = value < 0 ? "-" : "";
    const double magnitude = std::fabs(value);
    int exponent = 0;
    std::string digits = SignificantDigits(magnitude, exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent >= 15 || magnitude < 1e-5) {
        std::string out = sign + digits.substr(0, 1);
        if (digits.size() > 1)
            out += settings.decimalSeparator + digits.substr(1);
        return out + "E" + std::to_string(exponent);
    }
    std::string intPart;
    std::string fracPart;
    if (exponent < 0) {
        intPart = "0";
        fracPart = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto intLen = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            intPart = digits + std::string(intLen - digits.size(), '0');
        } else {
            intPart = digits.substr(0, intLen);
            fracPart = digits.substr(intLen);
        }
    }
    return sign + intPart + (fracPart.empty() ? "" : settings.decimalSeparator + fracPart);
}

}  // namespace dorvan
