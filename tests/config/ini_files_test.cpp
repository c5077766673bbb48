#include "config/ini_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "config/config_error.h"
#include "config/folders.h"
#include "config/ini_file.h"
#include "config/lang_text.h"
#include "config/main_table.h"
#include "config/printers.h"
#include "config/recording_ui.h"
#include "test_env.h"

namespace dorvan {
namespace {

using test::EnvVar;
using test::ReadText;
using test::ScratchDir;
using test::WriteText;

// Executable folder, per-user data folder and system folder all inside a scratch folder;
// a fixed printer list; a recording user interface.
class IniFilesTest : public ::testing::Test {
  protected:
    IniFilesTest()
        : exeDir_(dir_.Str() + "/exe/"),
          exeEnv_("DORVAN_EXE_DIR", exeDir_),
          dataEnv_("XDG_DATA_HOME", dir_.Str() + "/data"),
          sysEnv_("DORVAN_SYSCONFDIR", dir_.Str() + "/etc"),
          scope_(ui_) {
        std::filesystem::create_directories(exeDir_);
        Printers::SetProvider([] { return PrinterList{{"Laser", "Matrix", "PDF"}, "Laser"}; });
        MainTable() = TMainTable{};
    }
    ~IniFilesTest() override {
        Printers::SetProvider(nullptr);
        SetLangTextProvider(nullptr);
        MainTable() = TMainTable{};
    }

    std::string MachineDir() const { return GetMachineFolder(exeDir_); }
    std::string MachineFile() const { return MachineDir() + kMachineIniName; }
    std::string MainFile() const { return exeDir_ + kMainIniName; }

