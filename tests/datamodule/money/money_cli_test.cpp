// dorvan-cli's rate, convert and price subcommands as a process against the demo database.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/print/print_cli_fixture.h"

namespace dorvan::test {
namespace {

class MoneyCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

    ProcessResult Run(const std::vector<std::string>& args) const {
        return RunProcess(DORVAN_CLI, args, work_.Path());
    }

    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
};

std::unique_ptr<PrintInstallation> MoneyCliTest::installation_;

TEST_F(MoneyCliTest, DocumentedAnswers) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out;
    };
    const Case kCases[] = {
        {{"rate", "EUR", "2026-03-05"}, 0, "400.12\n"},
        {{"rate", "EUR", "2026-03-10"}, 0, "401.5\n"},
        {{"rate", "HUF", "2026-03-10"}, 0, "1\n"},
        {{"rate", "EUR", "2026-02-01"}, 3, ""},
        {{"convert", "100", "EUR", "USD", "2026-04-01"}, 0, "125\n"},
        {{"convert", "100", "EUR", "HUF", "2026-04-01"}, 0, "40000\n"},
        {{"convert", "100", "EUR", "USD", "2026-02-01"}, 3, ""},
        {{"price", "1", "6001", "--date", "2026-06-15"}, 0, "4000\t5080\t1\tHUF\n"},
        {{"price", "11", "6001", "--date=2026-06-15"}, 0, "12990\t16497.3\t1\tHUF\n"},
        {{"price", "8", "6003", "--date", "2026-06-15"}, 0, "3290\t3290\t6\tHUF\n"},
        {{"price", "13", "6002", "--date", "2026-06-15", "--project", "1"},
         0,
         "390\t390\t6\tHUF\n"},
        {{"price", "13", "6002", "--date", "2026-06-15", "--currency", "EUR"},
         0,
         "390\t495.3\t1\tHUF\n"},
    };
    for (const Case& c : kCases) {
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        SCOPED_TRACE(line);
        const ProcessResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(MoneyCliTest, UsageErrors) {
    const std::vector<std::vector<std::string>> kCases = {
        {"rate", "EUR"},
        {"rate", "EUR", "2026-13-01"},
        {"convert", "1,5", "EUR", "HUF", "2026-04-01"},
        {"price", "x", "6001"},
        {"price", "1", "6001", "--payment"},
    };
    for (const auto& args : kCases) {
        SCOPED_TRACE(args.size());
        const ProcessResult r = Run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

}  // namespace
}  // namespace dorvan::test
