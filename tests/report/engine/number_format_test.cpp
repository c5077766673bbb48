#include "report/engine/number_format.h"

#include <gtest/gtest.h>

#include "report/engine/report_layout.h"

namespace dorvan::report {
namespace {

struct MaskCase {
    const char* mask;
    double value;
    const char* expected;
};

// Hungarian settings: decimal ",", thousands " ".
constexpr MaskCase kMaskCases[] = {
    {"###,###,##0.00", 1234.5, "1 234,50"},
    {"###,###,##0.00", 0, "0,00"},
    {"0.00", 1e17, "100000000000000000,00"},
    {"###,###,##0.00", -1234567.891, "-1 234 567,89"},
    {"###,###,##0.00", 0.005, "0,01"},
    {"###,###,##0.00", 1.005, "1,01"},
    {"###,###,##0.00", -0.001, "0,00"},
    {"###,###,##0.00", 999999.999, "1 000 000,00"},
    {"###,###,##0.00", 123456789012.25, "123 456 789 012,25"},
    {"###,###,##0.00##", 1.5, "1,50"},
    {"###,###,##0.00##", 1.23456, "1,2346"},
    {"###,###,##0.00##", 1.234, "1,234"},
    {"###,###,##0.00##", 1234567.1, "1 234 567,10"},
    {"###,###,##0.00##", -0.00005, "-0,0001"},
    {"#0 %", 27, "27 %"},
    {"#0 %", 5.5, "6 %"},
    {"#0 %", 0, "0 %"},
    {"00000000", 1234, "00001234"},
    {"00000000", 123456789, "123456789"},
    {"###,##0.00 HUF", 1234, "1 234,00 HUF"},
    {"###,##0.00 HUF", -12.3, "-12,30 HUF"},
    {"\"Ft \"#,##0", 1500, "Ft 1 500"},
    {"#,##0", 999, "999"},
    {"#,##0", 1000, "1 000"},
    {"#,##0", -1000, "-1 000"},
    {"0.00;(0.00)", -5, "(5,00)"},
    {"0.00;(0.00)", 5, "5,00"},
    {"0.00;-0.00;'nulla'", 0, "nulla"},
    {"0.00;-0.00;'nulla'", 0.001, "nulla"},
    {"#", 0, "0"},
    {"", 1234.5, "1234,5"},
    {"", 0.1 + 0.2, "0,3"},
    {"", -2.5, "-2,5"},
    {"", 100, "100"},
    {"", 1e20, "1E20"},
    {"", 1e-6, "1E-6"},
    {"", 123456789012345.0, "123456789012345"},
};

TEST(NumberFormat, MasksAndGeneralFormat) {
    const FormatSettings hu;
    for (const auto& c : kMaskCases) {
        SCOPED_TRACE(std::string("mask \"") + c.mask + "\" value " + std::to_string(c.value));
        EXPECT_EQ(FormatFloat(c.mask, c.value, hu), c.expected);
    }
}

TEST(NumberFormat, OtherSeparatorsComeFromTheSettings) {
    FormatSettings en;
    en.decimalSeparator = ".";
    en.thousandSeparator = ",";
    EXPECT_EQ(FormatFloat("###,###,##0.00", 1234567.5, en), "1,234,567.50");
    EXPECT_EQ(FormatGeneralNumber(0.25, en), "0.25");
}

struct DateCase {
    const char* format;
    QDateTime value;
    const char* expected;
};

TEST(DateFormat, DisplayFormats) {
    const FormatSettings hu;
    const DateCase cases[] = {
        {"yyyy.MM.dd.", QDateTime(QDate(2024, 3, 5), QTime(0, 0)), "2024.03.05."},
        {"", QDateTime(QDate(2024, 3, 5), QTime(0, 0)), "2024.03.05."},
        {"", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), "2024.03.05. 14:07:09"},
        {"H:mm:ss", QDateTime(QDate(2024, 3, 5), QTime(9, 5, 1)), "9:05:01"},
        {"yy.M.d", QDateTime(QDate(2007, 11, 30), QTime(0, 0)), "07.11.30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatDateTime(c.format, c.value, hu), c.expected);
    }
    EXPECT_EQ(FormatDate("", QDate(2024, 12, 31), hu), "2024.12.31.");
    EXPECT_EQ(FormatDate("", QDate(), hu), "");
}

TEST(FormatValue, ByTypeOfTheValue) {
    EXPECT_EQ(FormatValue(QVariant(), "###,##0.00"), "");
    EXPECT_EQ(FormatValue(QVariant(1234.5), "###,##0.00"), "1 234,50");
    EXPECT_EQ(FormatValue(QVariant(1234.5), ""), "1234,5");
    EXPECT_EQ(FormatValue(QVariant(qlonglong(42)), "00000000"), "00000042");
    EXPECT_EQ(FormatValue(QVariant(42), ""), "42");
    EXPECT_EQ(FormatValue(QVariant(QDate(2024, 1, 2)), ""), "2024.01.02.");
    EXPECT_EQ(FormatValue(QVariant(QStringLiteral("Vevő Kft.")), ""), "Vevő Kft.");
    EXPECT_EQ(FormatValue(QVariant(QStringLiteral("1234.5")), "###,##0.00"), "1 234,50");
    EXPECT_EQ(FormatValue(QVariant(QStringLiteral("1234.5")), ""), "1234.5");
    EXPECT_EQ(FormatValue(QVariant(QStringLiteral("abc")), "###,##0.00"), "abc");
}

}  // namespace
}  // namespace dorvan::report