    ScratchDir dir_;
    std::string exeDir_;
    EnvVar exeEnv_;
    EnvVar dataEnv_;
    EnvVar sysEnv_;
    RecordingUi ui_;
    ScopedUiPort scope_;
};

TEST_F(IniFilesTest, MissingFilesLeaveTheRecordZeroed) {
    EXPECT_EQ(ReadIniFiles(), 1);
    const auto& mt = MainTable();
    EXPECT_EQ(mt.Host, "");
    EXPECT_EQ(mt.Port, "");
    EXPECT_EQ(mt.Protocol, "");
    EXPECT_EQ(mt.Nyomtatvany_sorkiemeles, 0);  // the colour rules do not run either
    EXPECT_EQ(mt.Bizonylat_sorkiemeles, 0);
    EXPECT_EQ(mt.BoritekHelye, 0);
    EXPECT_EQ(mt.SaveDir, "");
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ExecutableFolder(), exeDir_);
    EXPECT_EQ(Printers::Instance().SelectedName(), "Laser");
}

TEST_F(IniFilesTest, MainFileWithoutDataBaseSectionGivesDefaults) {
    WriteText(MainFile(), "[Sales]\nTestedVersion= 1.104 \n");
    EXPECT_EQ(ReadIniFiles(), 1);
    const auto& mt = MainTable();
    EXPECT_EQ(mt.TestedVersion, "1.104");
    EXPECT_EQ(mt.Host, "localhost");
    EXPECT_EQ(mt.Database, "Dorvan_Data");
    EXPECT_EQ(mt.Protocol, "postgresql-7.3");
    EXPECT_EQ(mt.User, "DorUser");
    EXPECT_EQ(mt.Password, "qzt731");
    EXPECT_EQ(mt.Port, "0");
}

TEST_F(IniFilesTest, MainFileValuesAreRead) {
    WriteText(MainFile(),
              "[database]\nhost=db.local\nDatabase=Ügyfél_Data\nProtocol=postgresql\n"
              "User=u'ser\nPassword=p w\nPort=5433\n");
    EXPECT_EQ(ReadIniFiles(), 1);
    const auto& mt = MainTable();
    EXPECT_EQ(mt.Host, "db.local");
    EXPECT_EQ(mt.Database, "Ügyfél_Data");
    EXPECT_EQ(mt.Protocol, "postgresql");
    EXPECT_EQ(mt.User, "u'ser");
    EXPECT_EQ(mt.Password, "p w");
    EXPECT_EQ(mt.Port, "5433");
    EXPECT_EQ(mt.TestedVersion, "");
}

TEST_F(IniFilesTest, MachineFileColoursAndDefaults) {
    struct Case {
        const char* name;
        const char* sales;
        int nyomtatvany;
        int bizonylat;
    };
    static constexpr Case kCases[] = {
        {"missing keys", "", kWhite, kWhite},
        {"stored zeros", "Nyomtatvany_sorkiemeles=0\nBizonylat_sorkiemeles=0\n", kWhite,
         kLightGrey},
        {"stored colours", "Nyomtatvany_sorkiemeles=255\nBizonylat_sorkiemeles=65280\n", 255,
         65280},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        MainTable() = TMainTable{};
        WriteText(MachineFile(), std::string("[Sales]\nPrinter=Matrix\n") + c.sales);
        EXPECT_EQ(ReadIniFiles(), 1);
        const auto& mt = MainTable();
        EXPECT_EQ(mt.Nyomtatvany_sorkiemeles, c.nyomtatvany);
        EXPECT_EQ(mt.Bizonylat_sorkiemeles, c.bizonylat);
        EXPECT_EQ(mt.BoritekHelye, 1);
        EXPECT_EQ(mt.BizPrint, 1);
        EXPECT_EQ(mt.BoritekTalca, 1);
        EXPECT_EQ(mt.Printer, "Matrix");
        EXPECT_EQ(mt.PrinterSzamla, "");
        EXPECT_EQ(mt.SaveDir, exeDir_ + "save");
        EXPECT_TRUE(std::filesystem::is_directory(exeDir_ + "save"));
        EXPECT_EQ(Printers::Instance().SelectedName(), "Matrix");
    }
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(IniFilesTest, MachineFileFromTheSystemFolderWhenAbsentPerMachine) {
    WriteText(dir_.Path() / "etc" / kMachineIniName, "[Sales]\nPrinterNyugta=Receipt\n");
    EXPECT_EQ(ReadIniFiles(), 1);
    EXPECT_EQ(MainTable().PrinterNyugta, "Receipt");
    // The per-machine copy, once there, wins.
    WriteText(MachineFile(), "[Sales]\nPrinterNyugta=Local\n");
    EXPECT_EQ(ReadIniFiles(), 1);
    EXPECT_EQ(MainTable().PrinterNyugta, "Local");
}

TEST_F(IniFilesTest, SaveDirRules) {
    const std::string existing = dir_.Str() + "/mysave";
    std::filesystem::create_directories(existing);
    WriteText(MachineFile(), "[Save_" + exeDir_ + "]\nSaveDir=" + existing + "\n");
    EXPECT_EQ(ReadIniFiles(), 1);
    EXPECT_EQ(MainTable().SaveDir, existing);

    WriteText(MachineFile(), "[Save_" + exeDir_ + "]\nSaveDir=" + dir_.Str() + "/gone\n");
    EXPECT_EQ(ReadIniFiles(), 1);
    EXPECT_EQ(MainTable().SaveDir, exeDir_ + "save");
    EXPECT_TRUE(std::filesystem::is_directory(exeDir_ + "save"));
}

TEST_F(IniFilesTest, NonNumericHelpPosLeftAbandonsTheMachineBlock) {
    MainTable().HelpPosTop = 77;
    MainTable().HelpMainWidth = 88;
    WriteText(MainFile(), "[DataBase]\nHost=h1\n");
    WriteText(MachineFile(),
              "[Sales]\nPrinter=Matrix\nBoritekHelye=3\n"
              "[Save_" +
                  exeDir_ +
                  "]\nSaveDir=/nowhere/at/all\n"
                  "[HelpWin]\nHelpPosLeft=left\nHelpPosTop=5\nHelpMainWidth=6\n");
    EXPECT_EQ(ReadIniFiles(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].caption, "Betöltés hiba");
    EXPECT_EQ(ui_.messages[0].text, MachineFile() + " fájl betöltése megszakadt!");
    const auto& mt = MainTable();
    EXPECT_EQ(mt.Host, "h1");                  // the main block is unaffected
    EXPECT_EQ(mt.BoritekHelye, 3);             // earlier keys kept
    EXPECT_EQ(mt.SaveDir, "/nowhere/at/all");  // read, but its rules did not run
    EXPECT_EQ(mt.HelpPosTop, 77);              // later keys keep their previous values
    EXPECT_EQ(mt.HelpMainWidth, 88);
    EXPECT_EQ(Printers::Instance().SelectedName(), "Matrix");  // the selection still runs
}

TEST_F(IniFilesTest, UnreadableMainFileNamesItAndGoesOn) {
    std::filesystem::create_directories(MainFile());  // a folder where the file should be
    WriteText(MachineFile(), "[Sales]\nPrinterSzamla=Inv\n");
    SetLangTextProvider([](const std::string& form, const std::string& key, const std::string&) {
        return form + "." + key;
    });
    EXPECT_EQ(ReadIniFiles(), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].caption, "All.betoltesi_hiba");
    EXPECT_EQ(ui_.messages[0].text, MainFile() + " fájl betöltése megszakadt!");
    EXPECT_EQ(MainTable().PrinterSzamla, "Inv");
}

TEST_F(IniFilesTest, NoPrinterWarnsThenFailsTheSelection) {
    Printers::SetProvider([] { return PrinterList{}; });
    EXPECT_THROW(ReadIniFiles(), PrinterError);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].caption, "Printer elérés hiba...");
}

