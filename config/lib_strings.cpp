#include "config/lib_strings.h"

#include <cstdint>
#include <limits>

#include "config/config_error.h"
#include "config/format_settings.h"

namespace dorvan {

namespace {

// Length of the UTF-8 sequence starting at s[i], or 1 for an invalid lead or truncated tail.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t len = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
    }
    if (i + len > s.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return len;
}

bool ParseInt(std::string_view s, int& out) {
    std::string_view t = s;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) {
        t.remove_prefix(1);
    }
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) {
        t.remove_suffix(1);
    }
    bool negative = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t.front() == '$') {
        base = 16;
        t.remove_prefix(1);
    } else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    if (t.empty()) {
        return false;
    }
    std::int64_t value = 0;
    for (char c : t) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return false;
        }
        value = value * base + digit;
        if (value > std::int64_t{1} << 32) {
            return false;
        }
    }
    if (negative) {
        value = -value;
    }
    // Hexadecimal texts may spell the full 32-bit pattern (for example $FFFFFFFF = -1).
    if (base == 16 && !negative && value > std::numeric_limits<int>::max() &&
        value <= std::numeric_limits<std::uint32_t>::max()) {
        out = static_cast<int>(static_cast<std::uint32_t>(value));
        return true;
    }
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

}  // namespace

std::string lib_choiceStr(bool choice, std::string_view a, std::string_view b) {
    return std::string(choice ? a : b);
}

std::vector<std::string_view> Utf8Chars(std::string_view s) {
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t len = SequenceLength(s, i);
        chars.push_back(s.substr(i, len));
        i += len;
    }
    return chars;
}

std::size_t Utf8Length(std::string_view s) {
    return Utf8Chars(s).size();
}

std::string lib_rightStr(std::string_view s, int count) {
    if (count <= 0) {
        return {};
    }
    const auto chars = Utf8Chars(s);
    if (static_cast<std::size_t>(count) >= chars.size()) {
        return std::string(s);
    }
    std::string result;
    for (std::size_t i = chars.size() - static_cast<std::size_t>(count); i < chars.size(); ++i) {
        result += chars[i];
    }
    return result;
}

std::string lib_groupDigits(std::string_view s) {
    constexpr std::size_t kWidth = 12;
    const auto chars = Utf8Chars(s);
    std::vector<std::string> cells;
    const std::size_t start = chars.size() > kWidth ? chars.size() - kWidth : 0;
    for (std::size_t fill = chars.size() - start; fill < kWidth; ++fill) {
        cells.emplace_back("_");
    }
    for (std::size_t i = start; i < chars.size(); ++i) {
        cells.emplace_back(chars[i]);
    }
    std::string grouped;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        grouped += cells[i];
        if (i % 3 == 2) {
            grouped += ' ';
        }
    }
    return TrimBlanks(grouped);
}

std::string lib_groupThousands(std::string_view s) {
    const std::string& separator = GlobalFormatSettings().decimalSeparator;
    if (s.find(',') != std::string_view::npos ||
        (!separator.empty() && s.find(separator) != std::string_view::npos)) {
        return TrimBlanks(s);
    }
    const auto chars = Utf8Chars(s);
    std::string grouped;
    for (std::size_t k = 1; k <= chars.size(); ++k) {
        grouped += chars[k - 1];
        if ((chars.size() - k) % 3 == 0) {
            grouped += ' ';
        }
    }
    return TrimBlanks(grouped);
}

std::string TrimBlanks(std::string_view s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') {
        --end;
    }
    return std::string(s.substr(begin, end - begin));
}

int StrToInt(std::string_view s) {
    int value = 0;
    if (!ParseInt(s, value)) {
        throw ConversionError("'" + std::string(s) + "' is not a valid integer value");
    }
    return value;
}

int StrToIntDef(std::string_view s, int fallback) {
    int value = 0;
    return ParseInt(s, value) ? value : fallback;
}

}  // namespace dorvan
