#include <gtest/gtest.h>

#include <cmath>

#include "db/date_time.h"
#include "db/errors.h"
#include "db/value.h"

namespace dorvan::db {
namespace {

struct DateCase {
    int y, m, d;
    double serial;
};

// Serial numbers of the platform's calendar (day 0 = 1899-12-30).
constexpr DateCase kDates[] = {
    {1899, 12, 30, 0},   {1899, 12, 31, 1},       {1900, 1, 1, 2},        {1900, 3, 1, 61},
    {1899, 12, 29, -1},  {1899, 1, 1, -363},      {1600, 2, 29, -109512}, {2000, 2, 29, 36585},
    {2024, 1, 5, 45296}, {9999, 12, 31, 2958465}, {1, 1, 1, -693593},
};

TEST(DateTime, EncodeAndDecodeDates) {
    for (const auto& c : kDates) {
        SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d));
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial);
        const DateParts p = DecodeDate(c.serial);
        EXPECT_EQ(p.year, c.y);
        EXPECT_EQ(p.month, c.m);
        EXPECT_EQ(p.day, c.d);
    }
    EXPECT_THROW(EncodeDate(2023, 2, 29), ValueConversionError);
    EXPECT_THROW(EncodeDate(2023, 13, 1), ValueConversionError);
    EXPECT_THROW(EncodeTime(24, 0, 0), ValueConversionError);
}

// Below the base day the whole part is negative and the time of day is the fraction's
// absolute value: -1.25 is 1899-12-29 06:00.
TEST(DateTime, FractionSignBelowBaseDay) {
    struct Case {
        double value;
        const char* timestamp;
    };
    const Case cases[] = {
        {-1.25, "1899-12-29 06:00:00"},
        {-0.5, "1899-12-30 12:00:00"},
        {0.5, "1899-12-30 12:00:00"},
        {1.75, "1899-12-31 18:00:00"},
        {-363.5, "1899-01-01 12:00:00"},
        {45296.0 + EncodeTime(7, 8, 9, 123), "2024-01-05 07:08:09.123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timestamp);
        EXPECT_EQ(FormatPgTimestamp(c.value), c.timestamp);
        if (c.value != -0.5) {  // -0.5 and 0.5 are the same instant; 0.5 is the form read
            EXPECT_DOUBLE_EQ(*ParsePgDateTime(c.timestamp), c.value);
        }
    }
    EXPECT_DOUBLE_EQ(ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0)), -1.25);
    EXPECT_DOUBLE_EQ(DateOf(-1.25), -1);
    EXPECT_DOUBLE_EQ(TimeOf(-1.25), 0.25);
}

TEST(DateTime, ParsesServerTexts) {
    struct Case {
        const char* text;
        double expected;
    };
    const double d = EncodeDate(2024, 1, 5);
    const Case cases[] = {
        {"2024-01-05", d},
        {"2024-01-05 07:08:09", d + EncodeTime(7, 8, 9)},
        {"2024-01-05 07:08:09.1234", d + EncodeTime(7, 8, 9, 123)},
        {"2024-01-05 07:08:09.9996", d + EncodeTime(7, 8, 10)},
        {"2024-01-05 23:59:59.9999", d + 1},
        {"2024-01-05 07:08:09+01", d + EncodeTime(7, 8, 9)},
        {"2024-01-05 07:08:09.5-05:30", d + EncodeTime(7, 8, 9, 500)},
        {"07:08:09", EncodeTime(7, 8, 9)},
        {"7:08:09", EncodeTime(7, 8, 9)},
        {"07:08", EncodeTime(7, 8, 0)},
        {"0044-03-15 BC", EncodeDate(-43, 3, 15)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto v = ParsePgDateTime(c.text);
        ASSERT_TRUE(v.has_value());
        EXPECT_NEAR(*v, c.expected, 1e-9);
    }
    for (const char* bad : {"", "infinity", "2024-02-30", "2024-01-05x", "25:00:00", "abc"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParsePgDateTime(bad).has_value());
    }
    EXPECT_EQ(FormatPgDate(EncodeDate(-43, 3, 15)), "0044-03-15 BC");
}

TEST(Value, ConversionsFollowNullAndTypeRules) {
    const Value null;
    EXPECT_TRUE(null.IsNull());
    EXPECT_EQ(null.AsString(), "");
    EXPECT_EQ(null.AsInteger(), 0);
    EXPECT_EQ(null.AsFloat(), 0.0);
    EXPECT_FALSE(null.AsBoolean());

    struct FloatText {
        double value;
        const char* text;
    };
    const FloatText floats[] = {
        {2.675, "2.675"},
        {1000000.0, "1000000"},
        {-1234567.5, "-1234567.5"},
        {1e20, "100000000000000000000"},
        {0.0001, "0.0001"},
        {0.0, "0"},
        {1e-9, "1e-09"},
        {1e300, "1e+300"},
        {100.0, "100"},
    };
    for (const auto& f : floats) {
        SCOPED_TRACE(f.text);
        EXPECT_EQ(Value(f.value).AsString(), f.text);
        double back = 0;
        ASSERT_TRUE(ParseDouble(f.text, back));
        EXPECT_EQ(back, f.value);
    }
    EXPECT_EQ(Value(0.1 + 0.2).AsString(), "0.30000000000000004");
    EXPECT_EQ(Value(42).AsString(), "42");
    EXPECT_EQ(Value("12").AsInteger(), 12);
    EXPECT_EQ(Value(" 12 ").AsInteger(), 12);
    EXPECT_DOUBLE_EQ(Value("7,25").AsFloat(), 7.25);
    EXPECT_DOUBLE_EQ(Value("7.25").AsFloat(), 7.25);
    EXPECT_EQ(Value(2.5).AsInteger(), 2);  // halves to even
    EXPECT_TRUE(Value("t").AsBoolean());
    EXPECT_TRUE(Value(1).AsBoolean());
    EXPECT_THROW(Value("abc").AsInteger(), ValueConversionError);
    EXPECT_THROW(Value("1.5").AsInteger(), ValueConversionError);
    EXPECT_THROW(Value("x").AsFloat(), ValueConversionError);
    EXPECT_EQ(FoldCase("ŐRÜLT Árvíztűrő"), "őrült árvíztűrő");

    const double when = EncodeDate(2024, 1, 5) + EncodeTime(7, 8, 9);
    EXPECT_EQ(Value::Date(EncodeDate(2024, 1, 5)).AsString(), "2024-01-05");
    EXPECT_EQ(Value::Time(EncodeTime(7, 8, 9)).AsString(), "07:08:09");
    EXPECT_EQ(Value::DateTime(when).AsString(), "2024-01-05 07:08:09");
    EXPECT_DOUBLE_EQ(Value("2024-01-05 07:08:09").AsDateTime(), when);

    std::string text;
    EXPECT_FALSE(null.ToPgText(text));
    ASSERT_TRUE(Value(true).ToPgText(text));
    EXPECT_EQ(text, "1");
    ASSERT_TRUE(Value::DateTime(when + EncodeTime(0, 0, 0, 250)).ToPgText(text));
    EXPECT_EQ(text, "2024-01-05 07:08:09.250");
}

}  // namespace
}  // namespace dorvan::db
