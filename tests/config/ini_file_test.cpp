#include "config/ini_file.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace dorvan
