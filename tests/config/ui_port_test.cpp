#include "config/ui_port.h"

#include <gtest/gtest.h>

#include "config/recording_ui.h"

namespace dorvan {
namespace {

TEST(UiPort, ConsoleAnswersWithTheSafeDefault) {
    ConsoleUi console;
    EXPECT_TRUE(console.AskYesNo("Dorvan", "Frissíti az adatbázist?", true));
    EXPECT_FALSE(console.AskYesNo("Dorvan", "Törli?", false));
}

TEST(UiPort, ScopedInstallRestoresThePreviousPort) {
    UiPort* outer = &Ui();
    RecordingUi first;
    {
        ScopedUiPort a(first);
        EXPECT_EQ(&Ui(), &first);
        RecordingUi second;
        {
            ScopedUiPort b(second);
            Ui().ShowMessage("c", "t", MessageIcon::Warning);
            EXPECT_EQ(second.messages.size(), 1u);
        }
        EXPECT_EQ(&Ui(), &first);
        {
            WaitCursor wait;
            EXPECT_EQ(first.waitCursorDepth, 1);
        }
        EXPECT_EQ(first.waitCursorDepth, 0);
    }
    EXPECT_EQ(&Ui(), outer);
}

TEST(UiPort, RecordingFakeAnswersFromItsQueue) {
    RecordingUi ui;
    ui.answers = {true, false};
    EXPECT_TRUE(ui.AskYesNo("c", "1", false));
    EXPECT_FALSE(ui.AskYesNo("c", "2", true));
    EXPECT_TRUE(ui.AskYesNo("c", "3", true));  // queue empty: the safe default
    ASSERT_EQ(ui.questions.size(), 3u);
    EXPECT_EQ(ui.questions[2].text, "3");
}

}  // namespace
}  // namespace dorvan
