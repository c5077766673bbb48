// dorvan-print --nav-xml as a process against the demo database: the file of a stored
// invoice, combined with another way out; the operation and the authority's warnings on
// stdout; a document that cannot be expressed or that the authority would reject exits with
// 1, one line on stderr naming the authority's code and the line, and no file.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/print/print_cli_fixture.h"
#include "support/pg_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

class NavPrintTest : public PrintProgramTest {};

// A change of the demo data that dorvan-print sees, taken back at the end of the case.
class DataChange {
  public:
    DataChange(std::string change, std::string undo) : undo_(std::move(undo)) {
        RunScript(Server(), DatabaseName(), change);
    }
    ~DataChange() { RunScript(Server(), DatabaseName(), undo_); }
    DataChange(const DataChange&) = delete;
    DataChange& operator=(const DataChange&) = delete;

  private:
    std::string undo_;
};

TEST_F(NavPrintTest, WritesTheInvoiceDataBesideOtherWaysOut) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string number;
        bool text;  // racun.txt (the print test) or the --text file expected
        const char* appearance;
    };
    const Case cases[] = {
        {"by key", {"--key", "4318", "--nav-xml", "out.xml"}, "SZ2026/0000003", false, "PAPER"},
        {"by number, with the text",
         {"--number", "SZ2026/0000006", "--nav-xml=out.xml", "--text", "out.txt"},
         "SZ2026/0000006",
         true,
         "PAPER"},
        {"made only as a PDF",
         {"--key", "4317", "--pdf", "out.pdf", "--nav-xml", "out.xml"},
         "SZ2026/0000002",
         false,
         "ELECTRONIC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(Work("out.xml"));
        fs::remove(Work("out.txt"));
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, "");
        const std::string xml = ReadText(Work("out.xml"));
        EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << xml;
        EXPECT_TRUE(Contains(xml, "<invoiceNumber>" + c.number + "</invoiceNumber>"));
        EXPECT_TRUE(Contains(
            xml, std::string("<invoiceAppearance>") + c.appearance + "</invoiceAppearance>"));
        EXPECT_EQ(fs::exists(Work("out.txt")), c.text);
        EXPECT_FALSE(fs::exists(Work("racun.txt"))) << "no print test beside --nav-xml";
    }
}

TEST_F(NavPrintTest, PrintsTheOperationAndTheWarnings) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {"a reversal cancels its original",
         {"--key", "4322", "--nav-operation"},
         "STORNO\t1\tSZ2026/0000005\n"},
        {"an invoice is new, without warnings",
         {"--key", "4317", "--nav-operation", "--nav-xml-warnings"},
         "CREATE\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, c.out);
        EXPECT_FALSE(fs::exists(Work("racun.txt"))) << "no print test beside the --nav options";
    }

    // An intra-Community exemption sold to a natural person: written, with the warnings.
    const DataChange change(
        "update partner set adoszam_eu = null, szuletesi_datum = '1970-05-01' where kod = 6; "
        "update bizonylatszoveg_fej set partner_adoszam = null where fej_kod = 4321",
        "update partner set adoszam_eu = 'ATU12345678', szuletesi_datum = null where kod = 6; "
        "update bizonylatszoveg_fej set partner_adoszam = 'ATU12345678' where fej_kod = 4321");
    const ProcessResult run = Run({"--key", "4321", "--nav-xml", "out.xml", "--nav-xml-warnings"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(Work("out.xml")));
    EXPECT_TRUE(Contains(run.out,
                         "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAET, 1. tétel: "
                         "Közösségen belüli adómentes értékesítés (KBAET) PRIVATE_PERSON vevőnek"))
        << run.out;
    EXPECT_TRUE(
        Contains(run.out, "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAET, 2. tétel"))
        << run.out;
}

TEST_F(NavPrintTest, RefusesWhatTheAuthorityWouldReject) {
    struct Case {
        const char* name;
        const char* change;
        const char* undo;
        const char* key;
        std::vector<std::string> parts;  // of the one line on stderr
    };
    const Case cases[] = {
        {"a 0 % VAT key without an accepted category",
         "update raktar_mozgas set afakulcs = 4 where kod = 431704",
         "update raktar_mozgas set afakulcs = 3 where kod = 431704",
         "4317",
         {"INVALID_VAT_DATA, 10. tétel", "[ÁFA-kulcs: 4 0%-os ÁFA]"}},
        {"an unknown exemption code",
         "update afa_kulcs set nav_eset = 'KBA' where kod = 5",
         "update afa_kulcs set nav_eset = 'KBAET' where kod = 5",
         "4318",
         {"INVALID_LINE_VAT_EXEMPTION_CODE, 1. tétel", "\"KBA\""}},
        {"a reverse-charge sale to a private person",
         "update bizonylatszoveg_fej set partner_adoszam = null, partner_nev = 'Nagy Anna' "
         "where fej_kod = 4311; update partner set adoszam_eu = null where kod = 5",
         "update bizonylatszoveg_fej set partner_adoszam = '24681357-2-03', "
         "partner_nev = 'O''Neill Építő Kft.' where fej_kod = 4311; "
         "update partner set adoszam_eu = 'HU24681357' where kod = 5",
         "4311",
         {"DOMESTIC_TAXNUMBER_EXPECTED_REVERSE_CHARGE, 2. tétel", "PRIVATE_PERSON"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DataChange change(c.change, c.undo);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--key", c.key, "--nav-xml", "out.xml"},
              std::vector<std::string>{"--key", c.key, "--nav-xml-warnings"}}) {
            const ProcessResult run = Run(args);
            EXPECT_EQ(run.status, 1);
            ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
            EXPECT_TRUE(Contains(run.err, "Az adóhatóság elutasítaná a számlaadatot: ")) << run.err;
            for (const std::string& part : c.parts)
                EXPECT_TRUE(Contains(run.err, part)) << part << "\n" << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_FALSE(fs::exists(Work("out.xml")));
        }
    }
    // Taken back: written again.
    EXPECT_EQ(Run({"--key", "4311", "--nav-xml", "out.xml"}).status, 0);
}

TEST_F(NavPrintTest, RefusesADocumentThatIsNoInvoice) {
    const ProcessResult run = Run({"--key", "4310", "--nav-xml", "out.xml"});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
    EXPECT_TRUE(Contains(run.err, "a bizonylat nem számla (Szállítós eladás)")) << run.err;
    EXPECT_FALSE(fs::exists(Work("out.xml")));

    struct Usage {
        std::vector<std::string> args;
        const char* reason;
    };
    const Usage usages[] = {
        {{"--nav-xml="}, "--nav-xml: empty file name"},
        {{"--nav-operation=1"}, "--nav-operation: takes no value"},
        {{"--nav-xml-warnings=yes"}, "--nav-xml-warnings: takes no value"},
    };
    for (const Usage& u : usages) {
        SCOPED_TRACE(u.reason);
        const ProcessResult usage = Run(u.args);
        EXPECT_EQ(usage.status, 2);
        EXPECT_TRUE(Contains(usage.err, u.reason)) << usage.err;
    }
    const ProcessResult help = Run({"--help"});
    for (const char* option : {"--nav-xml", "--nav-xml-warnings", "--nav-operation"})
        EXPECT_TRUE(Contains(help.out, option)) << option;
}

}  // namespace
}  // namespace dorvan::test
