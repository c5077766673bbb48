#include <gtest/gtest.h>

#include "datamodule/core/server_clock.h"
#include "db/errors.h"

namespace dorvan {
namespace {

TEST(ComposeServerDateTime, DropsFractionsOfASecond) {
    struct Case {
        const char* second;
        int expected;
    };
    const Case cases[] = {{"7.25", 7}, {"7,25", 7}, {"7", 7}, {"59.999999", 59}, {"0.5", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        const TServerDateTime t = ComposeServerDateTime("2024", "1", "5", "13", "4", c.second);
        EXPECT_EQ(t.Date, db::EncodeDate(2024, 1, 5));
        EXPECT_EQ(t.Time, db::EncodeTime(13, 4, c.expected));
        EXPECT_EQ(t.DateTime, t.Date + t.Time);
    }
    EXPECT_THROW(ComposeServerDateTime("x", "1", "5", "1", "1", "1"), db::ValueConversionError);
}

TEST(FormatTimeText, FollowsPattern) {
    struct Case {
        const char* pattern;
        const char* expected;
    };
    const db::TDateTime t = db::EncodeTime(7, 5, 9, 45);
    const Case cases[] = {
        {"H:mm:ss", "7:05:09"}, {"HH:mm:ss", "07:05:09"},       {"hh:nn", "07:05"},
        {"H.m.s", "7.5.9"},     {"H:mm:ss.zzz", "7:05:09.045"}, {"'at' H", "at 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatTimeText(c.pattern, t), c.expected);
    }
}

}  // namespace
}  // namespace dorvan
