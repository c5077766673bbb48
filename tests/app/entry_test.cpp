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
#include "datamodule/dm.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::app {
namespace {

// Which of the entry's windows exist ("F" console, "A" splash, "v" splash visible, "P"
// progress window).
std::string Windows() {
    std::string s = "[----]";
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (dynamic_cast<TForm1*>(w))
            s[1] = 'F';
        if (dynamic_cast<TAboutBox*>(w)) {
            s[2] = 'A';
            s[3] = w->isVisible() ? 'v' : s[3];
        }
        if (dynamic_cast<TProgress_Form*>(w))
            s[4] = 'P';
    }
    return s;
}

TEST(Entry, CreatesInOrderAndReleasesInReverse) {
    RecordingUi ui;
    std::vector<std::string> log;
    ApplicationOptions options;
    options.uiPort = &ui;
    options.startUp = [&](TDM&) {
        Ui().IncProgress("Get IP address.");
        log.push_back("start-up " + Windows());
    };
    {
        ApplicationObjects objects(options);
        log.push_back("running " + Windows());
        EXPECT_FALSE(objects.Progress_Form().isVisible());
        EXPECT_TRUE(objects.AboutBox().isVisible());
        EXPECT_EQ(objects.AboutBox().VerzioLabel->text(), "V1.105");
        EXPECT_FALSE(objects.Form1().isVisible());  // shown when the loop starts
        // The report is built on the run's data module.
        EXPECT_EQ(&objects.QuickRep_szamlabizonylat().Dm(), &objects.DM());
    }
    log.push_back("released " + Windows());
    const std::vector<std::string> expected = {
        "start-up [FAv-]",  // console and visible splash exist, progress not yet
        "running [FAvP]",
        "released [----]",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(ui.progress, std::vector<std::string>{"Get IP address."});
}

TEST(Entry, FailingDataModuleStillOpensTheConsole) {
    RecordingUi ui;
    ApplicationOptions options;
    options.uiPort = &ui;
    options.startUp = [](TDM&) { throw std::runtime_error("could not connect to server"); };
    ApplicationObjects objects(options);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Dorvan");
    EXPECT_EQ(ui.messages[0].text, "could not connect to server");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(Windows().find('P'), std::string::npos);  // the entry went on
}

TEST(Entry, TerminateRequestSkipsTheMessageLoop) {
    RecordingUi ui;
    ApplicationOptions options;
    options.uiPort = &ui;
    options.startUp = [](TDM&) { Ui().RequestTerminate(); };
    ApplicationObjects objects(options);
    EXPECT_EQ(objects.Run(), 0);  // returns at once
    EXPECT_FALSE(objects.Form1().isVisible());
}

TEST(Entry, CommandsReachTheConsole) {
    RecordingUi ui;
    int printed = 0;
    ApplicationOptions options;
    options.uiPort = &ui;
    options.startUp = [](TDM&) {};
    ApplicationObjects objects(options);
    EXPECT_TRUE(objects.Form1().printCommand);
    EXPECT_TRUE(objects.Form1().previewCommand);
    objects.Form1().printCommand = [&] { ++printed; };
    objects.Form1().Button1Click();
    EXPECT_EQ(printed, 1);
}

TEST(Entry, QtPortDrivesTheProgressWindowAndTheCursor) {
    ApplicationOptions options;  // no port given: the program's own Qt port
    options.startUp = [](TDM&) {};
    ApplicationObjects objects(options);
    Ui().ShowProgress("Első sor\r\nMásodik sor");
    EXPECT_TRUE(objects.Progress_Form().isVisible());
    EXPECT_EQ(objects.Progress_Form().Label_Fejresz->text(),
              QString::fromUtf8("Első sor\nMásodik sor"));
    Ui().DuckInit(40);
    Ui().DuckRepaint(30);
    EXPECT_EQ(objects.Progress_Form().ProgressBar->maximum(), 40);
    EXPECT_EQ(objects.Progress_Form().ProgressBar->value(), 30);
    Ui().HideProgress();
    EXPECT_FALSE(objects.Progress_Form().isVisible());
    {
        WaitCursor wait;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace dorvan::app
