#include "config/error_log.h"

#include <gtest/gtest.h>

#include "config/folders.h"
#include "test_env.h"

namespace dorvan {
namespace {

TEST(ErrorLog, AppendsThreeLinesBesideTheExecutable) {
    test::ScratchDir dir;
    test::EnvVar exe("DORVAN_EXE_DIR", dir.Str());
    EXPECT_EQ(ErrorLogPath(), dir.Str() + "/" + GetExeFileName() + ".log");
    WriteErrorLog("first failure [ConfigError]");
    WriteErrorLog("második hiba");
    const std::string text = test::ReadText(ErrorLogPath());
    // date time \n message \n \n, twice
    const auto first = text.find("\nfirst failure [ConfigError]\n\n");
    const auto second = text.find("\nmásodik hiba\n\n");
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    EXPECT_LT(first, second);
    // The stamp: "yyyy.MM.dd. H:mm:ss".
    const std::string stamp = text.substr(0, text.find('\n'));
    ASSERT_GE(stamp.size(), 17u) << stamp;
    EXPECT_EQ(stamp[4], '.');
    EXPECT_EQ(stamp[7], '.');
    EXPECT_EQ(stamp[10], '.');
    EXPECT_EQ(stamp[11], ' ');
}

}  // namespace
}  // namespace dorvan
