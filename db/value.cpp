#include "db/value.h"

#include <charconv>
#include <cmath>

#include "db/errors.h"

namespace dorvan::db {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The whole of `s` as a number (an optional leading "+" allowed); false when anything is
// left over or the text is empty.
template <typename T>
bool ParseWhole(std::string_view s, T& out) {
    if (s.empty())
        return false;
    const char* first = s.data();
    if (*first == '+')
        ++first;
    auto res = std::from_chars(first, s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

std::string DateTimeText(const DateTimeValue& v, bool withMs) {
    switch (v.kind) {
        case DateTimeKind::Date:
            return FormatPgDate(v.value);
        case DateTimeKind::Time: {
            std::string t = FormatPgTime(v.value);
            return withMs ? t : t.substr(0, 8);
        }
        case DateTimeKind::DateTime:
            break;
    }
    if (withMs)
        return FormatPgTimestamp(v.value);
    std::string date = FormatPgDate(v.value);
    std::string time = FormatPgTime(v.value).substr(0, 8);
    return date + " " + time;
}

}  // namespace

std::string FormatDouble(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Infinity" : "-Infinity";
    // Plain digits in the everyday range (1000000 is "1000000", not "1e+06"); the
    // shortest exponent form only for very large or very small magnitudes.
    const double a = std::fabs(v);
    const bool plain = a == 0 || (a >= 1e-7 && a < 1e21);
    char buf[512];
    auto res = plain ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed)
                     : std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

bool ParseDouble(std::string_view text, double& out) {
    std::string s(Trim(text));
    for (char& c : s) {
        if (c == ',')
            c = '.';
    }
    return ParseWhole(s, out);
}

bool ParseInteger(std::string_view text, std::int64_t& out) {
    return ParseWhole(Trim(text), out);
}

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
            unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) {
                cp += 0x20;
            } else if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) {
                cp |= 1u;
            } else if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) {
                if (cp % 2 == 1)
                    ++cp;
            }
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Value::AsString() const {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return {};
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "True" : "False";
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return std::to_string(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return FormatDouble(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else {
                return DateTimeText(v, false);
            }
        },
        data_);
}

std::int64_t Value::AsInteger() const {
    return std::visit(
        [](const auto& v) -> std::int64_t {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return 0;
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? 1 : 0;
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return v;
            } else if constexpr (std::is_same_v<T, double>) {
                return static_cast<std::int64_t>(std::nearbyint(v));
            } else if constexpr (std::is_same_v<T, std::string>) {
                std::int64_t out = 0;
                if (Trim(v).empty())
                    return 0;
                if (!ParseInteger(v, out)) {
                    throw ValueConversionError("'" + v + "' is not a valid integer value");
                }
                return out;
            } else {
                return static_cast<std::int64_t>(std::trunc(v.value));
            }
        },
        data_);
}

double Value::AsFloat() const {
    return std::visit(
        [](const auto& v) -> double {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return 0;
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? 1 : 0;
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return static_cast<double>(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return v;
            } else if constexpr (std::is_same_v<T, std::string>) {
                double out = 0;
                if (Trim(v).empty())
                    return 0;
                if (!ParseDouble(v, out)) {
                    throw ValueConversionError("'" + v + "' is not a valid floating point value");
                }
                return out;
            } else {
                return v.value;
            }
        },
        data_);
}

bool Value::AsBoolean() const {
    return std::visit(
        [](const auto& v) -> bool {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return false;
            } else if constexpr (std::is_same_v<T, bool>) {
                return v;
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return v != 0;
            } else if constexpr (std::is_same_v<T, double>) {
                return v != 0;
            } else if constexpr (std::is_same_v<T, std::string>) {
                const std::string s = LowerAscii(Trim(v));
                if (s == "true" || s == "t" || s == "1" || s == "yes" || s == "y")
                    return true;
                if (s.empty() || s == "false" || s == "f" || s == "0" || s == "no" || s == "n") {
                    return false;
                }
                throw ValueConversionError("'" + v + "' is not a valid boolean value");
            } else {
                return v.value != 0;
            }
        },
        data_);
}

TDateTime Value::AsDateTime() const {
    return std::visit(
        [](const auto& v) -> TDateTime {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return 0;
            } else if constexpr (std::is_same_v<T, bool>) {
                throw ValueConversionError("a boolean value is not a date-time");
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return static_cast<double>(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return v;
            } else if constexpr (std::is_same_v<T, std::string>) {
                if (Trim(v).empty())
                    return 0;
                auto parsed = ParsePgDateTime(v);
                if (!parsed)
                    throw ValueConversionError("'" + v + "' is not a valid date and time");
                return *parsed;
            } else {
                return v.value;
            }
        },
        data_);
}

bool Value::ToPgText(std::string& out) const {
    if (IsNull())
        return false;
    if (const auto* b = std::get_if<bool>(&data_)) {
        out = *b ? "1" : "0";  // accepted by boolean and integer columns alike
    } else if (const auto* dt = std::get_if<DateTimeValue>(&data_)) {
        out = DateTimeText(*dt, true);
    } else if (const auto* d = std::get_if<double>(&data_); d != nullptr && !std::isfinite(*d)) {
        // An overflowed or undefined result is never stored as if it were a number.
        throw DataException("Nem véges szám nem tárolható: " + FormatDouble(*d), "22003");
    } else {
        out = AsString();
    }
    return true;
}

}  // namespace dorvan::db
