// The window program's entry with the real start-up, and the command-line entry: whatever the
// start-up meets, the console opens (or the command line ends) with the reason in plain words.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/data_module_start.h"
#include "app/form1.h"
#include "datamodule/dm.h"
#include "startup_fixture.h"

namespace dorvan {
namespace {

using test::DatabaseName;
using test::EnvVar;
using test::Server;
using test::StartupTest;

using test::Contains;

app::DorvanApplication& Application() {
    static int argc = 1;
    static char name[] = "startup_entry_test";
    static char* argv[] = {name, nullptr};
    static app::DorvanApplication application(argc, argv);
    return application;
}

class EntryStartupTest : public StartupTest {
  protected:
    void SetUp() override { Application(); }

    // Runs the entry up to the message loop; returns the messages shown with the
    // application title as caption (the standard error box).
    std::vector<std::string> StartEntry(bool& consoleCreated, bool& connected) {
        app::ApplicationHooks hooks;
        hooks.createDataModule = app::StartDataModule;
        hooks.uiPort = &ui_;
        app::ApplicationObjects objects(hooks);
        consoleCreated = app::Form1() != nullptr && !ui_.TerminateRequested();
        connected = app::StartedDataModule() != nullptr &&
                    app::StartedDataModule()->ZConnection.Connected();
        std::vector<std::string> errors;
        for (const auto& m : ui_.messages) {
            if (m.caption == "Dorvan") {
                errors.push_back(m.text);
            }
        }
        return errors;
    }
};

TEST_F(EntryStartupTest, FailingCentralQueryStillOpensTheConsole) {
    test::EchoServer echo;
    ASSERT_TRUE(echo.Running());
    EnvVar web("DORVAN_WEB_SERVER", echo.Url());
    const std::string info = test::CreateInfoDatabase("entry", false);
    EnvVar infoDb("DORVAN_INFO_DATABASE", info);
    WriteMainIni(TestServerSection());

    bool console = false;
    bool connected = false;
    const auto errors = StartEntry(console, connected);
    EXPECT_TRUE(console);
    EXPECT_TRUE(connected);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(Contains(errors[0], "dv_2007_info")) << errors[0];
    EXPECT_EQ(app::StartedDataModule(), nullptr);  // released with the entry's objects
    test::DropDatabase(Server(), info);
}

TEST_F(EntryStartupTest, NoConfigurationFileSaysWhyItCannotConnect) {
    bool console = false;
    bool connected = false;
    const auto errors = StartEntry(console, connected);
    EXPECT_TRUE(console);
    EXPECT_FALSE(connected);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(Contains(errors[0], "Nem sikerült kapcsolódni az adatbázishoz")) << errors[0];
    EXPECT_TRUE(Contains(errors[0], "Dorvan.ini")) << errors[0];
    // The user was asked whether to go on trying, and the safe answer gave up.
    EXPECT_EQ(ui_.questions.size(), 1u);
}

TEST_F(EntryStartupTest, NoPrinterStillOpensTheConsole) {
    Printers::SetProvider([] { return PrinterList{}; });
    WriteMainIni(TestServerSection());
    bool console = false;
    bool connected = false;
    const auto errors = StartEntry(console, connected);
    EXPECT_TRUE(console);
    EXPECT_FALSE(connected);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "There is no default printer currently selected");
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages[0].caption, "Printer elérés hiba...");
}

// The command-line entry: exit status and one line.
struct CliRun {
    int status = -1;
    std::string output;
};

CliRun RunCli() {
    CliRun run;
    FILE* pipe = ::popen(DORVAN_CLI " 2>&1", "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string LastLine(const std::string& text) {
    std::string t = text;
    while (!t.empty() && t.back() == '\n') {
        t.pop_back();
    }
    return t.substr(t.rfind('\n') == std::string::npos ? 0 : t.rfind('\n') + 1);
}

TEST_F(EntryStartupTest, CommandLineReportsTheReasonInOneLine) {
    struct Case {
        const char* name;
        std::string port;
        std::string database;
        std::string password;
        const char* reason;
    };
    const std::string port = std::to_string(Server().port);
    const Case cases[] = {
        {"wrong password", port, DatabaseName(), "rossz", "hibás felhasználónév vagy jelszó"},
        {"unknown database", port, "nincs_ilyen", Server().password,
         "nincs ilyen adatbázis a szerveren"},
        {"server down", "9", DatabaseName(), Server().password,
         "az adatbázis-szerver nem érhető el"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto section = TestServerSection();
        section.port = c.port;
        section.database = c.database;
        section.password = c.password;
        WriteMainIni(section);
        const CliRun run = RunCli();
        EXPECT_EQ(run.status, 1) << run.output;
        const std::string last = LastLine(run.output);
        EXPECT_TRUE(Contains(last, "Nem sikerült kapcsolódni az adatbázishoz")) << run.output;
        EXPECT_TRUE(Contains(last, c.reason)) << run.output;
    }
}

TEST_F(EntryStartupTest, CommandLineConnects) {
    WriteMainIni(TestServerSection());
    const CliRun run = RunCli();
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(LastLine(run.output), "Kapcsolódva: " + Server().host + ":" +
                                        std::to_string(Server().port) + "/" + DatabaseName())
        << run.output;
}

}  // namespace
}  // namespace dorvan
