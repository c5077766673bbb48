#include "report/engine/page_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "engine_test_support.h"
#include "report/engine/memory_data_source.h"
#include "report/engine/report_error.h"
#include "report/engine/report_layout.h"
#include "report/engine/text_measurer.h"

namespace dorvan::report {
namespace {

int CountPdfPages(const std::string& bytes) {
    static const std::regex kPage("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), kPage),
                                          std::sregex_iterator()));
}

TEST(PagePainter, TwoPageReportAsPdf) {
    auto sample = test::MakeSampleReport(50);
    const PageDocument doc = ReportLayout(sample->report).Run();
    ASSERT_EQ(doc.pages.size(), 2u);
    // DORVAN_ENGINE_PDF_OUT keeps the file for a look (pdftoppm -png).
    const char* keep = std::getenv("DORVAN_ENGINE_PDF_OUT");
    const std::string path = keep ? keep : test::TempPath("two_pages.pdf");
    WritePdf(doc, path);
    const std::string bytes = test::ReadBytes(path);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_EQ(CountPdfPages(bytes), 2);
    EXPECT_NE(bytes.find("LiberationSans"), std::string::npos);  // Arial, embedded as Liberation
}

TEST(PagePainter, PrintsEveryPageOnTheChosenPrinter) {
    auto sample = test::MakeSampleReport(50);
    const PageDocument doc = ReportLayout(sample->report).Run();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string path = test::TempPath("printed.pdf");
    printer.setOutputFileName(QString::fromStdString(path));
    PrintDocument(doc, printer);
    EXPECT_EQ(printer.docName(), QStringLiteral("Próba jelentés - két oldal"));
    EXPECT_EQ(CountPdfPages(test::ReadBytes(path)), 2);
}

TEST(PagePainter, WritingIntoAMissingFolderIsAnError) {
    auto sample = test::MakeSampleReport(3);
    const PageDocument doc = ReportLayout(sample->report).Run();
    EXPECT_THROW(WritePdf(doc, "/nonexistent-folder/report.pdf"), ReportIoError);
}

TEST(PagePainter, BandColoursFramesAndTextsLandWhereTheDesignPutsThem) {
    auto sample = test::MakeSampleReport(50);
    const PageDocument doc = ReportLayout(sample->report).Run();
    constexpr double dpi = 150;
    const QImage page = RenderPageImage(doc, 0, dpi);
    auto px = [&](double xMm, double yMm) {
        return page.pixelColor(static_cast<int>(xMm / 25.4 * dpi),
                               static_cast<int>(yMm / 25.4 * dpi));
    };
    ASSERT_EQ(page.width(), static_cast<int>(210 / 25.4 * dpi + 0.5));
    // Column caption band: 10 + 12 + 26.5 = 48.5 mm from the top, 4.8 mm high, grey.
    const TextRun* capNo = test::FindRun(doc.pages[0], "CapNo");
    ASSERT_TRUE(capNo);
    const double captionTop = capNo->top - 0.5;
    EXPECT_EQ(px(150, captionTop + 4.5), QColor(0xe6, 0xe6, 0xe6));
    // The frame line on the band's top edge is dark.
    EXPECT_LT(px(150, captionTop).lightness(), 128);
    // Paper margins stay white.
    EXPECT_EQ(px(5, 150), QColor(Qt::white));
    // The title is dark ink around the centre of its band.
    int dark = 0;
    for (double x = 90; x < 120; x += 0.2)
        for (double y = 11; y < 18; y += 0.2)
            dark += px(x, y).lightness() < 100 ? 1 : 0;
    EXPECT_GT(dark, 50);
    // The paid-stamp frame is blue, on the second page as well.
    const QImage second = RenderPageImage(doc, 1, dpi);
    const QColor stampEdge =
        second.pixelColor(static_cast<int>(88.4 / 25.4 * dpi), static_cast<int>(240 / 25.4 * dpi));
    EXPECT_GT(stampEdge.blue(), 120);
    EXPECT_LT(stampEdge.red(), 100);
}

// A text wider than its control's box runs out of the box the way its alignment points, as
// an auto-sizing label does; where that would leave the printable area (10 to 200 mm here)
// it is drawn smaller so that it stays inside. Every character is drawn: the ink spans the
// text's whole width (or the room it was given), never just the box.
TEST(PagePainter, TextWiderThanItsBoxIsDrawnWholeInsideThePrintableArea) {
    struct Case {
        const char* name;
        const char* align;
        bool grows;
        double left;      // mm from the band's left edge (margin 10 mm)
        double width;     // mm
        double inkLeft;   // expected ink, mm from the paper's left edge; < 0: box edge - text
        double inkRight;  // width; < 0: box edge + text width
    };
    // Ink edges: kFromText marks an edge found from the text's measured width.
    constexpr double kFromText = -1;
    const Case cases[] = {
        {"left runs right", "left", false, 40, 20, 50, kFromText},
        {"right runs left", "right", false, 120, 20, kFromText, 150},
        {"centred runs both ways", "center", false, 80, 20, kFromText, kFromText},
        {"right shrinks at the left margin", "right", false, 1.1, 30, 10, 41.1},
        {"left shrinks at the right margin", "left", false, 170, 15, 180, 200},
        {"centred shrinks at the nearer margin", "center", false, 0, 40, 10, 50},
    };
    const std::string kText = "Különleges adómentes termékdíj-kulcs hosszú megnevezése";
    constexpr double dpi = 150;
    constexpr double kTolerance = 0.6;  // mm: side bearings of the first and last glyph
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Report report =
            test::ReportFromJson(QStringLiteral(R"json({"master": "rows", "bands": [
              {"name": "D", "type": "detail", "height": 20, "controls": [
                {"name": "Key", "kind": "dataText", "field": "name", "align": "%1", "grows": %2,
                 "left": %3, "top": 5, "width": %4, "height": 5}]}]})json")
                                     .arg(QString::fromLatin1(c.align), c.grows ? "true" : "false")
                                     .arg(c.left)
                                     .arg(c.width)
                                     .toStdString());
        MemoryDataSource rows({"name"});
        rows.AddRow({QString::fromStdString(kText)});
        report.SetDataSource("rows", &rows);
        const PageDocument doc = ReportLayout(report).Run();
        ASSERT_EQ(doc.pages.size(), 1u);
        const TextRun* run = test::FindRun(doc.pages[0], "Key");
        ASSERT_TRUE(run);
        ASSERT_EQ(run->text, kText) << "the line must not be cut by the layout";
        const double textWidth = TextMeasurer().Width(run->font, run->text);
        const double boxLeft = 10 + c.left;
        const double boxRight = boxLeft + c.width;
        double inkLeft = c.inkLeft;
        double inkRight = c.inkRight;
        if (std::string(c.align) == "left" && inkRight == kFromText)
            inkRight = boxLeft + textWidth;
        if (std::string(c.align) == "right" && inkLeft == kFromText)
            inkLeft = boxRight - textWidth;
        if (std::string(c.align) == "center" && inkLeft == kFromText) {
            inkLeft = (boxLeft + boxRight - textWidth) / 2;
            inkRight = inkLeft + textWidth;
        }
        ASSERT_GT(textWidth, c.width) << "the case needs a text wider than its box";

        const QImage page = RenderPageImage(doc, 0, dpi);
        double first = 1e9;
        double last = -1e9;
        const int top = static_cast<int>((run->top - 1) / 25.4 * dpi);
        const int bottom = static_cast<int>((run->top + run->height + 1) / 25.4 * dpi);
        for (int y = std::max(top, 0); y < bottom && y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                if (page.pixelColor(x, y).lightness() >= 160)
                    continue;
                const double mm = (x + 0.5) / dpi * 25.4;
                first = std::min(first, mm);
                last = std::max(last, mm);
            }
        }
        ASSERT_LT(first, last) << "no ink";
        EXPECT_NEAR(first, inkLeft, kTolerance);
        EXPECT_NEAR(last, inkRight, kTolerance);
        EXPECT_GE(first, 10 - 0.1);
        EXPECT_LE(last, 200 + 0.1);
    }
}

}  // namespace
}  // namespace dorvan::report