TEST_F(IniFilesTest, WriteBackContent) {
    // Earlier files in the per-machine folder: other sections survive, erased ones go.
    WriteText(MachineDir() + kMainIniName,
              "[Sales]\nOld=1\nTestedVersion=0.9\n[DataBase]\nHost=old\n[Other]\nx=1\n");
    WriteText(MachineFile(),
              "[Sales]\nPrinter=Old\nCustom=kept\n[HelpWin]\nHelpMainHeight=500\nStray=1\n"
              "[Save]\nSaveDir=/old\n[Mine]\ny=2\n");
    auto& mt = MainTable();
    mt.TestedVersion = "1.105";
    mt.Host = "localhost";
    mt.Database = "Dorvan_Data";
    mt.Protocol = "postgresql-8";
    mt.User = "DorUser";
    mt.Password = "it's";
    mt.Port = "5432";
    mt.Printer = "Matrix";
    mt.PrinterNyugta = "R";
    mt.PrinterSzamla = "";
    mt.PrinterBoritek = "E";
    mt.BoritekHelye = 2;
    mt.BizPrint = 0;
    mt.BoritekTalca = 3;
    mt.Nyomtatvany_sorkiemeles = kWhite;
    mt.Bizonylat_sorkiemeles = kLightGrey;
    mt.HelpPosLeft = 10;
    mt.HelpPosTop = 20;
    mt.HelpWidth = 30;
    mt.HelpHeight = 40;
    mt.HelpMainWidth = 50;
    mt.HelpMainHeight = 60;
    mt.SaveDir = "/srv/save";
    ExecutableFolder() = exeDir_;
    EXPECT_EQ(WriteIniFiles(), 1);

    EXPECT_EQ(ReadText(MachineDir() + kMainIniName),
              "[DataBase]\nHost=localhost\nDatabase=Dorvan_Data\nProtocol=postgresql-8\n"
              "User=DorUser\nPassword=it's\nPort=5432\n[Other]\nx=1\n\n"
              "[Sales]\nTestedVersion=1.105\n");
    EXPECT_EQ(ReadText(MachineFile()),
              "[Sales]\nPrinter=Matrix\nCustom=kept\nPrinterNyugta=R\nPrinterSzamla=\n"
              "PrinterBoritek=E\nBoritekHelye=2\nBizPrint=0\nBoritekTalca=3\n"
              "Nyomtatvany_sorkiemeles=16777215\nBizonylat_sorkiemeles=15132390\n"
              "[Mine]\ny=2\n\n"
              "[HelpWin]\nHelpPosLeft=10\nHelpPosTop=20\nHelpWidth=30\nHelpHeight=40\n"
              "HelpMainWidth=50\n\n"
              "[Save_" +
                  exeDir_ + "]\nSaveDir=/srv/save\n");
    EXPECT_FALSE(IniFile(MachineFile()).ValueExists("HelpWin", "HelpMainHeight"));
    EXPECT_EQ(Printers::Instance().SelectedName(), "Matrix");
}

