// dorvan-print --nav-xml as a process against the demo database: the file of a stored
// invoice, combined with another way out; a document that cannot be expressed exits with 1,
// one line on stderr and no file.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/print/print_cli_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

class NavPrintTest : public PrintProgramTest {};

TEST_F(NavPrintTest, WritesTheInvoiceDataBesideOtherWaysOut) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string number;
        bool text;  // racun.txt (the print test) or the --text file expected
    };
    const Case cases[] = {
        {"by key", {"--key", "4318", "--nav-xml", "out.xml"}, "SZ2026/0000003", false},
        {"by number, with the text",
         {"--number", "SZ2026/0000006", "--nav-xml=out.xml", "--text", "out.txt"},
         "SZ2026/0000006",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(Work("out.xml"));
        fs::remove(Work("out.txt"));
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::string xml = ReadText(Work("out.xml"));
        EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << xml;
        EXPECT_TRUE(Contains(xml, "<invoiceNumber>" + c.number + "</invoiceNumber>"));
        EXPECT_EQ(fs::exists(Work("out.txt")), c.text);
        EXPECT_FALSE(fs::exists(Work("racun.txt"))) << "no print test beside --nav-xml";
    }
}

TEST_F(NavPrintTest, RefusesADocumentThatIsNoInvoice) {
    const ProcessResult run = Run({"--key", "4310", "--nav-xml", "out.xml"});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
    EXPECT_TRUE(Contains(run.err, "a bizonylat nem számla (Szállítós eladás)")) << run.err;
    EXPECT_FALSE(fs::exists(Work("out.xml")));

    const ProcessResult usage = Run({"--nav-xml="});
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(Contains(usage.err, "--nav-xml: empty file name")) << usage.err;
}

}  // namespace
}  // namespace dorvan::test
