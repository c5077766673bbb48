#include "report/engine/preview_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "report/engine/report_layout.h"
#include "report/engine/report_output.h"

namespace dorvan::report {
namespace {

TEST(PreviewWindow, NavigatesPagesAndZooms) {
    auto sample = test::MakeSampleReport(50);
    PageDocument doc = ReportLayout(sample->report).Run();
    ASSERT_EQ(doc.pages.size(), 2u);
    PreviewWindow window(std::move(doc));
    window.resize(800, 600);
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Próba jelentés - két oldal"));
    EXPECT_EQ(window.PageLabelText(), QStringLiteral("1 / 2"));
    EXPECT_EQ(window.Mode(), PreviewWindow::ZoomMode::FitPage);
    const double fit = window.Zoom();
    EXPECT_LT(fit, 1.0);  // an A4 page does not fit 600 pixels at real size

    window.findChild<QPushButton*>(QStringLiteral("nextPage"))->click();
    EXPECT_EQ(window.PageIndex(), 1);
    window.NextPage();
    EXPECT_EQ(window.PageIndex(), 1);
    window.FirstPage();
    EXPECT_EQ(window.PageLabelText(), QStringLiteral("1 / 2"));
    window.LastPage();
    EXPECT_EQ(window.PageIndex(), 1);

    window.ZoomIn();
    EXPECT_EQ(window.Mode(), PreviewWindow::ZoomMode::Fixed);
    EXPECT_NEAR(window.Zoom(), fit * 1.25, 1e-9);
    const auto* view = window.findChild<QLabel*>(QStringLiteral("pageView"));
    ASSERT_TRUE(view);
    EXPECT_NEAR(view->width(), 210 / 25.4 * 96 * window.Zoom(), 2);
    window.ZoomToWidth();
    EXPECT_GT(window.Zoom(), fit);
    window.ZoomToPage();
    EXPECT_NEAR(window.Zoom(), fit, 1e-9);
    // DORVAN_ENGINE_PREVIEW_PNG keeps a picture of the window for a look.
    if (const char* png = std::getenv("DORVAN_ENGINE_PREVIEW_PNG"))
        window.grab().save(QString::fromLocal8Bit(png));
}

TEST(PreviewWindow, OpensMaximisedWithTheWholePageInView) {
    auto sample = test::MakeSampleReport(3);
    PreviewWindow* window = ShowPreview(ReportLayout(sample->report).Run());
    QApplication::processEvents();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->Mode(), PreviewWindow::ZoomMode::FitPage);
    EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(PreviewWindow, ModalPreviewReturnsWhenTheWindowIsClosed) {
    auto sample = test::MakeSampleReport(3);
    bool sawWindow = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<PreviewWindow*>(w); preview && preview->isVisible()) {
                sawWindow = preview->isModal() && (preview->windowState() & Qt::WindowMaximized);
                preview->close();
            }
    });
    ExecPreviewReport(sample->report);
    EXPECT_TRUE(sawWindow);
}

}  // namespace
}  // namespace dorvan::report