TEST_F(IniFilesTest, WriteThenReadRoundTrip) {
    std::filesystem::create_directories(exeDir_ + "save");
    auto& mt = MainTable();
    mt.Printer = "Matrix";
    mt.BoritekHelye = 0;  // a first run stores zeros ...
    mt.Nyomtatvany_sorkiemeles = 0;
    mt.Bizonylat_sorkiemeles = 0;
    mt.HelpMainWidth = 9;
    mt.HelpMainHeight = 9;
    mt.SaveDir = exeDir_ + "save";
    ExecutableFolder() = exeDir_;
    WriteIniFiles();
    EXPECT_TRUE(std::filesystem::is_directory(dir_.Str() + "/data/Norvello/Dorvan2007"));

    MainTable() = TMainTable{};
    EXPECT_EQ(ReadIniFiles(), 1);
    EXPECT_EQ(mt.Printer, "Matrix");
    EXPECT_EQ(mt.BoritekHelye, 0);
    EXPECT_EQ(mt.Nyomtatvany_sorkiemeles, kWhite);  // ... which the next read replaces
    EXPECT_EQ(mt.Bizonylat_sorkiemeles, kLightGrey);
    EXPECT_EQ(mt.HelpMainWidth, 9);
    EXPECT_EQ(mt.HelpMainHeight, 0);  // not written back
    EXPECT_EQ(mt.SaveDir, exeDir_ + "save");
}

TEST_F(IniFilesTest, WriteFailsWhenTheFolderCannotBeMade) {
    // A file where the per-user data folder should be: nothing can be created below it.
    EnvVar blocked("XDG_DATA_HOME", dir_.Str() + "/blocker");
    WriteText(dir_.Path() / "blocker", "x");
    EXPECT_THROW(WriteIniFiles(), ConfigError);
}

TEST_F(IniFilesTest, FoldedExecutableFolderSelectsTheMachineFiles) {
    // An installation in /opt/x/ (which need not exist here) keeps its machine settings in
    // .../Norvello/Dorvan2007/_opt_x_/.
    EnvVar exe("DORVAN_EXE_DIR", "/opt/x/");
    const std::string folder = dir_.Str() + "/data/Norvello/Dorvan2007/_opt_x_/";
    WriteText(folder + kMachineIniName, "[Sales]\nPrinter=Matrix\n");
    EXPECT_EQ(ReadIniFiles(), 1);
    EXPECT_EQ(ExecutableFolder(), "/opt/x/");
    EXPECT_EQ(MainTable().Printer, "Matrix");
    EXPECT_EQ(MainTable().SaveDir, "/opt/x/save");  // its creation failed silently
    EXPECT_TRUE(ui_.messages.empty());

    MainTable().Printer = "Laser";
    EXPECT_EQ(WriteIniFiles(), 1);
    const IniFile written(folder + kMachineIniName);
    EXPECT_EQ(written.ReadString("Sales", "Printer", ""), "Laser");
    EXPECT_EQ(written.ReadString("Save_/opt/x/", "SaveDir", ""), "/opt/x/save");
    EXPECT_TRUE(std::filesystem::exists(folder + kMainIniName));
}

