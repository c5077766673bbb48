#include "report/engine/preview_window.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
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

// The keys turn pages wherever the focus is (the page area would scroll instead), the page
// and zoom fields show and take the page and the percentage, Esc and the close button close.
TEST(PreviewWindow, KeysPageFieldZoomFieldAndClosing) {
    auto sample = test::MakeSampleReport(50);
    PreviewWindow window(ReportLayout(sample->report).Run());
    window.resize(800, 600);
    window.show();
    QApplication::processEvents();
    auto* area = window.findChild<QScrollArea*>();
    auto* pageField = window.findChild<QSpinBox*>(QStringLiteral("pageField"));
    auto* zoomField = window.findChild<QSpinBox*>(QStringLiteral("zoomField"));
    ASSERT_TRUE(area && pageField && zoomField);
    EXPECT_EQ(pageField->text(), QStringLiteral("1 / 2"));
    EXPECT_EQ(zoomField->value(), static_cast<int>(window.Zoom() * 100 + 0.5));
    EXPECT_TRUE(zoomField->text().endsWith(QStringLiteral(" %")))
        << zoomField->text().toStdString();

    area->setFocus();
    QTest::keyClick(area, Qt::Key_PageDown);
    EXPECT_EQ(window.PageIndex(), 1);
    EXPECT_EQ(pageField->text(), QStringLiteral("2 / 2"));
    QTest::keyClick(area, Qt::Key_PageUp);
    EXPECT_EQ(window.PageIndex(), 0);

    // A page typed into the field.
    pageField->setFocus();
    pageField->selectAll();
    QTest::keyClicks(pageField, QStringLiteral("2"));
    QTest::keyClick(pageField, Qt::Key_Return);
    EXPECT_EQ(window.PageIndex(), 1);

    // A percentage typed into the zoom field fixes the zoom.
    zoomField->setFocus();
    zoomField->selectAll();
    QTest::keyClicks(zoomField, QStringLiteral("150"));
    QTest::keyClick(zoomField, Qt::Key_Return);
    EXPECT_EQ(window.Mode(), PreviewWindow::ZoomMode::Fixed);
    EXPECT_NEAR(window.Zoom(), 1.5, 1e-9);
    window.ZoomIn();
    EXPECT_EQ(zoomField->value(), static_cast<int>(1.5 * 1.25 * 100 + 0.5));

    QSignalSpy closed(&window, &PreviewWindow::closed);
    area->setFocus();
    QTest::keyClick(area, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.count(), 1);

    PreviewWindow second(ReportLayout(sample->report).Run());
    second.show();
    QApplication::processEvents();
    auto* close = second.findChild<QPushButton*>(QStringLiteral("close"));
    ASSERT_TRUE(close);
    close->click();
    EXPECT_FALSE(second.isVisible());
}

// Printing to a file proposes the current folder and the document's own name.
TEST(PreviewWindow, PrintToFileProposesTheCurrentFolderAndTheDocumentNumber) {
    auto sample = test::MakeSampleReport(3);
    PageDocument doc = ReportLayout(sample->report).Run();
    doc.fileName = "SZ2026/0000002";
    PreviewWindow window(std::move(doc));
    window.show();
    const QString expected = QDir::current().absoluteFilePath(QStringLiteral("SZ2026_0000002.pdf"));
    EXPECT_EQ(window.ProposedPdfPath(), expected);

    QString proposed;
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            sawDialog = true;
            if (auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
                proposed = file->text();
            dialog->reject();
        }
    });
    window.PrintWithDialog();
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(proposed, expected);

    // Without a file name the title is used, made safe for a file name.
    PageDocument untitled = ReportLayout(sample->report).Run();
    untitled.title = "Számla / próba";
    EXPECT_EQ(PreviewWindow(std::move(untitled)).ProposedPdfPath(),
              QDir::current().absoluteFilePath(QStringLiteral("Számla _ próba.pdf")));
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
