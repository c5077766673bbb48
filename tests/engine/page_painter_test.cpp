#include "report/engine/page_painter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "engine_test_support.h"
#include "report/engine/memory_data_source.h"
#include "report/engine/report_error.h"
#include "report/engine/report_layout.h"

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

// A text wider than its control: a control that does not grow shows only what fits its
// box, whatever its alignment; a growing one wraps inside its box anyway.
TEST(PagePainter, TextOfAControlThatDoesNotGrowStaysInItsBox) {
    struct Case {
        const char* align;
        bool grows;
    };
    static constexpr Case kCases[] = {
        {"right", false},
        {"left", false},
        {"center", false},
        {"right", true},
    };
    constexpr double kLeft = 40;  // mm from the band's left edge (margin 10 mm)
    constexpr double kWidth = 20;
    constexpr double dpi = 150;
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.align) + (c.grows ? " growing" : ""));
        Report report =
            test::ReportFromJson(QStringLiteral(R"json({"master": "rows", "bands": [
              {"name": "D", "type": "detail", "height": 20, "controls": [
                {"name": "Key", "kind": "dataText", "field": "name", "align": "%1", "grows": %2,
                 "left": %3, "top": 5, "width": %4, "height": 5}]}]})json")
                                     .arg(QString::fromLatin1(c.align), c.grows ? "true" : "false")
                                     .arg(kLeft)
                                     .arg(kWidth)
                                     .toStdString());
        MemoryDataSource rows({"name"});
        rows.AddRow({QStringLiteral("Különleges adómentes termékdíj-kulcs hosszú megnevezése")});
        report.SetDataSource("rows", &rows);
        const PageDocument doc = ReportLayout(report).Run();
        ASSERT_EQ(doc.pages.size(), 1u);
        const QImage page = RenderPageImage(doc, 0, dpi);
        const TextRun* run = test::FindRun(doc.pages[0], "Key");
        ASSERT_TRUE(run);
        const double boxLeft = 10 + kLeft;
        const double boxRight = boxLeft + kWidth;
        int inside = 0;
        int outside = 0;
        const int top = static_cast<int>((run->top - 1) / 25.4 * dpi);
        const int bottom = static_cast<int>((run->top + 30) / 25.4 * dpi);
        for (int y = top; y < bottom && y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                if (page.pixelColor(x, y).lightness() >= 160)
                    continue;
                const double mm = (x + 0.5) / dpi * 25.4;
                if (mm < boxLeft - 0.2 || mm > boxRight + 0.2)
                    ++outside;
                else
                    ++inside;
            }
        }
        EXPECT_GT(inside, 50);
        EXPECT_EQ(outside, 0);
    }
}

}  // namespace
}  // namespace dorvan::report