// A configuration file that is a FIFO or a device is refused at once with the load message
// naming it; the other file is still read.
TEST_F(IniFilesTest, MainFileThatIsNotARegularFileIsRefused) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
    };
    const Case cases[] = {
        {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"device", [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); }},
    };
    WriteText(MachineFile(), "[Sales]\nPrinterSzamla=Inv\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(MainFile());
        c.make(MainFile());
        MainTable() = TMainTable{};
        ui_.messages.clear();
        EXPECT_EQ(ReadIniFiles(), 0);
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].text, MainFile() + " fájl betöltése megszakadt!");
        EXPECT_EQ(MainTable().Host, "");
        EXPECT_EQ(MainTable().PrinterSzamla, "Inv");
    }
}

// When the settings cannot be stored the error names the folder or file and the reason.
TEST_F(IniFilesTest, WriteFailureNamesTheFileAndTheReason) {
    // Each case blocks the per-machine folder (given with its trailing "/") in its own way.
    struct Case {
        const char* name;
        std::function<void(const std::string&)> block;
        std::function<std::string(const std::string&)> expected;
    };
    const Case cases[] = {
        {"file in place of the per-machine folder",
         [](const std::string& folder) {
             WriteText(std::filesystem::path(folder).parent_path(), "x");
         },
         [](const std::string& folder) {
             return "Cannot create the settings folder " + folder + ": ";
         }},
        {"folder in place of the main file",
         [](const std::string& folder) {
             std::filesystem::create_directories(folder + kMainIniName);
         },
         [](const std::string& folder) {
             return "Cannot write " + folder + kMainIniName + ": it is a folder";
         }},
        {"fifo in place of the machine file",
         [](const std::string& folder) {
             std::filesystem::create_directories(folder);
             ASSERT_EQ(::mkfifo((folder + kMachineIniName).c_str(), 0600), 0);
         },
         [](const std::string& folder) {
             return "Cannot write " + folder + kMachineIniName + ": not a regular file";
         }},
    };
    ExecutableFolder() = exeDir_;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir_.Path() / "data");
        c.block(MachineDir());
        try {
            WriteIniFiles();
            ADD_FAILURE() << "written";
        } catch (const IniWriteError& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with(c.expected(MachineDir()))) << e.what();
        }
    }
}

