// dorvan-print run as a process against the demo database: the print test's way out, the
// text and PDF files, the refusals with their one-line reasons and exit statuses.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "print_cli_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

class PrintCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

    void SetUp() override { ASSERT_TRUE(installation_->EchoRunning()); }

    ProcessResult Run(const std::vector<std::string>& args) const {
        return RunProcess(DORVAN_PRINT, args, work_.Path());
    }
    fs::path Work(const std::string& name) const { return work_.Path() / name; }

    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
};

std::unique_ptr<PrintInstallation> PrintCliTest::installation_;

// Plain text of the demo invoice as the dot-matrix printer gets it.
void ExpectPrinterText(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(Contains(text, "\r\n"));
    EXPECT_TRUE(Contains(text, "V\xE9g\xF6sszesen:")) << "Windows-1250 \"Végösszesen:\"";
    EXPECT_FALSE(Contains(text, "\xC3\xA9")) << "UTF-8 bytes in the printer text";
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ASSERT_GT(at, 0u);
        ASSERT_EQ(text[at - 1], '\r') << "bare LF at byte " << at;
    }
}

TEST_F(PrintCliTest, WithoutOptionsRunsThePrintTestAndCopiesToThePort) {
    const fs::path port = Work("lpt1");
    WriteText(port, std::string(100000, 'x'));  // longer than the invoice: must be cut

    const ProcessResult run = Run({"--port", port.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string text = ReadText(Work("racun.txt"));
    ExpectPrinterText(text);
    EXPECT_EQ(ReadText(port), text);

    // Again: the file is overwritten, not appended to, and copied again.
    WriteText(Work("racun.txt"), "old");
    WriteText(port, "old");
    ASSERT_EQ(Run({"--port", port.string()}).status, 0);
    EXPECT_EQ(ReadText(Work("racun.txt")), text);
    EXPECT_EQ(ReadText(port), text);
}

TEST_F(PrintCliTest, MissingPortIsSilent) {
    // DORVAN_LPT1 of the installation names a folder that does not exist.
    const ProcessResult run = Run({});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ExpectPrinterText(ReadText(Work("racun.txt")));
}

TEST_F(PrintCliTest, TextAndPdfTogether) {
    const ProcessResult run = Run(
        {"--key", "4320", "--text", Work("4320.txt").string(), "--pdf", Work("4320.pdf").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string text = ReadText(Work("4320.txt"));
    ExpectPrinterText(text);
    EXPECT_TRUE(Contains(text, "\f") || Contains(text, "SZ2026/0000004"));
    EXPECT_EQ(ReadText(Work("4320.pdf")).rfind("%PDF", 0), 0u);
    // An explicit text file is not the print test: no racun.txt.
    EXPECT_FALSE(fs::exists(Work("racun.txt")));
}

TEST_F(PrintCliTest, NumberPrintsTheSameDocumentAsItsKey) {
    ASSERT_EQ(Run({"--key", "4317", "--text", "by-key.txt"}).status, 0);
    const ProcessResult run = Run({"--number=SZ2026/0000002", "--text", "by-number.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string byKey = ReadText(Work("by-key.txt"));
    ExpectPrinterText(byKey);
    EXPECT_EQ(ReadText(Work("by-number.txt")), byKey);
    // The default key is the print test's 4317.
    ASSERT_EQ(Run({"--text", "default.txt"}).status, 0);
    EXPECT_EQ(ReadText(Work("default.txt")), byKey);
}

TEST_F(PrintCliTest, FailuresEndWithOneLineAndNonZeroStatus) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        const char* reason;
    };
    const std::string missingDir = Work("no-such-folder").string();
    const Case cases[] = {
        {"unknown key", {"--key", "999999"}, 1, "Nincs ilyen bizonylat: kulcs 999999"},
        {"unknown number",
         {"--number", "SZ'9999"},
         1,
         "Nincs ilyen bizonylat: bizonylatszám \"SZ'9999\""},
        {"key not in the snapshot",
         {"--prev", "--key", "4320"},
         1,
         "Nincs ilyen bizonylat: kulcs 4320"},
        {"unwritable text", {"--text", missingDir + "/x.txt"}, 1, "x.txt"},
        {"unwritable pdf", {"--pdf", missingDir + "/x.pdf"}, 1, "x.pdf"},
        {"unknown option", {"--bogus"}, 2, "unknown option: --bogus"},
        {"key and number", {"--key", "1", "--number", "2"}, 2, "exclude each other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, c.status);
        const auto lines = run.ErrLines();
        ASSERT_EQ(lines.size(), 1u) << run.err;
        EXPECT_TRUE(Contains(lines[0], c.reason)) << lines[0];
        EXPECT_FALSE(fs::exists(Work("racun.txt")));
    }
}

TEST_F(PrintCliTest, SecondLanguageOnlyWhenAsked) {
    struct Case {
        std::vector<std::string> args;
        bool english;
    };
    const Case cases[] = {
        {{"--key", "4318", "--text", "hu.txt"}, false},
        {{"--key", "4318", "--lang", "00000409", "--text", "en.txt"}, true},
        {{"--key", "4318", "--lang=0", "--text", "zero.txt"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const ProcessResult run = Run(c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string text = ReadText(Work(c.args.back()));
        ExpectPrinterText(text);
        EXPECT_EQ(Contains(text, "INVOICE"), c.english);
        EXPECT_EQ(Contains(text, "Lap/Page"), c.english);
    }
}

TEST_F(PrintCliTest, SnapshotOfTheDocumentBeingEdited) {
    const ProcessResult run = Run({"--prev", "--key", "4317", "--text", "prev.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    ExpectPrinterText(ReadText(Work("prev.txt")));
}

TEST_F(PrintCliTest, HelpNeedsNoDatabase) {
    const ProcessResult run = Run({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.out, "Usage: dorvan-print")) << run.out;
    EXPECT_EQ(run.err, "");
}

TEST_F(PrintCliTest, WithoutDocument4317ThePrintTestPrintsAnEmptyInvoiceAndCopiesIt) {
    const std::string empty = DatabaseName() + "_empty";
    CreateDatabase(Server(), empty, true, false);
    installation_->WriteMainIni(Server().password, empty);
    const fs::path port = Work("lpt1");
    const ProcessResult printTest = Run({"--port", port.string()});
    const ProcessResult byKey = Run({"--key", "4317", "--text", "by-key.txt"});
    installation_->WriteMainIni(Server().password);
    DropDatabase(Server(), empty);

    EXPECT_EQ(printTest.status, 0) << printTest.err;
    const std::string text = ReadText(Work("racun.txt"));
    ExpectPrinterText(text);
    EXPECT_TRUE(Contains(text, "SZ\xC1MLA"));
    EXPECT_EQ(ReadText(port), text);
    // Asked for by key on the command line, the missing document is an error.
    EXPECT_EQ(byKey.status, 1);
    EXPECT_EQ(byKey.err, "Nincs ilyen bizonylat: kulcs 4317\n");
    EXPECT_FALSE(fs::exists(Work("by-key.txt")));
}

TEST_F(PrintCliTest, WrongPasswordGivesUpWithAClearLine) {
    installation_->WriteMainIni("rossz jelszó");
    const ProcessResult run = Run({});
    installation_->WriteMainIni(Server().password);
    EXPECT_EQ(run.status, 1);
    const auto lines = run.ErrLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(Contains(lines.back(), "Nem sikerült kapcsolódni az adatbázishoz")) << run.err;
    EXPECT_TRUE(Contains(lines.back(), "hibás felhasználónév vagy jelszó")) << run.err;
    EXPECT_FALSE(fs::exists(Work("racun.txt")));
}

}  // namespace
}  // namespace dorvan::test
