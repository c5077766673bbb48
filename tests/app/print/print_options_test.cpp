// The command line of dorvan-print: what each form of an option gives, and the command lines
// that are refused with a one-line reason.

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "app/print_options.h"

namespace dorvan::app {
namespace {

TEST(PrintOptionsTest, AcceptedCommandLines) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        // Expected, as text: key|number|lang|prev|text|pdf|print|printer|copies|port|printTest
        std::string expected;
    };
    const Case cases[] = {
        {"none: the print test", {}, "-|-||0|-|-|0||0|-|1"},
        {"key as next argument", {"--key", "4320"}, "4320|-||0|-|-|0||0|-|1"},
        {"key after =", {"--key=4320"}, "4320|-||0|-|-|0||0|-|1"},
        {"negative key", {"--key", "-5"}, "-5|-||0|-|-|0||0|-|1"},
        {"number with a slash", {"--number", "SZ2026/0000002"}, "-|SZ2026/0000002||0|-|-|0||0|-|1"},
        {"number with an apostrophe", {"--number=O'B 1"}, "-|O'B 1||0|-|-|0||0|-|1"},
        {"language and snapshot", {"--lang", "00000409", "--prev"}, "-|-|00000409|1|-|-|0||0|-|1"},
        {"text and pdf", {"--text", "a.txt", "--pdf=b.pdf"}, "-|-||0|a.txt|b.pdf|0||0|-|0"},
        {"print on the default", {"--print"}, "-|-||0|-|-|1||0|-|0"},
        {"print on a named printer", {"--print=Matrix 2"}, "-|-||0|-|-|1|Matrix 2|0|-|0"},
        {"copy run", {"--copies"}, "-|-||0|-|-|0||1|-|0"},
        {"port keeps the print test", {"--port", "/tmp/lpt"}, "-|-||0|-|-|0||0|/tmp/lpt|1"},
        {"value that looks like an option", {"--text", "--pdf"}, "-|-||0|--pdf|-|0||0|-|0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PrintOptions o = ParsePrintOptions(c.args);
        const auto opt = [](const auto& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(*v)>, int>) {
                return v ? std::to_string(*v) : std::string("-");
            } else {
                return v ? *v : std::string("-");
            }
        };
        const std::string got =
            opt(o.key) + "|" + opt(o.number) + "|" + o.lang + "|" + (o.prev ? "1" : "0") + "|" +
            opt(o.text) + "|" + opt(o.pdf) + "|" + (o.print ? "1" : "0") + "|" + o.printer + "|" +
            (o.copies ? "1" : "0") + "|" + opt(o.port) + "|" + (o.PrintTestOutput() ? "1" : "0");
        EXPECT_EQ(got, c.expected);
        EXPECT_FALSE(o.help);
    }
}

TEST(PrintOptionsTest, RefusedCommandLines) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option: --bogus"},
        {{"4317"}, "unknown option: 4317"},
        {{"--key"}, "--key: missing value"},
        {{"--key", "43a"}, "--key: not a whole number: \"43a\""},
        {{"--key", ""}, "--key: not a whole number: \"\""},
        {{"--key", "99999999999"}, "--key: not a whole number: \"99999999999\""},
        {{"--key", "1", "--number", "X"}, "--key and --number exclude each other"},
        {{"--number="}, "--number: empty document number"},
        {{"--text="}, "--text: empty file name"},
        {{"--port", ""}, "--port: empty file name"},
        {{"--prev=1"}, "--prev: takes no value"},
        {{"--copies=3"}, "--copies: takes no value"},
        {{"--user"}, "--user: missing value"},
        {{"--user="}, "--user: empty user id"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        try {
            ParsePrintOptions(c.args, "nagyp");
            ADD_FAILURE() << "accepted";
        } catch (const PrintUsageError& e) {
            EXPECT_EQ(std::string(e.what()), c.reason);
        }
    }
}

TEST(PrintOptionsTest, UserFromTheOptionOrTheEnvironment) {
    struct Case {
        std::vector<std::string> args;
        const char* environment;
        const char* user;
    };
    const Case cases[] = {
        {{}, "", ""},
        {{}, "nagyp", "nagyp"},
        {{"--user", "kovacsne"}, "", "kovacsne"},
        {{"--user=O'Brien"}, "nagyp", "O'Brien"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        EXPECT_EQ(ParsePrintOptions(c.args, c.environment).user, c.user);
    }
}

TEST(PrintOptionsTest, HelpNamesEveryOption) {
    EXPECT_TRUE(ParsePrintOptions({"--help"}).help);
    const std::string usage = PrintUsage();
    for (const char* option :
         {"--key", "--number", "--lang", "--prev", "--text", "--pdf", "--print", "--copies",
          "--port", "--user", "DORVAN_USER", "DORVAN_EXE_DIR", "XDG_DATA_HOME", "DORVAN_LPT1"}) {
        SCOPED_TRACE(option);
        EXPECT_NE(usage.find(option), std::string::npos);
    }
}

}  // namespace
}  // namespace dorvan::app