// Programs starting at the same moment read and write the settings files at once: every
// reader sees the whole file, so no value falls back to its default and is stored so; and
// no writer loses another's changes.
TEST_F(IniFilesTest, ParallelStartsNeverLoseSettings) {
    constexpr int kProcesses = 8;
    constexpr int kRounds = 15;
    std::filesystem::create_directories(exeDir_ + "save");
    auto& mt = MainTable();
    mt.Printer = "Matrix";
    mt.Bizonylat_sorkiemeles = 0;  // a first run stores zeros: the reader makes them grey
    mt.Nyomtatvany_sorkiemeles = 0;
    mt.HelpPosLeft = 10;
    mt.HelpMainWidth = 50;
    mt.SaveDir = exeDir_ + "save";
    mt.Host = "db.local";
    ExecutableFolder() = exeDir_;
    WriteIniFiles();

    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            try {
                for (int round = 0; round < kRounds && status == 0; ++round) {
                    MainTable() = TMainTable{};
                    ReadIniFiles();
                    const auto& read = MainTable();
                    if (read.Bizonylat_sorkiemeles != kLightGrey ||
                        read.Nyomtatvany_sorkiemeles != kWhite || read.HelpPosLeft != 10 ||
                        read.HelpMainWidth != 50 || read.Printer != "Matrix") {
                        status = 1;
                    }
                    WriteIniFiles();
                    IniFile(MachineFile()).WriteInteger("Run" + std::to_string(i), "n", round);
                }
            } catch (...) {
                status = 2;
            }
            ::_exit(status);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: a reader saw a part of the file, 2: an error";
    }
    const IniDocument stored = IniFile(MachineFile()).Snapshot();
    EXPECT_EQ(stored.ReadInteger("Sales", "Bizonylat_sorkiemeles", 0), kLightGrey);
    EXPECT_EQ(stored.ReadInteger("HelpWin", "HelpPosLeft", 0), 10);
    for (int i = 0; i < kProcesses; ++i)
        EXPECT_EQ(stored.ReadInteger("Run" + std::to_string(i), "n", -1), kRounds - 1) << i;
    // The main file holds the password: its owner's only.
    EXPECT_EQ(std::filesystem::status(MachineDir() + kMainIniName).permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// The connection's port: a number from 1 to 65535; 0 would mean the client library's
// default port, not the configured one.
TEST(ConfiguredPort, OnlyPortNumbersAreAccepted) {
    struct Case {
        const char* text;
        int port;  // 0: refused
    };
    static constexpr Case kCases[] = {
        {"5432", 5432}, {" 5433 ", 5433}, {"1", 1},     {"65535", 65535}, {"0", 0},
        {"-1", 0},      {"-5432", 0},     {"65536", 0}, {"", 0},          {"öt", 0},
        {"0x10", 0},    {"$10", 0},       {"+5432", 0}, {"54 32", 0},     {"99999999999", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        if (c.port != 0) {
            EXPECT_EQ(ConfiguredPort(c.text), c.port);
        } else {
            EXPECT_THROW(ConfiguredPort(c.text), ConversionError);
        }
    }
}

TEST(Folders, FoldingAndPerMachineFolder) {
    struct Case {
        const char* exe;
        const char* folded;
    };
    static constexpr Case kCases[] = {
        {"/opt/x/", "_opt_x_"},
        {"/opt/dorvan/", "_opt_dorvan_"},
        {"D:\\x\\", "D_x_"},
        {"C:\\Apps\\Stock\\", "C_Apps_Stock_"},
        {"/home/ő/bin/", "_home_ő_bin_"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.exe);
        EXPECT_EQ(FoldExeFolder(c.exe), c.folded);
    }
    ScratchDir dir;
    EnvVar data("XDG_DATA_HOME", dir.Str() + "/share/");
    EXPECT_EQ(GetMachineFolder("/opt/x/"), dir.Str() + "/share/Norvello/Dorvan2007/_opt_x_/");
    EXPECT_EQ(GetSpecialFolder(kCsidlLocalAppData), dir.Str() + "/share");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Str() + "/share"));
    EXPECT_EQ(GetSpecialFolder(12345), "");
}

TEST(Folders, EnvironmentOverrides) {
    {
        EnvVar exe("DORVAN_EXE_DIR", "/opt/x");
        EXPECT_EQ(GetExeFolder(), "/opt/x/");
    }
    {
        EnvVar exe("DORVAN_EXE_DIR", std::nullopt);
        const std::string folder = GetExeFolder();
        EXPECT_EQ(folder.back(), '/');
        EXPECT_TRUE(std::filesystem::exists(folder + GetExeFileName()));
    }
    {
        EnvVar home("HOME", "/home/someone");
        EnvVar data("XDG_DATA_HOME", std::nullopt);
        EnvVar sys("DORVAN_SYSCONFDIR", std::nullopt);
        EXPECT_EQ(GetWindowsFolder(), "/etc/dorvan/");
        EnvVar tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ(GetTempFolder(), "/var/tmp/");
    }
    EnvVar sys("DORVAN_SYSCONFDIR", "/srv/conf");
    EXPECT_EQ(GetWindowsFolder(), "/srv/conf/");
}

}  // namespace
}  // namespace dorvan
