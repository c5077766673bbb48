#include <gtest/gtest.h>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "app/about_box.h"
#include "app/brand_picture.h"
#include "app/form1.h"
#include "app/progress_form.h"
#include "config/main_table.h"
#include "config/recording_ui.h"
#include "datamodule/silent_abort.h"

namespace dorvan::app {
namespace {

// A scratch executable folder ($DORVAN_EXE_DIR) and a clean settings record.
class WindowsTest : public ::testing::Test {
  protected:
    WindowsTest() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dorvan-app-XXXXXX").string();
        exeDir_ = ::mkdtemp(pattern.data());
        exeDir_ += "/";
        ::setenv("DORVAN_EXE_DIR", exeDir_.c_str(), 1);
        MainTable() = TMainTable{};
    }
    ~WindowsTest() override {
        ::unsetenv("DORVAN_EXE_DIR");
        std::error_code ec;
        std::filesystem::remove_all(exeDir_, ec);
        MainTable() = TMainTable{};
    }
    void PutBrandPicture(const std::string& name, QSize size) {
        std::filesystem::create_directories(exeDir_ + "images/orvelle");
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(QString::fromStdString(exeDir_ + "images/orvelle/" + name), "BMP"));
    }

    std::string exeDir_;
    RecordingUi ui_;
    ScopedUiPort scope_{ui_};
};

TEST_F(WindowsTest, ConsoleWindowLayout) {
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), "Form1");
    EXPECT_EQ(form.size(), QSize(949, 618));
    EXPECT_EQ(form.font().family(), "Tahoma");
    EXPECT_EQ(form.font().pointSize(), 8);
    struct Case {
        QPushButton* button;
        QRect geometry;
        const char* caption;
    };
    const Case cases[] = {
        {form.Button1, QRect(24, 16, 249, 25), "Quickreport dot matrix printer test"},
        {form.Button2, QRect(24, 47, 249, 25), "Quickreport preview"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(c.button->geometry(), c.geometry);
        EXPECT_EQ(c.button->text(), c.caption);
    }
}

TEST_F(WindowsTest, ConsoleCommands) {
    TForm1 form;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    ASSERT_EQ(ui_.messages.size(), 1u);  // no report yet: says so
    EXPECT_EQ(ui_.messages[0].caption, "Dorvan dialog");
    EXPECT_EQ(ui_.messages[0].text, "The invoice report is not built yet.");

    int printed = 0;
    form.printCommand = [&] { ++printed; };
    form.previewCommand = [] { throw std::runtime_error("preview failed"); };
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(printed, 1);
    QTest::mouseClick(form.Button2, Qt::LeftButton);  // the error box, the console goes on
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[1].caption, "Dorvan");
    EXPECT_EQ(ui_.messages[1].text, "preview failed");
    EXPECT_EQ(ui_.messages[1].icon, MessageIcon::Error);

    form.printCommand = [] { throw SilentAbort(); };  // a cancellation shows nothing
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(ui_.messages.size(), 2u);
}

