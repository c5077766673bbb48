#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/application.h"
#include "app/form1.h"
#include "app/progress_form.h"
#include "config/recording_ui.h"

namespace dorvan::app {
namespace {

// Records its creation and release together with what existed at that moment.
struct Probe {
    Probe(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {
        log_.push_back("create " + name_ + State());
    }
    ~Probe() { log_.push_back("release " + name_ + State()); }
    static std::string State() {
        std::string s = " [";
        s += Form1() ? "F" : "-";
        s += AboutBox() ? "A" : "-";
        s += (AboutBox() && AboutBox()->isVisible()) ? "v" : "-";
        s += Progress_Form() ? "P" : "-";
        return s + "]";
    }
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(Entry, CreatesInOrderAndReleasesInReverse) {
    RecordingUi ui;
    std::vector<std::string> log;
    ApplicationHooks hooks;
    hooks.uiPort = &ui;
    hooks.createReport = [&] { return AppObject(std::make_shared<Probe>(log, "report")); };
    hooks.createDataModule = [&] {
        Ui().IncProgress("Get IP address.");
        return AppObject(std::make_shared<Probe>(log, "DM"));
    };
    {
        ApplicationObjects objects(hooks);
        ASSERT_NE(Progress_Form(), nullptr);
        EXPECT_FALSE(Progress_Form()->isVisible());
        EXPECT_TRUE(AboutBox()->isVisible());
        EXPECT_EQ(AboutBox()->VerzioLabel->text(), "V1.105");
        EXPECT_FALSE(Form1()->isVisible());  // shown when the loop starts
    }
    const std::vector<std::string> expected = {
        "create report [FAv-]",  // console and visible splash exist, progress not yet
        "create DM [FAv-]",
        "release DM [FAv-]",  // the progress window is already gone
        "release report [FAv-]",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(ui.progress, std::vector<std::string>{"Get IP address."});
    EXPECT_EQ(Form1(), nullptr);
    EXPECT_EQ(AboutBox(), nullptr);
    EXPECT_EQ(Progress_Form(), nullptr);
}

TEST(Entry, FailingDataModuleStillOpensTheConsole) {
    RecordingUi ui;
    ApplicationHooks hooks;
    hooks.uiPort = &ui;
    hooks.createDataModule = []() -> AppObject {
        throw std::runtime_error("could not connect to server");
    };
    ApplicationObjects objects(hooks);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Dorvan");
    EXPECT_EQ(ui.messages[0].text, "could not connect to server");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(Progress_Form(), nullptr);  // the entry went on
}

TEST(Entry, TerminateRequestSkipsTheMessageLoop) {
    RecordingUi ui;
    ApplicationHooks hooks;
    hooks.uiPort = &ui;
    hooks.createDataModule = [] {
        Ui().RequestTerminate();
        return AppObject();
    };
    ApplicationObjects objects(hooks);
    EXPECT_EQ(objects.Run(), 0);  // returns at once
    EXPECT_FALSE(Form1()->isVisible());
}

TEST(Entry, CommandsReachTheConsole) {
    RecordingUi ui;
    int printed = 0;
    ApplicationHooks hooks;
    hooks.uiPort = &ui;
    hooks.printCommand = [&] { ++printed; };
    ApplicationObjects objects(hooks);
    Form1()->Button1Click();
    EXPECT_EQ(printed, 1);
}

TEST(Entry, QtPortDrivesTheProgressWindowAndTheCursor) {
    ApplicationHooks hooks;  // no port given: the program's own Qt port
    ApplicationObjects objects(hooks);
    Ui().ShowProgress("Első sor\r\nMásodik sor");
    EXPECT_TRUE(Progress_Form()->isVisible());
    EXPECT_EQ(Progress_Form()->Label_Fejresz->text(), QString::fromUtf8("Első sor\nMásodik sor"));
    Ui().DuckInit(40);
    Ui().DuckRepaint(30);
    EXPECT_EQ(Progress_Form()->ProgressBar->maximum(), 40);
    EXPECT_EQ(Progress_Form()->ProgressBar->value(), 30);
    Ui().HideProgress();
    EXPECT_FALSE(Progress_Form()->isVisible());
    {
        WaitCursor wait;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace dorvan::app
