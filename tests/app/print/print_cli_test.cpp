// dorvan-print run as a process against the demo database: the print test's way out, the
// text and PDF files, the refusals with their one-line reasons and exit statuses.

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "print_cli_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

class PrintCliTest : public PrintProgramTest {};

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

// The settings row switched to a letterhead picture and a fixed text while it lives.
class LetterheadAndFixedText {
  public:
    LetterheadAndFixedText() {
        std::ifstream in(std::string(DORVAN_SQL_DIR) + "/../report/invoice/fizetve.jpg",
                         std::ios::binary);
        const std::string jpeg((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        std::string hex;
        for (const unsigned char c : jpeg) {
            constexpr const char* kDigits = "0123456789abcdef";
            hex += kDigits[c >> 4];
            hex += kDigits[c & 15];
        }
        EXPECT_FALSE(hex.empty());
        RunScript(Server(), DatabaseName(),
                  "UPDATE _setup_main SET level_fejresz_tipus = 2, szamla_level_fejresz = 1, "
                  "level_fejresz_grafika_magassag = 20, level_fejresz_grafika = decode('" +
                      hex +
                      "', 'hex'), szamla_allandoszoveg = '{\\rtf1\\ansi Az \\b áru\\b0  a "
                      "vételár kifizetéséig az eladó tulajdona.}'");
    }
    ~LetterheadAndFixedText() {
        RunScript(Server(), DatabaseName(),
                  "UPDATE _setup_main SET level_fejresz_tipus = 0, szamla_level_fejresz = 0, "
                  "level_fejresz_grafika = NULL, szamla_allandoszoveg = NULL");
    }
    LetterheadAndFixedText(const LetterheadAndFixedText&) = delete;
    LetterheadAndFixedText& operator=(const LetterheadAndFixedText&) = delete;
};

TEST_F(PrintCliTest, ParallelRunsEachHaveAPrivateTemporaryFolder) {
    constexpr int kRuns = 8;
    std::vector<std::unique_ptr<ScratchDir>> dirs;
    std::vector<ProcessResult> results(kRuns);
    for (int i = 0; i < kRuns; ++i)
        dirs.push_back(std::make_unique<ScratchDir>());
    const ScratchDir tmp;
    const EnvVar tmpdir("TMPDIR", tmp.Path().string());
    const LetterheadAndFixedText settings;

    // A link planted where a shared temporary folder would be is never followed.
    const fs::path victim = tmp.Path() / "victim";
    WriteText(victim, "keep");
    fs::create_directory(tmp.Path() / "dorvan-print.TMP");
    fs::create_symlink(victim, tmp.Path() / "dorvan-print.TMP" / "Level_grafika.jpg");
    fs::create_symlink(victim, tmp.Path() / "dorvan-print.TMP" / "Állandó szöveg a számlán.rtf");

    {
        std::vector<std::thread> runs;
        for (int i = 0; i < kRuns; ++i)
            runs.emplace_back([&, i] {
                results[i] = RunProcess(DORVAN_PRINT,
                                        {"--key", "4320", "--text", "out.txt", "--pdf", "out.pdf"},
                                        dirs[i]->Path());
            });
        for (std::thread& t : runs)
            t.join();
    }
    const std::string first = ReadText(dirs[0]->Path() / "out.txt");
    ExpectPrinterText(first);
    for (int i = 0; i < kRuns; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(results[i].status, 0) << results[i].err;
        EXPECT_EQ(results[i].err, "");
        EXPECT_EQ(ReadText(dirs[i]->Path() / "out.txt"), first);
        EXPECT_EQ(ReadText(dirs[i]->Path() / "out.pdf").rfind("%PDF", 0), 0u);
    }
    EXPECT_EQ(ReadText(victim), "keep");
    // Each run removed its own folder; the planted one is left as it was.
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(tmp.Path()))
        if (entry.path().filename().string().rfind("dorvan-print", 0) == 0 ||
            entry.path().filename() == "victim")
            left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"dorvan-print.TMP", "victim"}));
    EXPECT_TRUE(fs::is_symlink(tmp.Path() / "dorvan-print.TMP" / "Level_grafika.jpg"));
}

