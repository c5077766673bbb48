// dorvan-cli's argument readers and number/date writers, and the splitting of a subcommand's
// command line.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "app/cli/cli_command.h"
#include "app/cli/cli_support.h"

namespace dorvan::cli {
namespace {

TEST(CliSupport, NumbersReadWithADotAndPrintInShortestExactForm) {
    const struct {
        const char* text;
        double value;
        const char* printed;
    } cases[] = {
        {"400.125", 400.125, "400.125"},
        {"400.12", 400.12, "400.12"},
        {"125", 125, "125"},
        {"-0.5", -0.5, "-0.5"},
        {"+3", 3, "3"},
        {"-0", 0, "0"},
        {"0.1", 0.1, "0.1"},
        {"1587.5", 1587.5, "1587.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseNumber(c.text, "AMOUNT"), c.value);
        EXPECT_EQ(FormatNumber(ParseNumber(c.text, "AMOUNT")), c.printed);
    }
    const std::string huge = "1" + std::string(308, '0');  // 309 digits, overflows nothing
    for (const std::string& bad :
         {std::string(), std::string("1,5"), std::string("1 000"), std::string("abc"),
          std::string("1e5x"), std::string("nan"), std::string("inf"), std::string("12.5.1"),
          std::string("--1"), std::string("+-5"), std::string("+"), std::string("1e5"),
          std::string("-1.8e308")}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseNumber(bad, "AMOUNT"), UsageError);
    }
    for (const std::string& large :
         {huge, "-" + huge, "1" + huge, std::string("1000000000000000.5"),
          std::string("-2000000000000000")}) {
        SCOPED_TRACE(large);
        EXPECT_THROW(ParseNumber(large, "AMOUNT"), NumberOutOfRange);
    }
    EXPECT_EQ(ParseNumber("1000000000000000", "AMOUNT"), kMaxNumber);
    EXPECT_EQ(ParseNumber("-1000000000000000", "AMOUNT"), -kMaxNumber);
    // Nothing that is not finite is ever printed.
    for (const double value :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(value);
        EXPECT_THROW(FormatNumber(value), std::runtime_error);
    }
}

TEST(CliSupport, DatesAreIsoCalendarDays) {
    EXPECT_EQ(FormatIsoDate(ParseIsoDate("2026-03-01", "DATE")), "2026-03-01");
    EXPECT_EQ(FormatIsoDate(ParseIsoDate("2024-02-29", "DATE")), "2024-02-29");
    for (const char* bad :
         {"2026-02-29", "2026-13-01", "2026-04-31", "2026-3-1", "01.03.2026", "2026-03-01x", "",
          "2026.03.01.", " 202-01-01", "2026-+1-01", "+026-01-01", "2026-01- 1", "2026-01-+1",
          "-026-01-01", "0000-01-01", "2026-00-10", "2026-01-00"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseIsoDate(bad, "DATE"), UsageError);
    }
    EXPECT_EQ(ParseInt("-1", "KEY"), -1);
    EXPECT_THROW(ParseInt("12a", "KEY"), UsageError);
    EXPECT_THROW(ParseInt("99999999999", "KEY"), UsageError);
}

TEST(CliSupport, SubcommandArgumentsSplitByDeclaration) {
    CliCommand c;
    c.name = "price";
    c.minPositional = 2;
    c.maxPositional = 2;
    c.flags = {"--all"};
    c.valueOptions = {"--date", "--currency"};
    const CliArgs a =
        ParseCliArgs(c, {"12", "--date", "2026-03-01", "-5", "--currency=EUR", "--all"});
    EXPECT_EQ(a.Positional(), (std::vector<std::string>{"12", "-5"}));
    EXPECT_EQ(a.Value("--date"), "2026-03-01");
    EXPECT_EQ(a.Value("--currency"), "EUR");
    EXPECT_EQ(a.Value("--payment", "none"), "none");
    EXPECT_TRUE(a.Has("--all"));
    EXPECT_THROW(ParseCliArgs(c, {"12"}), UsageError);
    EXPECT_THROW(ParseCliArgs(c, {"1", "2", "3"}), UsageError);
    EXPECT_THROW(ParseCliArgs(c, {"1", "2", "--bogus"}), UsageError);
    EXPECT_THROW(ParseCliArgs(c, {"1", "2", "--date"}), UsageError);
    EXPECT_THROW(ParseCliArgs(c, {"1", "2", "--all=1"}), UsageError);
    // An empty value is refused by every option alike.
    EXPECT_THROW(ParseCliArgs(c, {"1", "2", "--date", ""}), UsageError);
    EXPECT_THROW(ParseCliArgs(c, {"1", "2", "--date="}), UsageError);
    EXPECT_THROW(ParseCliArgs(c, {"1", "2", "--currency", ""}), UsageError);
    EXPECT_EQ(ParseCliArgs(c, {"1", "--", "--all"}).At(1), "--all");
}

}  // namespace
}  // namespace dorvan::cli
