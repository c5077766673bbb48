// The console's two buttons with the real start-up and the real invoice report: the print
// test writes racun.txt and copies it to the port, the preview opens modally, and a database
// error while the report opens shows the error box while the console stays usable.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/application.h"
#include "app/console_commands.h"
#include "app/form1.h"
#include "config/recording_ui.h"
#include "datamodule/dm.h"
#include "db/connection.h"
#include "print_cli_fixture.h"
#include "report/invoice/szamlabizonylat.h"
#include "support/db_params.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

// The application object of the console tests: made for the suite and released at its end
// (before the program's exit, where Qt's own objects are already gone).
std::unique_ptr<app::DorvanApplication> MakeApplication() {
    static int argc = 1;
    static char name[] = "console_commands_test";
    static char* argv[] = {name, nullptr};
    return std::make_unique<app::DorvanApplication>(argc, argv);
}

// The working folder of the process for one scope.
class CurrentFolder {
  public:
    explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~CurrentFolder() { fs::current_path(previous_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

  private:
    fs::path previous_;
};

class ConsoleCommandsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        application_ = MakeApplication();
        installation_ = std::make_unique<PrintInstallation>();
    }
    static void TearDownTestSuite() {
        installation_.reset();
        application_.reset();
    }

    ConsoleCommandsTest() : folder_(work_.Path()), port_("DORVAN_LPT1", PortPath()) {}

    void SetUp() override {
        ASSERT_TRUE(installation_->EchoRunning());
        app::ApplicationOptions options;
        options.uiPort = &ui_;
        objects_ = std::make_unique<app::ApplicationObjects>(options);
        ASSERT_TRUE(objects_->DM().ZConnection.Connected());
        ASSERT_TRUE(ErrorBoxes().empty()) << ErrorBoxes().front();
    }
    void TearDown() override { objects_.reset(); }

    std::string PortPath() const { return (work_.Path() / "lpt1").string(); }

    // Messages of the standard error box (caption: the application title).
    std::vector<std::string> ErrorBoxes() const {
        std::vector<std::string> texts;
        for (const auto& m : ui_.messages) {
            if (m.caption == "Dorvan") {
                texts.push_back(m.text);
            }
        }
        return texts;
    }

    static std::unique_ptr<app::DorvanApplication> application_;
    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
    CurrentFolder folder_;
    EnvVar port_;
    RecordingUi ui_;
    std::unique_ptr<app::ApplicationObjects> objects_;
};

std::unique_ptr<app::DorvanApplication> ConsoleCommandsTest::application_;
std::unique_ptr<PrintInstallation> ConsoleCommandsTest::installation_;

TEST_F(ConsoleCommandsTest, PrintTestWritesRacunAndCopiesItToThePort) {
    WriteText(PortPath(), std::string(50000, 'x'));
    objects_->Form1().Button1->click();
    EXPECT_TRUE(ErrorBoxes().empty()) << ErrorBoxes().front();
    const std::string text = ReadText(work_.Path() / "racun.txt");
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("V\xE9g\xF6sszesen:"), std::string::npos);
    EXPECT_EQ(ReadText(PortPath()), text);
    EXPECT_EQ(objects_->QuickRep_szamlabizonylat().selection.fej_kod, 4317);

    // Pressed again: overwritten and copied again.
    WriteText(work_.Path() / "racun.txt", "old");
    WriteText(PortPath(), "old");
    objects_->Form1().Button1->click();
    EXPECT_EQ(ReadText(work_.Path() / "racun.txt"), text);
    EXPECT_EQ(ReadText(PortPath()), text);
}

TEST_F(ConsoleCommandsTest, PrintTestWithoutAPortIsSilent) {
    const EnvVar noPort("DORVAN_LPT1", (work_.Path() / "missing" / "lpt1").string());
    objects_->Form1().Button1->click();
    EXPECT_TRUE(ErrorBoxes().empty());
    EXPECT_FALSE(ReadText(work_.Path() / "racun.txt").empty());
    EXPECT_FALSE(fs::exists(work_.Path() / "missing"));
}

