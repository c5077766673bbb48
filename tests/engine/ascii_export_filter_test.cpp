#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "engine_test_support.h"
#include "report/engine/ascii_grid.h"
#include "report/engine/filter_renderer.h"
#include "report/engine/memory_data_source.h"
#include "report/engine/report_error.h"
#include "report/engine/report_layout.h"
#include "report/engine/tqr_ascii_export_filter.h"
#include "report/engine/windows1250.h"

namespace dorvan::report {
namespace {

using test::ReadBytes;
using test::SplitCrLf;
using test::TempPath;

// A4 portrait in tenths of a millimetre, Arial 10.
constexpr double kA4Width = 2100;
constexpr double kA4Length = 2970;
const FontSpec kArial10{};

TEST(AsciiGrid, GeometryOfA4WithArial10) {
    const AsciiGridGeometry g = ComputeAsciiGridGeometry(kA4Length, 10);
    EXPECT_NEAR(g.cellHeight, 35.2778, 1e-4);
    EXPECT_EQ(g.rowCount, 84);
    EXPECT_NEAR(g.cellWidth / kColumnDivisor, 20.7516, 1e-4);
}

TEST(AsciiGrid, RowsRoundHalvesUpColumnsHalvesToEven) {
    const AsciiGridGeometry g = ComputeAsciiGridGeometry(kA4Length, 10);
    EXPECT_EQ(AsciiGridRow(2.5 * g.cellHeight, g), 3);
    EXPECT_EQ(AsciiGridRow(3.49 * g.cellHeight, g), 3);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(3.51), 4);
}

struct PlaceCase {
    const char32_t* row;
    double column;
    const char32_t* text;
    const char32_t* expected;
};

TEST(AsciiGrid, PlacingTextInARow) {
    const PlaceCase cases[] = {
        {U"", 1, U"abc", U"abc"},
        {U"", 4, U"abc", U"   abc"},         // padded to column 4 (1-based)
        {U"", 3.5, U"x", U"   x"},           // 3.5 rounds to 4
        {U"", 2.5, U"x", U" x"},             // 2.5 rounds to 2 (even): x in column 2
        {U"abcdef", 3, U"XY", U"abXYef"},    // overwrite in the middle
        {U"abcdef", 5, U"XYZ", U"abcdXYZ"},  // overwrite past the end
        {U"abc", 0, U"XY", U"XYabc"},        // before the first column: inserted in front
        {U"ab", 3, U"XY", U"abXY"},          // right after the end
        {U"ab", 4.4, U"ő", U"ab ő"},
    };
    for (const auto& c : cases) {
        std::u32string row = c.row;
        SCOPED_TRACE(std::to_string(c.column));
        PlaceInAsciiRow(row, c.column, c.text);
        EXPECT_EQ(row, std::u32string(c.expected));
    }
}

class AsciiFilterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::EnsureApplication();
        path_ = TempPath(
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt");
    }
    // One page through the filter: texts at (x, y) in tenths of mm.
    struct Text {
        double x;
        double y;
        Alignment alignment;
        std::string text;
    };
    std::vector<std::string> ExportPage(const std::vector<Text>& texts) {
        TQRAsciiExportFilter filter(path_);
        filter.Start(kA4Width, kA4Length, kArial10);
        filter.NewPage();
        for (const auto& t : texts)
            filter.TextOut(t.x, t.y, kArial10, Qt::black, t.alignment, t.text);
        filter.EndPage();
        filter.Finish();
        return SplitCrLf(ReadBytes(path_));
    }
    std::string path_;
};

TEST_F(AsciiFilterTest, RightAlignedTextEndsInColumn91ForARightEdgeAt190mm) {
    for (const std::string text : {"1", "12,50", "1 234 567,89", "Végösszesen:"}) {
        SCOPED_TRACE(text);
        const auto lines = ExportPage({{1900, 0, Alignment::Right, text}});
        ASSERT_EQ(lines.size(), 1u);
        const std::string expected = Utf8ToWindows1250(text);
        EXPECT_EQ(lines[0].size(), 91u);
        EXPECT_EQ(lines[0].substr(91 - expected.size()), expected);
        EXPECT_EQ(lines[0].find_first_not_of(' '), 91 - expected.size());
    }
}

TEST_F(AsciiFilterTest, LeftAndCentredTextsStartAtTheirAnchor) {
    // 100 mm: column 1000 / 20.7516 = 48.19 -> 48 (1-based).
    const auto lines =
        ExportPage({{1000, 0, Alignment::Left, "L"}, {1000, 100, Alignment::Center, "Cen"}});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(47, ' ') + "L");
    EXPECT_EQ(lines[1], std::string(47, ' ') + "Cen");
}

