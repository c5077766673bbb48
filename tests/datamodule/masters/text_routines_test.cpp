// Text routines of the master-data lookups: field splitting, ISO dates and the text form of
// the partner-debt composite.

#include <gtest/gtest.h>

#include "datamodule/masters/master_data.h"
#include "db/date_time.h"

namespace dorvan {
namespace {

TEST(LibTokenStr, Fields) {
    struct Case {
        const char* text;
        int field;
        const char* delimiter;
        const char* expected;
    };
    const Case cases[] = {
        {"12,2024-03-31,1500,0,250,2", 1, ",", "12"},
        {"12,2024-03-31,1500,0,250,2", 2, ",", "2024-03-31"},
        {"12,2024-03-31,1500,0,250,2", 6, ",", "2"},
        {"12,2024-03-31,1500,0,250,2", 7, ",", ""},
        {"a,,b", 2, ",", "b"},                       // a run of delimiters counts as one
        {",a,b", 1, ",", ",a"},                      // a delimiter at the start is copied
        {"'a,b',c", 1, ",", "a,b"},                  // quoted text keeps its delimiter
        {"'a,b',c", 2, ",", "c"},                    //
        {"x,'y z',w", 3, ",", "y z"},                // an opening quote inside starts a field
        {"a b  c", 3, "", "c"},                      // empty delimiter: one blank
        {"őz;űr", 2, ";", "űr"},                     // characters, not bytes
        {"O'Neill Kft.,2", 1, ",", "O"},             // a quote inside the text opens a field
        {"O'Neill Kft.,2", 2, ",", "Neill Kft.,2"},  // ... that runs to the closing quote
        {"", 1, ",", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " #" + std::to_string(c.field));
        EXPECT_EQ(lib_tokenStr(c.text, c.field, c.delimiter), c.expected);
    }
}

TEST(LibIsoStrToDate, PartsAndFallbacks) {
    struct Case {
        const char* text;
        int year, month, day;
    };
    const Case cases[] = {
        {"2024-03-31", 2024, 3, 31}, {"1999-12-01 10:15:00", 1999, 12, 1},
        {"abcd-03-31", 2000, 3, 31}, {"2024-xx-31", 2024, 1, 31},
        {"2024-03-yy", 2024, 3, 1},  {"", 2000, 1, 1},
        {"2024-02-30", 2024, 2, 29},  // brought into the month
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lib_isoStrToDate(c.text), db::EncodeDate(c.year, c.month, c.day));
    }
}

TEST(ParsePartnerTartozas, CompositeText) {
    struct Case {
        const char* text;
        int partner;
        int year, month, day;
        double e3, e4, e5;
        int e6;
    };
    const Case cases[] = {
        {"(12,2024-03-31,1500,0,250,2)", 12, 2024, 3, 31, 1500, 0, 250, 2},
        {"(5,2026-12-09,1500.5,-3,7,0)", 5, 2026, 12, 9, 1500.5, -3, 7, 0},
        {"(5,2026-12-09,x,1000,,1)", 5, 2026, 12, 9, 0, 1000, 1, 0},  // ",," is one delimiter
        {"", 0, 2000, 1, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TPartnerTartozas t;
        t.ertek3 = 99;
        ParsePartnerTartozas(c.text, t);
        EXPECT_EQ(t.partner_kod, c.partner);
        EXPECT_EQ(t.datum, db::EncodeDate(c.year, c.month, c.day));
        EXPECT_DOUBLE_EQ(t.ertek3, c.e3);
        EXPECT_DOUBLE_EQ(t.ertek4, c.e4);
        EXPECT_DOUBLE_EQ(t.ertek5, c.e5);
        EXPECT_EQ(t.ertek6, c.e6);
    }
}

}  // namespace
}  // namespace dorvan