TEST_F(ConsoleCommandsTest, PreviewOpensModallyAndReturnsWhenClosed) {
    QString seen;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && ++ticks == 5) {  // left open a moment to settle
            seen = modal->metaObject()->className();
            // A picture of the preview for the eye, when a folder is named for it.
            if (const char* dir = std::getenv("DORVAN_SCREENSHOT_DIR")) {
                modal->grab().save(QString::fromUtf8(dir) + "/console_preview.png");
            }
            modal->close();
        }
    });
    timer.start();
    objects_->Form1().show();  // as in a run: the console is on screen
    objects_->Form1().Button2->click();
    timer.stop();
    EXPECT_TRUE(ErrorBoxes().empty()) << ErrorBoxes().front();
    EXPECT_FALSE(seen.isEmpty()) << "no modal preview was opened";
    EXPECT_EQ(objects_->QuickRep_szamlabizonylat().selection.fej_kod, 4317);
    EXPECT_FALSE(fs::exists(work_.Path() / "racun.txt"));
}

TEST_F(ConsoleCommandsTest, DatabaseErrorShowsTheErrorBoxAndTheConsoleStaysUsable) {
    WriteText(PortPath(), "before");
    RunScript(Server(), DatabaseName(),
              "SET lock_timeout = '10s'; ALTER TABLE raktar_mozgas_fej RENAME TO rmf_away");
    objects_->Form1().Button1->click();
    RunScript(Server(), DatabaseName(),
              "SET lock_timeout = '10s'; ALTER TABLE rmf_away RENAME TO raktar_mozgas_fej");

    const auto errors = ErrorBoxes();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("raktar_mozgas_fej"), std::string::npos) << errors[0];
    EXPECT_EQ(ReadText(PortPath()), "before") << "no copy after a failed export";

    // The console goes on: the next press prints.
    objects_->Form1().Button1->click();
    EXPECT_EQ(ErrorBoxes().size(), 1u);
    const std::string text = ReadText(work_.Path() / "racun.txt");
    EXPECT_NE(text.find("V\xE9g\xF6sszesen:"), std::string::npos);
    EXPECT_EQ(ReadText(PortPath()), text);
}