TEST_F(AsciiFilterTest, LaterTextOverwritesTheOverlapOnly) {
    // Column 2 (1-based) and column 5: "ABCDEFGH" then "xyz" over its D..F.
    const double col = 20.7516;
    const auto lines = ExportPage(
        {{2 * col, 0, Alignment::Left, "ABCDEFGH"}, {5 * col, 0, Alignment::Left, "xyz"}});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], " ABCxyzGH");
}

TEST_F(AsciiFilterTest, RowsThreeAndTenGiveTwoConsecutiveLines) {
    const double cell = 35.2778;
    const auto lines = ExportPage(
        {{0, 10 * cell, Alignment::Left, "ten"}, {0, 3 * cell, Alignment::Left, "three"}});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "three");
    EXPECT_EQ(lines[1], "ten");
}

TEST_F(AsciiFilterTest, RowsAtOrBeyondTheRowCountAreLost) {
    const double cell = 35.2778;
    const auto lines = ExportPage({{0, 83 * cell, Alignment::Left, "row 83"},
                                   {0, 84 * cell, Alignment::Left, "row 84"},
                                   {0, 200 * cell, Alignment::Left, "row 200"},
                                   {0, 250 * cell, Alignment::Left, "beyond the grid"},
                                   {0, -5 * cell, Alignment::Left, "above the paper"},
                                   {1e12, 0, Alignment::Left, "far right"},
                                   {std::nan(""), 0, Alignment::Left, "no column"},
                                   {0, std::nan(""), Alignment::Left, "no row"},
                                   {0, 1e300, Alignment::Left, "far down"}});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "row 83");
}

TEST_F(AsciiFilterTest, HungarianLettersAreSingleWindows1250Bytes) {
    const auto bytes = [&] {
        ExportPage({{0, 0, Alignment::Left, "őűŐŰ áé €✓"}});
        return ReadBytes(path_);
    }();
    EXPECT_EQ(bytes, std::string("\xF5\xFB\xD5\xDB \xE1\xE9 \x80?\r\n"));
}

TEST_F(AsciiFilterTest, PagesFollowEachOtherWithoutSeparatorsAndTruncationOnlyAtFirstStart) {
    {
        std::ofstream old(path_, std::ios::binary);
        old << "an earlier export\r\n";
    }
    TQRAsciiExportFilter filter(path_);
    filter.Start(kA4Width, kA4Length, kArial10);
    for (const char* text : {"page one", "page two"}) {
        filter.NewPage();
        filter.TextOut(0, 500, kArial10, Qt::black, Alignment::Left, text);
        filter.EndPage();
    }
    // A second start of the same object keeps the open file.
    filter.Start(kA4Width, kA4Length, kArial10);
    filter.NewPage();
    filter.TextOut(0, 0, kArial10, Qt::black, Alignment::Left, "again");
    filter.EndPage();
    filter.Finish();
    EXPECT_EQ(ReadBytes(path_), "page one\r\npage two\r\nagain\r\n");
}

TEST_F(AsciiFilterTest, ReusedAfterFinishReportsAnError) {
    TQRAsciiExportFilter filter(path_);
    filter.Start(kA4Width, kA4Length, kArial10);
    filter.NewPage();
    filter.EndPage();
    filter.Finish();
    filter.Start(kA4Width, kA4Length, kArial10);
    filter.NewPage();
    filter.TextOut(0, 0, kArial10, Qt::black, Alignment::Left, "lost");
    EXPECT_THROW(filter.EndPage(), ReportIoError);
}

TEST_F(AsciiFilterTest, AFileThatCannotBeCreatedIsAnError) {
    TQRAsciiExportFilter filter("/nonexistent-folder/racun.txt");
    EXPECT_THROW(filter.Start(kA4Width, kA4Length, kArial10), ReportIoError);
}

TEST_F(AsciiFilterTest, DescriptionTexts) {
    TQRAsciiExportFilter filter(path_);
    EXPECT_EQ(filter.Description(), "Text export (ASCII) filter");
    EXPECT_EQ(filter.FilterName(), "Text file");
    EXPECT_EQ(filter.Extension(), "TXT");
}