// The program's application object loads Qt's Hungarian texts: the buttons of the question
// boxes and the print dialog are not English.
TEST_F(WindowsTest, QtDialogsSpeakTheProgramsLanguage) {
    QMessageBox box(QMessageBox::Question, "Dorvan dialog", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    struct Case {
        QMessageBox::StandardButton button;
        const char* text;
    };
    const Case cases[] = {
        {QMessageBox::Yes, "Igen"},
        {QMessageBox::No, "Nem"},
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "Mégse"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(box.button(c.button)->text().remove(QLatin1Char('&')), QString::fromUtf8(c.text));
    }
    EXPECT_NE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Print"));
    EXPECT_NE(QCoreApplication::translate("QPrintDialog", "&Options >>"),
              QStringLiteral("&Options >>"));
}

TEST_F(WindowsTest, SplashLayoutAndVersion) {
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Névjegy"));
    EXPECT_EQ(box.size(), QSize(322, 343));
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(box.VerzioLabel->text(), "V1.10");  // the designed text until shown
    EXPECT_EQ(box.ProgressBar->geometry(), QRect(8, 314, 302, 16));
    EXPECT_EQ(box.ProgressBar->minimum(), 0);
    EXPECT_EQ(box.ProgressBar->maximum(), 110);
    EXPECT_EQ(box.Label_Data->geometry().topLeft(), QPoint(8, 299));
    EXPECT_EQ(box.Label_Data->width(), 305);
    EXPECT_EQ(box.Image1->size(), QSize(318, 338));
    EXPECT_EQ(box.VerzioLabel->pos(), QPoint(260, 133));
    EXPECT_EQ(box.VerzioLabel2->pos(), QPoint(261, 135));
    EXPECT_EQ(box.VerzioLabel->font().family(), "Arial");
    EXPECT_TRUE(box.VerzioLabel->font().bold());
    EXPECT_EQ(box.VerzioLabel->font().pointSize(), 10);
    box.show();
    EXPECT_EQ(box.VerzioLabel->text(), "V1.105");
    EXPECT_EQ(box.VerzioLabel2->text(), "V1.105");
    MainTable().Database = "Orvelle_Data";
    box.hide();
    box.show();
    EXPECT_EQ(box.VerzioLabel->text(), "V-1.105");
}

TEST_F(WindowsTest, SplashClosesOnEscAndOnClick) {
    {
        TAboutBox box;
        box.show();
        QTest::keyClick(&box, Qt::Key_A);
        EXPECT_TRUE(box.isVisible());
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_FALSE(box.isVisible());
    }
    {
        TAboutBox box;
        box.show();
        QTest::mouseClick(box.Image1, Qt::LeftButton);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST_F(WindowsTest, SplashClosesWhenTheConsoleIsActivated) {
    TAboutBox box;
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.Label_Data->setText("Open all datatable.");
    TForm1 form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(box.Label_Data->text().isEmpty());
    EXPECT_TRUE(box.ProgressBar->isHidden());
}

TEST_F(WindowsTest, ProgressWindow) {
    TProgress_Form progress;
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.size(), QSize(333, 118));
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(
        progress.Label_Fejresz->text(),
        QString::fromUtf8("Kis türlemet...\nOptimális oszlopszélesség felderítése folyamatban."));
    EXPECT_EQ(progress.Label_Fejresz->geometry(), QRect(8, 48, 312, 61));
    EXPECT_TRUE(progress.Label_Fejresz->wordWrap());
    EXPECT_EQ(progress.ProgressBar->geometry(), QRect(16, 26, 297, 16));
    EXPECT_EQ(progress.Image2->size(), QSize(329, 114));
    EXPECT_FALSE(progress.Image2->isHidden());

    progress.ProgressBar->setRange(0, 5);
    progress.ProgressBar->setValue(5);
    progress.DuckInit(250);
    EXPECT_EQ(progress.ProgressBar->value(), 0);
    EXPECT_EQ(progress.ProgressBar->maximum(), 250);
    EXPECT_EQ(progress.Max(), 250);
    progress.DuckRepaint(120);
    EXPECT_EQ(progress.ProgressBar->value(), 120);
}

TEST_F(WindowsTest, BrandPictures) {
    // Designed pictures for any other database.
    MainTable().Database = "Dorvan_Data";
    PutBrandPicture("progress_hatter.bmp", QSize(10, 20));
    {
        TProgress_Form progress;
        EXPECT_FALSE(progress.Image2->isHidden());
        EXPECT_EQ(progress.Image2->pixmap().size(), QSize(329, 114));
    }
    // The brand edition with its picture.
    MainTable().Database = "Orvelle_Data";
    {
        TProgress_Form progress;
        EXPECT_FALSE(progress.Image2->isHidden());
        EXPECT_EQ(progress.Image2->pixmap().size(), QSize(10, 20));
        TAboutBox box;  // no nevjegy.bmp: no picture
        EXPECT_TRUE(box.Image1->isHidden());
    }
    PutBrandPicture("nevjegy.bmp", QSize(30, 40));
    std::filesystem::remove(exeDir_ + "images/orvelle/progress_hatter.bmp");
    {
        TAboutBox box;
        EXPECT_FALSE(box.Image1->isHidden());
        EXPECT_EQ(box.Image1->pixmap().size(), QSize(30, 40));
        TProgress_Form progress;
        EXPECT_TRUE(progress.Image2->isHidden());
    }
}

TEST(BrandPicture, Rule) {
    const auto keep = BrandPictureFor("orvelle_data", "/nonexistent/", "nevjegy.bmp");
    EXPECT_EQ(keep.action, BrandPicture::Action::KeepDesigned);  // exact name only
    const auto hide = BrandPictureFor("Orvelle_Data", "/nonexistent/", "nevjegy.bmp");
    EXPECT_EQ(hide.action, BrandPicture::Action::Hide);
}

}  // namespace
}  // namespace dorvan::app
