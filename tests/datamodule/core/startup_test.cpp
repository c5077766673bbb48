// The start-up sequence of the data module against the test server.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/config_error.h"
#include "config/version.h"
#include "datamodule/core/connect_failure.h"
#include "datamodule/silent_abort.h"
#include "db/errors.h"
#include "startup_fixture.h"
#include "support/db_params.h"

namespace dorvan {
namespace {

using test::DatabaseName;
using test::EnvVar;
using test::Server;
using test::StartupTest;

using test::Contains;

TEST_F(StartupTest, ConnectsOpensTheQueriesAndWritesTheSettingsBack) {
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    dm->DataModuleCreate();

    EXPECT_TRUE(dm->ZConnection.Connected());
    EXPECT_TRUE(dm->ZConnection_nonAutoCommit.Connected());
    EXPECT_TRUE(dm->ZConnection_behind.Connected());
    EXPECT_FALSE(dm->ZConnection_info.Connected());
    EXPECT_TRUE(dm->TulajdonosZQuery.Active());
    EXPECT_TRUE(dm->TesztZQuery.Active());
    EXPECT_TRUE(dm->Raktar_mozgas_fejZQuery.Active());
    EXPECT_TRUE(dm->Raktar_mozgas_fejZQuery.IsEmpty());  // no key given yet
    EXPECT_FALSE(ui_.TerminateRequested());
    EXPECT_EQ(ui_.waitCursorDepth, 0);

    const std::vector<std::string> progress = {
        "Get IP address.",
        "Connect to database. [" + Server().host + ":" + DatabaseName() + "]",
        "Update scripts.",
        "Open all datatable.",
        "Self test is runing.",
    };
    EXPECT_EQ(ui_.progress, progress);
    // Every query reported itself as the splash table line, which ends cleared.
    for (const char* name : {"TulajdonosZQuery", "TesztZQuery", "Raktar_mozgas_fejZQuery"}) {
        EXPECT_NE(std::find(ui_.tableNames.begin(), ui_.tableNames.end(), name),
                  ui_.tableNames.end())
            << name;
    }
    EXPECT_EQ(ui_.tableNames.back(), "");

    // No public address: the warning, and no central version.
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].caption, "Dorvan dialog");
    EXPECT_EQ(ui_.messages[0].text,
              "Valószínűleg nincs internet kapcsolat!\r"
              "A program egyes részfunkciói korlátozásra kerülnek!");
    EXPECT_FALSE(MainTable().InternetOK);
    EXPECT_EQ(MainTable().LastVersion, "");

    // The settings that worked are recorded in the per-machine folder.
    const IniFile written = WrittenMainIni();
    ASSERT_TRUE(written.Exists());
    EXPECT_EQ(written.ReadString("DataBase", "Host", "?"), Server().host);
    EXPECT_EQ(written.ReadString("DataBase", "Port", "?"), std::to_string(Server().port));
    EXPECT_EQ(written.ReadString("DataBase", "Database", "?"), DatabaseName());
}

TEST_F(StartupTest, ProtocolIsNormalisedAndStoredBack) {
    struct Case {
        const char* configured;
        const char* stored;
    };
    static constexpr Case kCases[] = {
        {"postgresql-7.3", "postgresql-8"},
        {"postgresql-7", "postgresql-7"},
        {"postgresql", "postgresql"},
        {"postgresql-8", "postgresql-8"},
        {"PostgreSQL-8", "postgresql-8"},  // the names are compared exactly
        {"", "postgresql-8"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.configured);
        auto section = TestServerSection();
        section.protocol = c.configured;
        WriteMainIni(section);
        auto dm = NewDm();
        dm->DataModuleCreate();
        EXPECT_TRUE(dm->ZConnection.Connected());
        EXPECT_EQ(MainTable().Protocol, c.stored);
        EXPECT_EQ(WrittenMainIni().ReadString("DataBase", "Protocol", "?"), c.stored);
    }
}

TEST_F(StartupTest, LocalHostForcesPort5432WithoutAskingForThePublicAddress) {
    test::WatchedPort web;
    EnvVar webEnv("DORVAN_WEB_SERVER", web.Url());
    for (const char* host : {"LocalHost", "localhost", "LOCALHOST"}) {
        SCOPED_TRACE(host);
        ui_.messages.clear();
        auto section = TestServerSection();
        section.host = host;
        section.port = "6543";
        WriteMainIni(section);
        auto dm = NewDm();
        try {
            dm->DataModuleCreate();
        } catch (const std::exception&) {
            // Whether a server answers on localhost:5432 does not matter here.
        }
        EXPECT_EQ(MainTable().Host, "localhost");
        EXPECT_EQ(MainTable().Port, "5432");
        EXPECT_EQ(MainTable().CurrentIP, "localhost");
        EXPECT_FALSE(MainTable().InternetOK);
        EXPECT_EQ(dm->ZConnection.Params().port, 5432);
        EXPECT_EQ(dm->ZConnection.Params().host, "localhost");
        for (const auto& m : ui_.messages) {
            EXPECT_FALSE(Contains(m.text, "internet")) << m.text;
        }
        EXPECT_FALSE(web.Contacted()) << "the public-address page was asked";
    }
}

