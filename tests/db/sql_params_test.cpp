#include <gtest/gtest.h>

#include "db/sql_params.h"

namespace dorvan::db {
namespace {

struct Case {
    const char* sql;
    const char* text;
    std::vector<std::string> names;
};

TEST(ParseNamedParams, ReplacesOnlyRealParameters) {
    const Case cases[] = {
        {"select * from t where kod = :kod", "select * from t where kod = $1", {"kod"}},
        {"select :a, :b, :A", "select $1, $2, $1", {"a", "b"}},
        {"select x::text from t where y = :y::int",
         "select x::text from t where y = $1::int",
         {"y"}},
        {"select ':x' || :v", "select ':x' || $1", {"v"}},
        {"select 'it''s :no' , :yes", "select 'it''s :no' , $1", {"yes"}},
        {"select E'\\' :no', :yes", "select E'\\' :no', $1", {"yes"}},
        {"select \":col\" from t", "select \":col\" from t", {}},
        {"select 1 -- :comment\n, :p", "select 1 -- :comment\n, $1", {"p"}},
        {"select /* :a /* :b */ :c */ :d", "select /* :a /* :b */ :c */ $1", {"d"}},
        {"select $$ :x $$, $t$ :y $t$, :z", "select $$ :x $$, $t$ :y $t$, $1", {"z"}},
        {"select a[1:2] from t", "select a[1:2] from t", {}},
        {"select :_x1, :ár", "select $1, $2", {"_x1", "ár"}},
        {"select 1", "select 1", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const ParsedSql p = ParseNamedParams(c.sql);
        EXPECT_EQ(p.text, c.text);
        EXPECT_EQ(p.names, c.names);
    }
}

TEST(SameName, IgnoresAsciiCase) {
    EXPECT_TRUE(SameName("Kod", "KOD"));
    EXPECT_TRUE(SameName("m_userid", "M_USERID"));
    EXPECT_FALSE(SameName("kod", "kod_1"));
}

}  // namespace
}  // namespace dorvan::db