TEST_F(PrintCliTest, OutputsAppearWholeOrNotAtAll) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* reason;
    };
    const std::string earlier = Work("earlier.txt").string();
    const std::string folder = Work("folder").string();
    const Case cases[] = {
        {"pdf on a full device", {"--pdf", "/dev/full"}, "/dev/full"},
        {"text on a full device", {"--text", "/dev/full"}, "/dev/full"},
        {"text onto a folder", {"--text", folder}, "folder"},
        {"text and port the same file", {"--text", earlier, "--port", earlier}, "same file"},
        {"text and pdf the same file", {"--text", earlier, "--pdf", earlier}, "same file"},
        {"same file by another name",
         {"--text", earlier, "--pdf", Work("folder/../earlier.txt").string()},
         "same file"},
        {"print test onto its own port", {"--port", "racun.txt"}, "same file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(Work("earlier.txt"), "earlier");
        WriteText(Work("racun.txt"), "earlier");
        fs::create_directories(folder);
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, 1);
        const auto lines = run.ErrLines();
        ASSERT_EQ(lines.size(), 1u) << run.err;
        EXPECT_TRUE(Contains(lines[0], c.reason)) << lines[0];
        EXPECT_EQ(ReadText(Work("earlier.txt")), "earlier");
        EXPECT_EQ(ReadText(Work("racun.txt")), "earlier");
        EXPECT_TRUE(fs::is_empty(folder));
        // No temporary file is left beside the targets.
        std::size_t files = 0;
        for (const auto& entry : fs::directory_iterator(work_.Path()))
            files += entry.path().filename().string().rfind(".earlier", 0) == 0 ? 1 : 0;
        EXPECT_EQ(files, 0u);
    }
}

TEST_F(PrintCliTest, ExportOntoAFullFileSystemKeepsTheEarlierFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    const ScratchDir mountPoint;
    const fs::path m = mountPoint.Path();
    if (::mount("tmpfs", m.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        fs::path at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{m};
    WriteText(m / "out.txt", "earlier");
    WriteText(m / "out.pdf", "earlier");
    // Fill the file system, then leave a few kilobytes free: less than either output needs.
    {
        std::ofstream filler(m / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size()))
            filler.flush();
    }
    fs::resize_file(m / "filler", fs::file_size(m / "filler") - 8192);

    struct Case {
        const char* option;
        const char* file;
    };
    for (const Case c : {Case{"--text", "out.txt"}, Case{"--pdf", "out.pdf"}}) {
        SCOPED_TRACE(c.option);
        const ProcessResult run = Run({"--key", "4320", c.option, (m / c.file).string()});
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
        EXPECT_TRUE(Contains(run.err, c.file)) << run.err;
        EXPECT_EQ(ReadText(m / c.file), "earlier");
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(m))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"filler", "out.pdf", "out.txt"}));
    }
}

TEST_F(PrintCliTest, ExplicitPortThatCannotBeWrittenFails) {
    struct Case {
        const char* name;
        std::string port;
    };
    const Case cases[] = {
        {"missing device", "/dev/dorvan-no-such-port"},
        {"folder", Work("folder").string()},
        {"full device", "/dev/full"},
    };
    fs::create_directories(Work("folder"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& args : {std::vector<std::string>{"--port", c.port},
                                 std::vector<std::string>{"--text", "out.txt", "--port", c.port}}) {
            const ProcessResult run = Run(args);
            EXPECT_EQ(run.status, 1);
            const auto lines = run.ErrLines();
            ASSERT_EQ(lines.size(), 1u) << run.err;
            EXPECT_TRUE(Contains(lines[0], c.port)) << lines[0];
        }
        EXPECT_FALSE(fs::exists("/dev/dorvan-no-such-port"));
        // The plain text itself is complete.
        ExpectPrinterText(ReadText(Work("out.txt")));
    }
}

