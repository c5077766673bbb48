#include "config/version.h"

#include <gtest/gtest.h>

#include "config/config_error.h"
#include "config/main_table.h"

namespace dorvan {
namespace {

TEST(Version, FormatVersion) {
    struct Case {
        const char* file;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {"1.10.5.123", "1.105"},
        {"1.10.5.0", "1.105"},
        {"2.0.0.1", "2.00"},
        {"1.2.3", ""},
        {"", ""},
        {"1.x.3.4", ""},
        {"1..3.4", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(FormatVersion(c.file), c.expected);
    }
}

TEST(Version, OrvelleRule) {
    EXPECT_EQ(OrvelleVersion("3.45"), "1.45");
    EXPECT_EQ(OrvelleVersion("9.1"), "7.1");
    EXPECT_EQ(OrvelleVersion("1.105"), "-1.105");
    EXPECT_EQ(OrvelleVersion(""), "");
    EXPECT_THROW(OrvelleVersion("v1.0"), ConversionError);
}

TEST(Version, RunningProgramFromTheBuildVersion) {
    const std::string saved = MainTable().Database;
    MainTable().Database = "Dorvan_Data";
    EXPECT_EQ(GetFileVersion(), "1.10.5.0");
    EXPECT_EQ(GetVersionString(), "1.105");
    MainTable().Database = "Orvelle_Data";
    EXPECT_EQ(GetVersionString(), "-1.105");
    MainTable().Database = "orvelle_data";  // the rule needs the exact name
    EXPECT_EQ(GetVersionString(), "1.105");
    MainTable().Database = saved;
}

}  // namespace
}  // namespace dorvan