// A connection that cannot be made ends after the bounded attempts with one clear line;
// the user is asked once per round of attempts and nothing is written back.
TEST_F(StartupTest, ConnectionFailuresEndWithTheirReason) {
    struct Case {
        const char* name;
        std::string port;
        std::string database;
        std::string password;
        ConnectFailureReason reason;
        const char* text;
    };
    const std::string port = std::to_string(Server().port);
    const Case cases[] = {
        {"wrong password", port, DatabaseName(), "nem-ez-az", ConnectFailureReason::WrongPassword,
         "hibás felhasználónév vagy jelszó"},
        {"unknown database", port, "nincs_ilyen_adatbazis", Server().password,
         ConnectFailureReason::UnknownDatabase, "nincs ilyen adatbázis a szerveren"},
        {"server down", "9", DatabaseName(), Server().password, ConnectFailureReason::ServerDown,
         "az adatbázis-szerver nem érhető el"},
        {"port not a number", "öt", DatabaseName(), Server().password,
         ConnectFailureReason::BadPort, "a megadott port nem szám"},
        // 0 or less would silently select the client library's default port.
        {"port zero", "0", DatabaseName(), Server().password, ConnectFailureReason::BadPort,
         "a megadott port nem szám"},
        {"negative port", "-" + port, DatabaseName(), Server().password,
         ConnectFailureReason::BadPort, "a megadott port nem szám"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui_.questions.clear();
        ui_.answers = {true};  // one more round, then the safe default: give up
        auto section = TestServerSection();
        section.port = c.port;
        section.database = c.database;
        section.password = c.password;
        WriteMainIni(section);
        auto dm = NewDm();
        try {
            dm->DataModuleCreate();
            ADD_FAILURE() << "connected";
        } catch (const ConnectGiveUp& e) {
            EXPECT_EQ(e.Reason(), c.reason);
            const std::string message = e.what();
            EXPECT_TRUE(Contains(message, "Nem sikerült kapcsolódni az adatbázishoz (" +
                                              Server().host + ":" + c.port + "/" + c.database +
                                              "): " + c.text))
                << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
        EXPECT_EQ(ui_.questions.size(), 2u);
        EXPECT_FALSE(dm->ZConnection.Connected());
        EXPECT_FALSE(WrittenMainIni().Exists());
        EXPECT_EQ(ui_.waitCursorDepth, 0);
    }
}

// Without any configuration file the start-up ends quickly and says there is nothing to
// connect to, naming the file it looked for (and a $DORVAN_EXE_DIR that does not exist).
TEST_F(StartupTest, MissingConfigurationSaysSo) {
    struct Case {
        const char* name;
        std::string exeDir;
        bool missingFolder;
    };
    const Case cases[] = {
        {"no Dorvan.ini", exeDir_, false},
        {"no such executable folder", exeDir_ + "nincs-ilyen/", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const EnvVar exeEnv("DORVAN_EXE_DIR", c.exeDir);
        MainTable() = TMainTable{};
        auto dm = NewDm();
        try {
            dm->DataModuleCreate();
            ADD_FAILURE() << "connected";
        } catch (const ConnectGiveUp& e) {
            const std::string message = e.what();
            EXPECT_EQ(e.Reason(), ConnectFailureReason::NoSettings);
            EXPECT_TRUE(
                Contains(message, "hiányzó vagy hiányos Dorvan.ini: " + c.exeDir + "Dorvan.ini"))
                << message;
            EXPECT_FALSE(Contains(message, "(:/)")) << message;
            EXPECT_EQ(Contains(message, "DORVAN_EXE_DIR mappája nem létezik: " + c.exeDir),
                      c.missingFolder)
                << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
        EXPECT_FALSE(dm->ZConnection.Connected());
    }
}

// "localhost" always means port 5432: a failure there names the port the file asked for and
// suggests 127.0.0.1; a port that is 5432 anyway (or none) gets no such note.
TEST_F(StartupTest, LocalHostFailureExplainsThePortRule) {
    struct Case {
        const char* port;
        bool note;
    };
    static constexpr Case kCases[] = {{"6543", true}, {"5432", false}, {"0", false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.port);
        auto section = TestServerSection();
        section.host = "localhost";
        section.port = c.port;
        section.database = "nincs_ilyen_adatbazis";  // fails on whatever answers at 5432
        WriteMainIni(section);
        auto dm = NewDm();
        try {
            dm->DataModuleCreate();
            ADD_FAILURE() << "connected";
        } catch (const ConnectGiveUp& e) {
            const std::string message = e.what();
            EXPECT_TRUE(Contains(message, "(localhost:5432/nincs_ilyen_adatbazis)")) << message;
            EXPECT_EQ(Contains(message,
                               "a Host=localhost mindig az 5432-es portot jelenti, a "
                               "beállított Port=6543 ilyenkor nem számít: más porthoz "
                               "a Host=127.0.0.1 beállítást adja meg"),
                      c.note)
                << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
    }
}

// "Újra próbálja?" -> yes reads the configuration files again: a password mended meanwhile
// is used by the next round of attempts.
TEST_F(StartupTest, RetryReadsTheMendedConfiguration) {
    auto section = TestServerSection();
    section.password = "nem-ez-az";
    WriteMainIni(section);
    ui_.answers = {true};
    ui_.onQuestion = [this](const RecordingUi::Question&) { WriteMainIni(TestServerSection()); };
    auto dm = NewDm();
    dm->DataModuleCreate();
    EXPECT_TRUE(dm->ZConnection.Connected());
    ASSERT_EQ(ui_.questions.size(), 1u);
    EXPECT_TRUE(Contains(ui_.questions[0].text, "hibás felhasználónév vagy jelszó"))
        << ui_.questions[0].text;
    EXPECT_EQ(MainTable().Password, Server().password);
    EXPECT_EQ(WrittenMainIni().ReadString("DataBase", "Password", "?"), Server().password);
}

// Settings that cannot be stored end the start-up at once with the file and the reason,
// not as a failed connection after every attempt.
TEST_F(StartupTest, UnwritableSettingsFolderIsNamedWithItsReason) {
    WriteMainIni(TestServerSection());
    const std::string folder = GetMachineFolder(exeDir_);
    test::WriteText(std::filesystem::path(folder).parent_path(), "not a folder");
    auto dm = NewDm();
    try {
        dm->DataModuleCreate();
        ADD_FAILURE() << "started";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(
            std::string(e.what()).rfind("Cannot create the settings folder " + folder + ": ", 0),
            0u)
            << e.what();
    }
    EXPECT_TRUE(ui_.questions.empty());
    EXPECT_FALSE(dm->ZConnection.Connected());
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

TEST_F(StartupTest, NoPrinterEndsTheSequenceBeforeConnecting) {
    Printers::SetProvider([] { return PrinterList{}; });
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    EXPECT_THROW(dm->DataModuleCreate(), PrinterError);
    EXPECT_FALSE(dm->ZConnection.Connected());
    EXPECT_TRUE(ui_.progress.empty());
}

TEST_F(StartupTest, ConnectedDesignTimeConnectionEndsTheProgram) {
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    dm->ZConnection.SetParams(test::DatabaseParams());
    dm->ZConnection.Connect();

    dm->DataModuleCreate();
    EXPECT_FALSE(dm->ZConnection.Connected());
    EXPECT_TRUE(ui_.TerminateRequested());
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages.back().text, "ZConnection.Connected default !!!!!!!!!!");
    EXPECT_EQ(ui_.messages.back().caption, "Dorvan dialog");
    EXPECT_FALSE(dm->TesztZQuery.Active());
}

TEST_F(StartupTest, FailingQueryEndsTheProgramSilently) {
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    db::Query broken(dm->ZConnection, "BrokenSQL");
    broken.SetSql({"select * from nincs_ilyen_tabla"});
    dm->RegisterQuery(broken);

    EXPECT_THROW(dm->DataModuleCreate(), SilentAbort);
    EXPECT_TRUE(ui_.TerminateRequested());
    EXPECT_FALSE(dm->ZConnection.Connected());
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages.back().caption, "Error");  // the query's own error box
}

TEST_F(StartupTest, HooksRunAtTheirSteps) {
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    std::vector<std::string> steps;
    dm->OnClearUserCache = [&] { steps.push_back("cache:" + MainTable().Host); };
    dm->OnQueryingUpdateScript = [&] {
        steps.push_back(std::string("scripts:") +
                        (dm->ZConnection_behind.Connected() ? "behind" : "-"));
    };
    dm->OnStartupChecks = [&] {
        steps.push_back(std::string("checks:") + (dm->TesztZQuery.Active() ? "open" : "-"));
    };
    dm->DataModuleCreate();
    const std::vector<std::string> expected = {"cache:", "scripts:behind", "checks:open"};
    EXPECT_EQ(steps, expected);
}

// An update step that gives up disconnects: the sequence stops before the central service
// and the queries, without a message of its own.
TEST_F(StartupTest, UpdateStepThatDisconnectsEndsTheSequence) {
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    bool checksRan = false;
    dm->OnQueryingUpdateScript = [&] {
        dm->ZConnection.Disconnect();
        ui_.RequestTerminate();
    };
    dm->OnStartupChecks = [&] { checksRan = true; };
    dm->DataModuleCreate();
    EXPECT_FALSE(checksRan);
    EXPECT_FALSE(dm->Raktar_mozgas_fejZQuery.Active());
    EXPECT_TRUE(ui_.TerminateRequested());
    EXPECT_EQ(ui_.progress.back(), "Update scripts.");
}

class CentralVersionTest : public StartupTest {
  protected:
    void SetUp() override { ASSERT_TRUE(echo_.Running()) << "loopback HTTP server did not start"; }
    test::EchoServer echo_;
    EnvVar web_{"DORVAN_WEB_SERVER", echo_.Url()};
};

TEST_F(CentralVersionTest, VersionRowIsReadWhenTheInternetAnswers) {
    const std::string info = test::CreateInfoDatabase("read", true, "1.99");
    EnvVar infoDb("DORVAN_INFO_DATABASE", info);
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    dm->DataModuleCreate();
    EXPECT_TRUE(MainTable().InternetOK);
    EXPECT_EQ(MainTable().CurrentIP, "203.0.113.7");
    EXPECT_EQ(MainTable().LastVersion, "1.99");
    EXPECT_FALSE(dm->ZConnection_info.Connected());
    EXPECT_TRUE(ui_.messages.empty());
    test::DropDatabase(Server(), info);
}

// The reference workstation moves the central row to its own version, but only upwards
// (compared as text).
TEST_F(CentralVersionTest, ReferenceWorkstationRaisesTheCentralVersion) {
    const std::string own = GetVersionString();
    ASSERT_FALSE(own.empty());
    struct Case {
        const char* stored;
        std::string expected;
    };
    const Case cases[] = {{"1.0", own}, {"9.99", "9.99"}};
    EnvVar reference("DORVAN_REFERENCE_IP", "203.0.113.7");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::string info = test::CreateInfoDatabase("ref", true, c.stored);
        EnvVar infoDb("DORVAN_INFO_DATABASE", info);
        WriteMainIni(TestServerSection());
        auto dm = NewDm();
        dm->DataModuleCreate();
        EXPECT_EQ(MainTable().LastVersion, c.expected);
        dm.reset();
        test::DropDatabase(Server(), info);
    }
}

TEST_F(CentralVersionTest, BrandDatabaseShowsTheBrandVersion) {
    const std::string info = test::CreateInfoDatabase("brand", true, "3.45");
    EnvVar infoDb("DORVAN_INFO_DATABASE", info);
    test::CreateDatabase(Server(), "Orvelle_Data", true, false);
    auto section = TestServerSection();
    section.database = "Orvelle_Data";
    WriteMainIni(section);
    auto dm = NewDm();
    dm->DataModuleCreate();
    EXPECT_EQ(MainTable().LastVersion, "1.45");
    dm.reset();
    test::DropDatabase(Server(), "Orvelle_Data");
    test::DropDatabase(Server(), info);
}

// A central service without its table: the sequence ends at that step with the server's
// message; the local connections stay, the module's queries are not opened.
TEST_F(CentralVersionTest, FailingCentralQueryEndsTheSequenceThere) {
    const std::string info = test::CreateInfoDatabase("broken", false);
    EnvVar infoDb("DORVAN_INFO_DATABASE", info);
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    bool checksRan = false;
    dm->OnStartupChecks = [&] { checksRan = true; };
    try {
        dm->DataModuleCreate();
        ADD_FAILURE() << "no error";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(Contains(e.what(), "dv_2007_info")) << e.what();
    }
    EXPECT_TRUE(dm->ZConnection.Connected());
    EXPECT_FALSE(dm->ZConnection_info.Connected());
    EXPECT_FALSE(dm->Raktar_mozgas_fejZQuery.Active());
    EXPECT_FALSE(checksRan);
    EXPECT_EQ(ui_.progress.back(), "Update scripts.");
    EXPECT_EQ(ui_.waitCursorDepth, 0);
    dm.reset();
    test::DropDatabase(Server(), info);
}

TEST_F(CentralVersionTest, UnreachableCentralServiceEndsTheSequenceThere) {
    EnvVar infoPort("DORVAN_INFO_PORT", "9");
    WriteMainIni(TestServerSection());
    auto dm = NewDm();
    EXPECT_THROW(dm->DataModuleCreate(), db::ConnectionFailure);
    EXPECT_TRUE(dm->ZConnection.Connected());
    EXPECT_FALSE(dm->Raktar_mozgas_fejZQuery.Active());
}

}  // namespace
}  // namespace dorvan