TEST_F(PrintCliTest, NumberPrintsTheSameDocumentAsItsKey) {
    // Every numbered invoice-like document of the demo: the sign subtotals, the collective
    // layout and the language must follow the document asked for, not the print test's key.
    struct Case {
        const char* key;
        const char* number;
        const char* lang;
    };
    const Case cases[] = {
        {"4306", "PR2026/0000001", ""},         {"4310", "SL2026/0000001", ""},
        {"4311", "SZ2026/0000001", ""},         {"4317", "SZ2026/0000002", ""},
        {"4318", "SZ2026/0000003", ""},         {"4318", "SZ2026/0000003", "00000409"},
        {"4320", "SZ2026/0000004", ""},         {"4321", "SZ2026/0000005", ""},
        {"4321", "SZ2026/0000005", "00000409"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.number) + " " + c.lang);
        const ProcessResult byKey = Run({"--key", c.key, "--lang", c.lang, "--text", "by-key.txt"});
        ASSERT_EQ(byKey.status, 0) << byKey.err;
        const ProcessResult byNumber =
            Run({std::string("--number=") + c.number, "--lang", c.lang, "--text", "by-number.txt"});
        ASSERT_EQ(byNumber.status, 0) << byNumber.err;
        const std::string text = ReadText(Work("by-key.txt"));
        ExpectPrinterText(text);
        EXPECT_EQ(ReadText(Work("by-number.txt")), text);
    }
    // The default key is the print test's 4317.
    ASSERT_EQ(Run({"--key", "4317", "--text", "by-key.txt"}).status, 0);
    ASSERT_EQ(Run({"--text", "default.txt"}).status, 0);
    EXPECT_EQ(ReadText(Work("default.txt")), ReadText(Work("by-key.txt")));
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

TEST_F(PrintCliTest, SignedInUser) {
    ASSERT_EQ(Run({"--text", "nobody.txt"}).status, 0);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* environment;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"by option", {"--user", "kovacsne", "--text", "kovacsne.txt"}, nullptr, 0, ""},
        {"by the environment", {"--text", "env.txt"}, "kovacsne", 0, ""},
        {"the option wins", {"--user=kovacsne", "--text", "both.txt"}, "senki", 0, ""},
        {"unknown user",
         {"--user", "nincs", "--text", "x.txt"},
         nullptr,
         2,
         "dorvan-print: unknown user 'nincs'\n"},
        {"unknown user of the environment",
         {"--text", "x.txt"},
         "senki",
         2,
         "dorvan-print: unknown user 'senki'\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EnvVar user("DORVAN_USER", c.environment == nullptr
                                             ? std::nullopt
                                             : std::optional<std::string>(c.environment));
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        if (c.status == 0) {
            EXPECT_EQ(ReadText(Work(c.args.back())), ReadText(Work("nobody.txt")));
        }
    }
    EXPECT_FALSE(fs::exists(Work("x.txt")));
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
    const ProcessResult verbose = Run({"--verbose"});
    installation_->WriteMainIni(Server().password);
    EXPECT_EQ(run.status, 1);
    // The final reason alone; the dialog and its question only with --verbose.
    const auto lines = run.ErrLines();
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_TRUE(Contains(lines.back(), "Nem sikerült kapcsolódni az adatbázishoz")) << run.err;
    EXPECT_TRUE(Contains(lines.back(), "hibás felhasználónév vagy jelszó")) << run.err;
    EXPECT_FALSE(fs::exists(Work("racun.txt")));
    EXPECT_EQ(verbose.status, 1);
    EXPECT_GT(verbose.ErrLines().size(), 1u) << verbose.err;
    EXPECT_TRUE(Contains(verbose.err, "Újra próbálja a kapcsolódást?")) << verbose.err;
    EXPECT_EQ(verbose.ErrLines().back(), lines.back());
}

TEST_F(PrintCliTest, UnreachableInformationServiceIsNamed) {
    const EnvVar infoPort("DORVAN_INFO_PORT", "9");
    const ProcessResult run = Run({});
    EXPECT_EQ(run.status, 1);
    const auto lines = run.ErrLines();
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_TRUE(Contains(lines[0], "központi információs szolgáltatás")) << lines[0];
    EXPECT_TRUE(Contains(lines[0], ":9/")) << lines[0];
    EXPECT_FALSE(fs::exists(Work("racun.txt")));
}

}  // namespace
}  // namespace dorvan::test