// Through the engine: a report whose memo has three lines, a picture, frame lines, a shape,
// band frames, a background colour and rich text.
constexpr const char* kMixedReport = R"json({
  "title": "mixed", "master": "rows",
  "bands": [
    {"name": "Head", "type": "pageHeader", "height": 30, "frame": "all", "color": "#e6e6e6",
     "controls": [
       {"name": "Issuer", "kind": "dataText", "dataSet": "head", "field": "issuer",
        "left": 2, "top": 0, "width": 90, "height": 5, "grows": true},
       {"name": "Divider", "kind": "frameLine", "left": 94.5, "top": 0, "width": 2.6, "height": 30},
       {"name": "Box", "kind": "shape", "shape": "rectangle", "left": 100, "top": 2, "width": 20, "height": 10},
       {"name": "Logo", "kind": "picture", "left": 150, "top": 0, "width": 30, "height": 10, "stretch": true,
        "imageData": "iVBORw0KGgoAAAANSUhEUgAAAAQAAAAECAIAAAAmkwkpAAAAEElEQVR4nGM4IScHRwzEcQCxYxBBO0tjggAAAABJRU5ErkJggg=="}
     ]},
    {"name": "Fixed", "type": "summary", "height": 10,
     "controls": [
       {"name": "Rich", "kind": "richText", "left": 0, "top": 0, "width": 100, "height": 5, "grows": true,
        "richText": "{\\rtf1\\ansi {\\b Fixed} text\\par second}"}
     ]}
  ]})json";

TEST_F(AsciiFilterTest, MemoLinesGetARowEachAndNonTextItemsGiveNothing) {
    Report report = test::ReportFromJson(kMixedReport);
    MemoryDataSource head({"issuer"});
    head.AddRow({QStringLiteral("Kiállító Kft.\rFő utca 1.\r1111 Budapest")});
    MemoryDataSource rows({"x"});
    report.SetDataSource("head", &head);
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    TQRAsciiExportFilter filter(path_);
    ExportToFilter(doc, filter);
    const auto lines = SplitCrLf(ReadBytes(path_));
    // The band starts at 10 mm + 0: column 12 mm / 2.075 = 5.78 -> 6.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(5, ' ') + Utf8ToWindows1250("Kiállító Kft."));
    EXPECT_EQ(lines[1], std::string(5, ' ') + Utf8ToWindows1250("Fő utca 1."));
    EXPECT_EQ(lines[2], std::string(5, ' ') + "1111 Budapest");
}

TEST_F(AsciiFilterTest, ThroughTheEngineTextOnRow84OfAnA4Arial10ReportIsLost) {
    // Row 83 starts at 292.81 mm, row 84 at 296.33 mm from the paper's top.
    Report report = test::ReportFromJson(R"json({"master": "rows", "bands": [],
      "pageItems": [
        {"name": "Row83", "kind": "label", "caption": "row 83", "left": 0, "top": 292.8, "width": 30, "height": 4},
        {"name": "Row84", "kind": "label", "caption": "row 84", "left": 0, "top": 296.4, "width": 30, "height": 4}]})json");
    MemoryDataSource rows({"x"});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(test::TextsOf(doc, "Row84"), std::vector<std::string>{"row 84"});
    TQRAsciiExportFilter filter(path_);
    ExportToFilter(doc, filter);
    EXPECT_EQ(ReadBytes(path_), "row 83\r\n");
}

// Control characters of stored texts (ESC, FF, BEL, ...) reach no output: every kind of
// text control turns them into blanks, TAB stays, and line breaks still split memo lines.
TEST_F(AsciiFilterTest, ControlCharactersOfStoredTextsPrintAsBlanks) {
    Report report = test::ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "D", "type": "detail", "height": 40, "controls": [
        {"name": "Partner", "kind": "dataText", "field": "partner", "top": 0, "width": 120, "height": 4},
        {"name": "Note", "kind": "dataText", "field": "note", "grows": true, "top": 5, "width": 120, "height": 4},
        {"name": "Fixed", "kind": "label", "caption": "A\u0007B\u000bC", "top": 14, "width": 120, "height": 4},
        {"name": "Lines", "kind": "exprMemo", "lines": ["{note}"], "top": 18, "width": 120, "height": 12}]}]})json");
    MemoryDataSource rows({"partner", "note"});
    rows.AddRow({QStringLiteral("Kft\x1b@\x1b"
                                "E Bt"),
                 QStringLiteral("a\fb\x01\tc\r\nd\x7f")});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();

    struct Case {
        const char* control;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"Partner", {"Kft @ E Bt"}},
        {"Note", {"a b \tc", "d\x7f"}},
        {"Fixed", {"A B C"}},
        {"Lines", {"a b \tc", "d\x7f"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(test::TextsOf(doc, c.control), c.texts);
    }

    path_ = TempPath("racun.txt");
    TQRAsciiExportFilter filter(path_);
    ExportToFilter(doc, filter);
    const std::string bytes = ReadBytes(path_);
    for (const char control : std::string("\x01\x07\x0b\x0c\x1b", 5))
        EXPECT_EQ(bytes.find(control), std::string::npos) << static_cast<int>(control);
    const auto lines = SplitCrLf(bytes);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], std::string(4, ' ') + "Kft @ E Bt");
    EXPECT_EQ(lines[3], std::string(4, ' ') + "A B C");
}

}  // namespace
}  // namespace dorvan::report
