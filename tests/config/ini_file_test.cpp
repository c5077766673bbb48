#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "config/config_error.h"
#include "test_env.h"

namespace dorvan {
namespace {

using test::ReadText;
using test::ScratchDir;
using test::WriteText;

constexpr const char* kSample =
    "; a comment = not a key\n"
    "[Sales]\n"
    "Printer = Laser 1 \n"
    "printer=second wins never\n"
    "Quoted=\"  spaced  \"\n"
    "Empty=\n"
    "Number=0x1F\n"
    "Bad=12x\n"
    "\n"
    "[DataBase]\n"
    "Host=db.example\n"
    "[sales]\n"
    "Extra=only in the second Sales\n"
    "[Save_/opt/Árvíz/]\n"
    "SaveDir=/srv/save\n";

TEST(IniFile, ReadsWithPrivateProfileRules) {
    ScratchDir dir;
    WriteText(dir.Path() / "a.ini", kSample);
    const IniFile ini(dir.Path() / "a.ini");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {"Sales", "Printer", "Laser 1"},    // trimmed
        {"SALES", "PRINTER", "Laser 1"},    // case-insensitive, first key wins
        {"Sales", "Quoted", "  spaced  "},  // quotes removed, inside kept
        {"Sales", "Empty", ""},             // present but empty: no default
        {"Sales", "Extra", "<def>"},        // first section wins
        {"Sales", "Missing", "<def>"},
        {"Nope", "Printer", "<def>"},
        {"database", "host", "db.example"},
        {"Sales", "; a comment", "<def>"},
        {"save_/opt/árvíz/", "SaveDir", "/srv/save"},  // non-ASCII folded too
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<def>"), c.expected);
    }
    EXPECT_EQ(ini.ReadInteger("Sales", "Number", 7), 31);
    EXPECT_EQ(ini.ReadInteger("Sales", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Sales", "Empty", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Sales", "Missing", 7), 7);
    EXPECT_TRUE(ini.SectionExists("DATABASE"));
    EXPECT_FALSE(ini.SectionExists("HelpWin"));
}

TEST(IniFile, MissingFileGivesDefaults) {
    ScratchDir dir;
    const IniFile ini(dir.Path() / "none.ini");
    EXPECT_FALSE(ini.Exists());
    EXPECT_EQ(ini.ReadString("A", "b", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("A", "b", 5), 5);
}

TEST(IniFile, UnreadableFileThrows) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.Path() / "folder.ini");
    const IniFile ini(dir.Path() / "folder.ini");
    EXPECT_THROW(ini.ReadString("A", "b", ""), ConfigError);
}

TEST(IniFile, WritingKeepsTheRestOfTheFile) {
    ScratchDir dir;
    const auto path = dir.Path() / "w.ini";
    WriteText(path,
              "; keep me\n"
              "[One]\n"
              "a=1\n"
              "B = 2\n"
              "\n"
              "[Two]\n"
              "c=3\n");
    IniFile ini(path);
    ini.WriteString("one", "b", "20");   // replaces in place, keeps position
    ini.WriteString("One", "new", "x");  // appended after the section's last key
    ini.WriteString("Three", "d", "4");  // new section at the end
    ini.WriteInteger("Two", "c", -5);
    EXPECT_EQ(ReadText(path),
              "; keep me\n"
              "[One]\n"
              "a=1\n"
              "b=20\n"
              "new=x\n"
              "\n"
              "[Two]\n"
              "c=-5\n"
              "\n"
              "[Three]\n"
              "d=4\n");
}

TEST(IniFile, EraseSectionRemovesItWhole) {
    ScratchDir dir;
    const auto path = dir.Path() / "e.ini";
    WriteText(path,
              "[Keep]\n"
              "k=1\n"
              "[HelpWin]\n"
              "HelpPosLeft=1\n"
              "; its comment\n"
              "HelpMainHeight=5\n"
              "[Keep2]\n"
              "k=2\n"
              "[helpwin]\n"
              "dup=1\n");
    IniFile ini(path);
    ini.EraseSection("HELPWIN");
    EXPECT_EQ(ReadText(path),
              "[Keep]\n"
              "k=1\n"
              "[Keep2]\n"
              "k=2\n");
    ini.EraseSection("NotThere");  // no error, no change
    EXPECT_EQ(ini.ReadString("Keep2", "k", ""), "2");
}

