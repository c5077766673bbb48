#include "config/printers.h"

#include <gtest/gtest.h>

#include "config/config_error.h"
#include "config/recording_ui.h"

namespace dorvan {
namespace {

class PrintersTest : public ::testing::Test {
  protected:
    void TearDown() override { Printers::SetProvider(nullptr); }
};

TEST_F(PrintersTest, SelectFindsInstalledOrFallsBackToDefault) {
    Printers::SetProvider([] { return PrinterList{{"Laser", "Matrix", "PDF"}, "Laser"}; });
    struct Case {
        const char* wanted;
        const char* selected;
    };
    static constexpr Case kCases[] = {
        {"Matrix", "Matrix"}, {"matrix", "Matrix"}, {"PDF", "PDF"},
        {"Gone", "Laser"},    {"", "Laser"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.wanted);
        Printers::Instance().Select(c.wanted);
        EXPECT_EQ(Printers::Instance().SelectedName(), c.selected);
    }
}

TEST_F(PrintersTest, NoPrinterAtAll) {
    RecordingUi ui;
    ScopedUiPort scope(ui);
    Printers::SetProvider([] { return PrinterList{}; });
    EXPECT_FALSE(CheckPrinters());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Printer elérés hiba...");
    EXPECT_EQ(ui.messages[0].text,
              "Nincs alapnyomtató definiálva vagy a program nem éri el a nyomtatót!\r\r"
              "FONTOS! Ha COMODO Antivirus rendszert használ, akkor annak egyik szolgáltatása\r"
              "a SANDBOX akadályozhatja a program frissítés utáni első indítását!");
    try {
        Printers::Instance().Select("Laser");
        FAIL() << "no error";
    } catch (const PrinterError& e) {
        EXPECT_STREQ(e.what(), "There is no default printer currently selected");
    }
}

TEST_F(PrintersTest, WithPrintersNoWarning) {
    RecordingUi ui;
    ScopedUiPort scope(ui);
    Printers::SetProvider([] { return PrinterList{{"PDF"}, "PDF"}; });
    EXPECT_TRUE(CheckPrinters());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PrintersTest, SystemListAlwaysHasThePdfOutput) {
    const PrinterList list = SystemPrinters();
    EXPECT_NE(std::find(list.names.begin(), list.names.end(), kPdfPrinterName), list.names.end());
    EXPECT_FALSE(list.defaultName.empty());
}

}  // namespace
}  // namespace dorvan
