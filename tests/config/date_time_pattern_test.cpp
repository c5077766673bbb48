#include "config/date_time_pattern.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(DateTimePattern, BrokenDownTime) {
    std::tm t{};
    t.tm_year = 2007 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 7;
    t.tm_min = 4;
    t.tm_sec = 9;
    struct Case {
        const char* pattern;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {"yyyy.MM.dd.", "2007.03.05."},
        {"H:mm:ss", "7:04:09"},
        {"HH:mm", "07:04"},
        {"yy/M/d", "07/3/5"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatDateTimePattern(c.pattern, t), c.expected);
    }
}

TEST(DateTimePattern, FieldsQuotesAndTimeOfDayAlone) {
    DateTimeFields dateTime;
    dateTime.year = 2024;
    dateTime.month = 11;
    dateTime.day = 30;
    dateTime.hour = 13;
    dateTime.minute = 5;
    dateTime.second = 0;
    dateTime.millisecond = 7;
    DateTimeFields timeOnly = dateTime;
    timeOnly.hasDate = false;
    struct Case {
        const DateTimeFields* fields;
        const char* pattern;
        const char* expected;
    };
    const Case cases[] = {
        {&dateTime, "yyyy.MM.dd. HH:nn:ss.zzz", "2024.11.30. 13:05:00.007"},
        {&dateTime, "'y' yy \"M\" M/d h:n:s z", "y 24 M 11/30 13:5:0 7"},
        {&dateTime, "'open", "open"},
        {&timeOnly, "yyyy.MM.dd. H:mm", "yyyy.MM.dd. 13:05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatDateTimePattern(c.pattern, *c.fields), c.expected);
    }
}

}  // namespace
}  // namespace dorvan