TEST(IniFile, WriteCreatesTheFileButNotTheFolder) {
    ScratchDir dir;
    IniFile fresh(dir.Path() / "new.ini");
    fresh.WriteString("S", "k", "line1\nline2");
    EXPECT_EQ(ReadText(dir.Path() / "new.ini"), "[S]\nk=line1 line2\n");
    IniFile nowhere(dir.Path() / "no" / "such" / "x.ini");
    EXPECT_THROW(nowhere.WriteString("S", "k", "v"), ConfigError);
}

TEST(IniFile, KeepsWindowsLineEndsAndByteOrderMark) {
    ScratchDir dir;
    const auto path = dir.Path() / "crlf.ini";
    WriteText(path, "\xEF\xBB\xBF[A]\r\nx=1\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    ini.WriteString("A", "y", "2");
    EXPECT_EQ(ReadText(path), "\xEF\xBB\xBF[A]\r\nx=1\r\ny=2\r\n");
}

TEST(IniFile, NameComparison) {
    EXPECT_TRUE(IniNamesEqual("DataBase", "DATABASE"));
    EXPECT_TRUE(IniNamesEqual("Őrség", "őRSÉG"));
    EXPECT_FALSE(IniNamesEqual("Sales", "Sales_"));
}

// A FIFO or a device in place of an INI file is refused before it is opened (opening a FIFO
// would wait for a writer for ever; a device may never end), for reading and for writing.
TEST(IniFile, FilesThatAreNotRegularAreRefusedUnopened) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
    };
    const Case cases[] = {
        {"fifo", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"endless device", [](const auto& p) { std::filesystem::create_symlink("/dev/zero", p); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const auto path = dir.Path() / "Dorvan.ini";
        c.make(path);
        IniFile ini(path);
        try {
            ini.ReadString("DataBase", "Host", "");
            ADD_FAILURE() << "read";
        } catch (const ConfigError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot read " + path.string() + ": not a regular file");
        }
        try {
            ini.WriteString("DataBase", "Host", "h");
            ADD_FAILURE() << "written";
        } catch (const IniWriteError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot write " + path.string() + ": not a regular file");
        }
    }
}

// Several changes go into the file in one write; the rights of an existing file are kept
// unless it holds a password; no temporary file stays behind.
TEST(IniFile, UpdateWritesTheWholeFileOnce) {
    struct Case {
        const char* name;
        bool ownerOnly;
        std::filesystem::perms expected;
    };
    using std::filesystem::perms;
    static const Case kCases[] = {
        {"kept", false,
         perms::owner_read | perms::owner_write | perms::group_read | perms::others_read},
        {"owner only", true, perms::owner_read | perms::owner_write},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const auto path = dir.Path() / "u.ini";
        WriteText(path, "[HelpWin]\nHelpPosLeft=1\nHelpMainHeight=2\n[Keep]\nk=1\n");
        std::filesystem::permissions(
            path, perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
        IniFile ini(path);
        ini.SetOwnerOnly(c.ownerOnly);
        ini.Update([](IniDocument& d) {
            EXPECT_EQ(d.ReadString("helpwin", "HelpPosLeft", ""), "1");
            d.EraseSection("HelpWin");
            d.WriteString("HelpWin", "HelpPosLeft", "10");
            d.WriteInteger("HelpWin", "HelpPosTop", 20);
        });
        EXPECT_EQ(ReadText(path), "[Keep]\nk=1\n\n[HelpWin]\nHelpPosLeft=10\nHelpPosTop=20\n");
        EXPECT_EQ(std::filesystem::status(path).permissions() & perms::all, c.expected);
        const IniDocument snapshot = ini.Snapshot();
        EXPECT_EQ(snapshot.ReadInteger("HelpWin", "HelpPosTop", 0), 20);
        EXPECT_FALSE(snapshot.ValueExists("HelpWin", "HelpMainHeight"));
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"u.ini", "u.ini.lock"}));
    }
}

}  // namespace
}  // namespace dorvan
