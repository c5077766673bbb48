#include "app/cli/cli_support.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "app/cli/cli_command.h"

namespace dorvan::cli {

db::TDateTime ParseIsoDate(const std::string& text, const std::string& what) {
    bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-';
    for (std::size_t i = 0; shaped && i < text.size(); ++i)
        shaped = i == 4 || i == 7 || (text[i] >= '0' && text[i] <= '9');
    if (!shaped)
        throw UsageError(what + ": '" + text + "' is not a date (YYYY-MM-DD)");
    const auto digits = [&text](std::size_t from, std::size_t count) {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    const int y = digits(0, 4);
    const int m = digits(5, 2);
    const int d = digits(8, 2);
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1] || (m == 2 && d == 29 && !leap))
        throw UsageError(what + ": '" + text + "' is not a day of the calendar");
    return db::EncodeDate(y, m, d);
}

double ParseNumber(const std::string& text, const std::string& what) {
    double value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (!text.empty() && *begin == '+')
        ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::fixed);
    const bool tooLarge = ec == std::errc::result_out_of_range && ptr == end;
    if (!tooLarge && (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value) ||
                      begin == end || (*begin == '-' && begin != text.data())))
        throw UsageError(what + ": '" + text + "' is not a number (use a dot for decimals)");
    if (tooLarge || std::fabs(value) > kMaxNumber)
        throw NumberOutOfRange(what + ": " +
                               (text.size() > 40 ? text.substr(0, 37) + "..." : text) +
                               " is beyond the largest number taken (1e15)");
    return value;
}

int ParseInt(const std::string& text, const std::string& what) {
    int value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        throw UsageError(what + ": '" + text + "' is not a whole number");
    return value;
}

std::string FormatNumber(double value) {
    if (!std::isfinite(value))
        throw std::runtime_error("Az eredmény nem véges szám (túlcsordulás).");
    if (value == 0)
        return "0";
    char buffer[64];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return std::to_string(value);
    return std::string(buffer, ptr);
}

std::string FormatIsoDate(db::TDateTime value) {
    const db::DateParts p = db::DecodeDate(value);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.year, p.month, p.day);
    return buffer;
}

}  // namespace dorvan::cli