// Ends every other session on the test database, as a restart of the server does, and waits
// until they are gone.
void TerminateOtherSessions() {
    db::Connection admin("admin");
    admin.SetParams(DatabaseParams());
    admin.Connect();
    const std::string others =
        " FROM pg_stat_activity WHERE datname = current_database() AND pid <> pg_backend_pid()";
    admin.Execute("SELECT pg_terminate_backend(pid)" + others);
    for (int i = 0; i < 250; ++i) {
        if (admin.Execute("SELECT count(*)" + others).Text(0, 0) == "0")
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "the sessions did not end";
}

// New connections to the test database refused for one scope (allowed again at its end).
class RefusedConnections {
  public:
    RefusedConnections() { Allow(false); }
    ~RefusedConnections() { Allow(true); }
    RefusedConnections(const RefusedConnections&) = delete;
    RefusedConnections& operator=(const RefusedConnections&) = delete;

  private:
    static void Allow(bool allow) {
        RunScript(Server(), "postgres",
                  "ALTER DATABASE \"" + DatabaseName() + "\" ALLOW_CONNECTIONS " +
                      (allow ? "true" : "false"));
    }
};

TEST_F(ConsoleCommandsTest, SessionsEndedByTheServerAreReopenedBeforeTheNextCommand) {
    TerminateOtherSessions();
    objects_->Form1().Button1->click();
    EXPECT_TRUE(ErrorBoxes().empty()) << ErrorBoxes().front();
    const std::string text = ReadText(work_.Path() / "racun.txt");
    EXPECT_NE(text.find("V\xE9g\xF6sszesen:"), std::string::npos);
    EXPECT_NE(text.find("SZ2026/0000002"), std::string::npos);  // the number of 4317
    // Each of the module's open connections is usable again.
    TDM& dm = objects_->DM();
    for (db::Connection* c :
         {&dm.ZConnection, &dm.ZConnection_nonAutoCommit, &dm.ZConnection_behind}) {
        SCOPED_TRACE(c->Name());
        EXPECT_TRUE(c->Connected());
        EXPECT_EQ(c->Execute("SELECT 1").Text(0, 0), "1");
    }
    EXPECT_FALSE(dm.ZConnection_info.Connected());  // closed after the start-up, stays closed

    // The preview after another restart works as well.
    TerminateOtherSessions();
    QTimer::singleShot(200, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    objects_->Form1().Button2->click();
    EXPECT_TRUE(ErrorBoxes().empty()) << ErrorBoxes().front();
}

TEST_F(ConsoleCommandsTest, ConnectionThatCannotBeReopenedIsToldAsLost) {
    {
        TerminateOtherSessions();
        const RefusedConnections refused;
        objects_->Form1().Button1->click();
        objects_->Form1().Button2->click();
    }
    const auto errors = ErrorBoxes();
    ASSERT_EQ(errors.size(), 2u);
    for (const std::string& error : errors) {
        EXPECT_EQ(error.rfind("Megszakadt a kapcsolat az adatbázissal (" + Server().host + ":" +
                                  std::to_string(Server().port) + "/" + DatabaseName() +
                                  "), és nem sikerült újra kapcsolódni: ",
                              0),
                  0u)
            << error;
        EXPECT_EQ(error.find("racun.txt"), std::string::npos) << error;
    }
    EXPECT_FALSE(fs::exists(work_.Path() / "racun.txt"));

    // The server takes connections again: the next command reconnects and prints.
    objects_->Form1().Button1->click();
    EXPECT_EQ(ErrorBoxes().size(), 2u) << ErrorBoxes().back();
    EXPECT_NE(ReadText(work_.Path() / "racun.txt").find("V\xE9g\xF6sszesen:"), std::string::npos);
}

// "Újra próbálja a kapcsolódást?" -> yes after a wrong password reads Dorvan.ini again: the
// password mended meanwhile connects, and the console prints.
TEST_F(ConsoleCommandsTest, WrongPasswordMendedInTheConfigurationConnectsOnYes) {
    objects_.reset();
    ui_.messages.clear();
    struct RestoreIni {
        ~RestoreIni() { installation_->WriteMainIni(Server().password); }
    } restore;
    installation_->WriteMainIni("nem-ez-az");
    ui_.answers = {true};
    ui_.onQuestion = [](const RecordingUi::Question&) {
        installation_->WriteMainIni(Server().password);
    };
    app::ApplicationOptions options;
    options.uiPort = &ui_;
    options.startUp = [](TDM& dm) {
        dm.ConnectRetry.attempts = 1;
        dm.DataModuleCreate();
    };
    objects_ = std::make_unique<app::ApplicationObjects>(options);
    ASSERT_EQ(ui_.questions.size(), 1u);
    EXPECT_NE(ui_.questions[0].text.find("hibás felhasználónév vagy jelszó"), std::string::npos)
        << ui_.questions[0].text;
    EXPECT_NE(ui_.questions[0].text.find("Újra próbálja a kapcsolódást?"), std::string::npos);
    ASSERT_TRUE(objects_->DM().ZConnection.Connected());
    EXPECT_TRUE(ErrorBoxes().empty()) << ErrorBoxes().front();
    objects_->Form1().Button1->click();
    EXPECT_TRUE(ErrorBoxes().empty()) << ErrorBoxes().front();
    EXPECT_NE(ReadText(work_.Path() / "racun.txt").find("V\xE9g\xF6sszesen:"), std::string::npos);
}

TEST(CopyFileToPortTest, CopiesByteForByteAndFailsSilently) {
    const ScratchDir dir;
    const fs::path source = dir.Path() / "racun.txt";
    std::string bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes += static_cast<char>(i % 256);
    }
    WriteText(source, bytes);
    struct Case {
        const char* name;
        fs::path source;
        fs::path target;
        bool ok;
    };
    const Case cases[] = {
        {"new file", source, dir.Path() / "port", true},
        {"existing longer file is cut", source, dir.Path() / "long", true},
        {"missing source", dir.Path() / "none.txt", dir.Path() / "port2", false},
        {"missing folder", source, dir.Path() / "none" / "port", false},
        {"missing device is not created", source, "/dev/dorvan-no-such-port", false},
    };
    WriteText(dir.Path() / "long", std::string(300000, 'x'));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(app::CopyFileToPort(c.source.string(), c.target.string()), c.ok);
        if (c.ok) {
            EXPECT_EQ(ReadText(c.target), bytes);
        } else {
            EXPECT_FALSE(fs::exists(c.target));
        }
    }
    EXPECT_TRUE(app::CopyFileToPort(source.string(), "/dev/null"));
}

TEST(Lpt1DevicePathTest, DefaultAndOverride) {
    {
        const EnvVar unset("DORVAN_LPT1", std::nullopt);
        EXPECT_EQ(app::Lpt1DevicePath(), "/dev/lp0");
    }
    {
        const EnvVar empty("DORVAN_LPT1", "");
        EXPECT_EQ(app::Lpt1DevicePath(), "/dev/lp0");
    }
    const EnvVar set("DORVAN_LPT1", "/dev/usb/lp1");
    EXPECT_EQ(app::Lpt1DevicePath(), "/dev/usb/lp1");
}

}  // namespace
}  // namespace dorvan::test
