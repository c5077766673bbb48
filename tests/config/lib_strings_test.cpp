#include "config/lib_strings.h"

#include <gtest/gtest.h>

#include "config/config_error.h"

namespace dorvan {
namespace {

TEST(LibStrings, ChoiceStr) {
    EXPECT_EQ(lib_choiceStr(true, "igen", "nem"), "igen");
    EXPECT_EQ(lib_choiceStr(false, "igen", "nem"), "nem");
}

TEST(LibStrings, RightStrCountsCharacters) {
    struct Case {
        const char* s;
        int n;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {"abc", 5, "abc"},       {"abc", 3, "abc"}, {"abc", 2, "bc"},
        {"abc", 0, ""},          {"abc", -1, ""},   {"", 3, ""},
        {"árvíztűrő", 3, "űrő"}, {"őű", 1, "ű"},    {"xőy", 2, "őy"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.s) + " / " + std::to_string(c.n));
        EXPECT_EQ(lib_rightStr(c.s, c.n), c.expected);
    }
}

TEST(LibStrings, GroupDigits) {
    struct Case {
        const char* s;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {"1234567", "___ __1 234 567"},
        {"", "___ ___ ___ ___"},
        {"123456789012", "123 456 789 012"},
        {"99123456789012", "123 456 789 012"},  // only the last 12 count
        {"ab", "___ ___ ___ _ab"},
        {"őrült", "___ ___ _őr ült"},  // characters, not bytes
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.s);
        EXPECT_EQ(lib_groupDigits(c.s), c.expected);
    }
}

TEST(LibStrings, GroupThousands) {
    struct Case {
        const char* s;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {"1234", "1 234"},
        {"123", "123"},
        {"12", "12"},
        {"", ""},
        {"-123", "- 123"},
        {"-1234", "-1 234"},
        {"1234567", "1 234 567"},
        {"123456", "123 456"},
        {"1234,5", "1234,5"},      // a decimal comma: unchanged
        {" 1234,56 ", "1234,56"},  // ... only trimmed
        {"őrült1", "őrü lt1"},     // characters, not bytes
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.s);
        EXPECT_EQ(lib_groupThousands(c.s), c.expected);
    }
}

TEST(LibStrings, Utf8LengthTreatsBrokenBytesAsCharacters) {
    EXPECT_EQ(Utf8Length("árvíz"), 5u);
    EXPECT_EQ(Utf8Length("a\xC3"), 2u);  // truncated sequence
    EXPECT_EQ(Utf8Length("\xFF\xFE"
                         "a"),
              3u);  // invalid lead bytes
}

TEST(LibStrings, TrimBlanksRemovesControlCharacters) {
    EXPECT_EQ(TrimBlanks(" \t1.2.3.4\r\n"), "1.2.3.4");
    EXPECT_EQ(TrimBlanks("\x01 x y \x1f"), "x y");
    EXPECT_EQ(TrimBlanks("  "), "");
}

TEST(LibStrings, StrToInt) {
    struct Case {
        const char* s;
        bool ok;
        int value;
    };
    static constexpr Case kCases[] = {
        {"0", true, 0},           {"42", true, 42},        {"-17", true, -17},
        {" 12 ", true, 12},       {"+5", true, 5},         {"$FF", true, 255},
        {"0x10", true, 16},       {"$FFFFFFFF", true, -1}, {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"abc", false, 0},       {"", false, 0},
        {"12a", false, 0},        {"1 2", false, 0},       {"-", false, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.s);
        if (c.ok) {
            EXPECT_EQ(StrToInt(c.s), c.value);
            EXPECT_EQ(StrToIntDef(c.s, 99), c.value);
        } else {
            EXPECT_THROW(StrToInt(c.s), ConversionError);
            EXPECT_EQ(StrToIntDef(c.s, 99), 99);
        }
    }
}

TEST(LibStrings, StrToIntMessageQuotesTheText) {
    try {
        StrToInt("x1");
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
}

}  // namespace
}  // namespace dorvan
