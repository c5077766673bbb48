#include "report/engine/report_layout.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "report/engine/memory_data_source.h"
#include "report/engine/report_error.h"
#include "report/engine/text_measurer.h"

namespace dorvan::report {
namespace {

using test::FindRun;
using test::ReportFromJson;
using test::RunsOf;
using test::TextsOf;

// "control text" of every text run, in print order.
std::vector<std::string> Sequence(const PageDocument& doc) {
    std::vector<std::string> out;
    for (const Page& page : doc.pages)
        for (const TextRun* run : RunsOf(page))
            out.push_back(run->text);
    return out;
}

std::size_t CountRuns(const Page& page, const std::string& controlName) {
    std::size_t n = 0;
    for (const TextRun* run : RunsOf(page))
        n += run->controlName == controlName ? 1 : 0;
    return n;
}

TEST(ReportLayout, GroupFootersSeeTheLastRowAndSumsRestartPerGroup) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "GH", "type": "groupHeader", "expression": "rows.grp", "footer": "GF", "height": 5,
       "controls": [{"name": "GHText", "kind": "dataText", "field": "grp", "width": 50, "height": 5}]},
      {"name": "Detail", "type": "detail", "height": 5, "controls": [
        {"name": "LineNo", "kind": "sysData", "data": "detailNumber", "width": 10, "height": 5},
        {"name": "Amount", "kind": "dataText", "field": "amount", "mask": "###,##0.00",
         "left": 20, "width": 50, "height": 5, "align": "right"}]},
      {"name": "GF", "type": "groupFooter", "height": 5, "controls": [
        {"name": "GFText", "kind": "dataText", "field": "grp", "width": 50, "height": 5},
        {"name": "GFSum", "kind": "expression", "expression": "SUM(rows.amount)", "mask": "###,##0.00",
         "resetAfterPrint": true, "left": 60, "width": 50, "height": 5}]},
      {"name": "Sum", "type": "summary", "height": 5, "controls": [
        {"name": "Total", "kind": "expression", "expression": "SUM(rows.amount)", "mask": "###,##0.00",
         "width": 50, "height": 5}]}]})json");
    MemoryDataSource rows({"grp", "amount"});
    rows.AddRow({"A", 1.0});
    rows.AddRow({"A", 2.0});
    rows.AddRow({"B", 3.0});
    rows.AddRow({"B", 4.0});
    rows.AddRow({"B", 1000.5});
    report.SetDataSource("rows", &rows);

    // Two runs of the same report give the same result: sums and numbers restart per run.
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const PageDocument doc = ReportLayout(report).Run();
        EXPECT_EQ(Sequence(doc), (std::vector<std::string>{
                                     "A", "1", "1,00", "2", "2,00", "A", "3,00", "B", "3", "3,00",
                                     "4", "4,00", "5", "1 000,50", "B", "1 007,50", "1 010,50"}));
    }
}

TEST(ReportLayout, ThreeNestedGroupsWithADisabledMiddleHeader) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "H1", "type": "groupHeader", "expression": "g1", "footer": "F1", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["H1 {g1}"], "width": 50, "height": 5}]},
      {"name": "H2", "type": "groupHeader", "expression": "rows.g2", "footer": "F2", "height": 5,
       "enabled": false,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["H2 {g2}"], "width": 50, "height": 5}]},
      {"name": "H3", "type": "groupHeader", "expression": "g3", "footer": "F3", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["H3 {g3}"], "width": 50, "height": 5}]},
      {"name": "D", "type": "detail", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["D {n}"], "width": 50, "height": 5}]},
      {"name": "F3", "type": "groupFooter", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["F3 {g3}"], "width": 50, "height": 5}]},
      {"name": "F2", "type": "groupFooter", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["F2 {rows.g2}"], "width": 50, "height": 5}]},
      {"name": "F1", "type": "groupFooter", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["F1 {g1}"], "width": 50, "height": 5}]}
    ]})json");
    MemoryDataSource rows({"g1", "g2", "g3", "n"});
    rows.AddRow({1, "x", "a", 1});
    rows.AddRow({1, "x", "b", 2});
    rows.AddRow({1, "y", "b", 3});
    rows.AddRow({2, "y", "b", 4});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    EXPECT_EQ(Sequence(doc),
              (std::vector<std::string>{"H1 1", "H3 a", "D 1", "F3 a",          //
                                        "H3 b", "D 2", "F3 b", "F2 x",          //
                                        "H3 b", "D 3", "F3 b", "F2 y", "F1 1",  //
                                        "H1 2", "H3 b", "D 4", "F3 b", "F2 y", "F1 2"}));
}

TEST(ReportLayout, ChildBandsPrintAfterASuppressedOrDisabledParent) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "D", "type": "detail", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["D {n}"], "width": 50, "height": 5}]},
      {"name": "C", "type": "child", "parent": "D", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["C {n}"], "width": 50, "height": 5}]},
      {"name": "CC", "type": "child", "parent": "C", "height": 5, "enabled": false,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["CC {n}"], "width": 50, "height": 5}]},
      {"name": "CCC", "type": "child", "parent": "CC", "height": 5,
       "controls": [{"name": "t", "kind": "exprMemo", "lines": ["CCC {n}"], "width": 50, "height": 5}]}
    ]})json");
    MemoryDataSource rows({"n"});
    rows.AddRow({1});
    rows.AddRow({2});
    report.SetDataSource("rows", &rows);
    report.SetBeforePrint("D", [&](Band&, bool& print) { print = report.detailNumber % 2 == 0; });
    int disabledCalls = 0;
    report.SetBeforePrint("CC", [&](Band&, bool&) { ++disabledCalls; });
    const PageDocument doc = ReportLayout(report).Run();
    EXPECT_EQ(Sequence(doc), (std::vector<std::string>{"C 1", "CCC 1", "D 2", "C 2", "CCC 2"}));
    EXPECT_EQ(disabledCalls, 0);
}

TEST(ReportLayout, AGrowingTextStretchesItsBandAndPushesLaterBands) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "D", "type": "detail", "height": 6, "controls": [
        {"name": "Memo", "kind": "exprMemo", "lines": ["{text}"], "grows": true, "top": 1, "width": 40,
         "height": 5},
        {"name": "Fixed", "kind": "dataText", "field": "text", "left": 50, "top": 1, "width": 40, "height": 5}]},
      {"name": "After", "type": "child", "parent": "D", "height": 5, "controls": [
        {"name": "AfterText", "kind": "label", "caption": "after", "width": 40, "height": 5}]}
    ]})json");
    MemoryDataSource rows({"text"});
    rows.AddRow(
        {QStringLiteral("Egy hosszú szöveg, amely több sorba tördelődik a keskeny mezőben.")});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    ASSERT_EQ(doc.pages.size(), 1u);
    const Page& page = doc.pages[0];

    const std::size_t lines = CountRuns(page, "Memo");
    ASSERT_GE(lines, 3u);
    EXPECT_EQ(CountRuns(page, "Fixed"), 1u);  // not growing: clipped to its box

    TextMeasurer measurer;
    const FontSpec font;
    const double textHeight =
        static_cast<double>(lines - 1) * measurer.LineSpacing(font) + measurer.LineHeight(font);
    const TextRun* first = FindRun(page, "Memo");
    const TextRun* after = FindRun(page, "AfterText");
    ASSERT_TRUE(first && after);
    // Band top = memo top - 1; band height = 6 + (textHeight - 5).
    EXPECT_NEAR(after->top, first->top - 1 + 6 + textHeight - 5, 1e-6);
    // Every line fits the memo's width.
    for (const TextRun* run : RunsOf(page))
        if (run->controlName == "Memo") {
            EXPECT_LE(measurer.Width(font, run->text), 40.01) << run->text;
        }
}

// A word wider than a growing box is not cut into pieces: it keeps a line of its own (and
// runs out of the box when painted); the words around it wrap as usual.
TEST(ReportLayout, AWordWiderThanAGrowingBoxStaysWhole) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "D", "type": "detail", "height": 6, "controls": [
        {"name": "Caption", "kind": "dataText", "field": "text", "grows": true, "top": 1,
         "width": 20, "height": 4}]}]})json");
    MemoryDataSource rows({"text"});
    rows.AddRow({QStringLiteral("a Rechnungsnummerkennzeichen b")});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    ASSERT_EQ(doc.pages.size(), 1u);
    std::vector<std::string> lines;
    for (const TextRun* run : RunsOf(doc.pages[0]))
        if (run->controlName == "Caption")
            lines.push_back(run->text);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "Rechnungsnummerkennzeichen", "b"}));
}

constexpr const char* kPagedReport = R"json({"master": "rows", "printIfEmpty": %1,
  "bands": [
    {"name": "PH", "type": "pageHeader", "height": 10,
     "controls": [{"name": "Head", "kind": "label", "caption": "HEAD", "width": 50, "height": 5}]},
    {"name": "CH", "type": "columnHeader", "height": 5,
     "controls": [{"name": "Col", "kind": "label", "caption": "COL", "width": 50, "height": 5}]},
    {"name": "D", "type": "detail", "height": 10,
     "controls": [{"name": "Row", "kind": "dataText", "field": "n", "width": 50, "height": 5}]},
    {"name": "S", "type": "summary", "height": 5,
     "controls": [{"name": "Sum", "kind": "label", "caption": "SUMMARY", "width": 50, "height": 5}]},
    {"name": "PF", "type": "pageFooter", "height": 10, "controls": [
      {"name": "Foot", "kind": "label", "caption": "FOOT", "width": 50, "height": 5},
      {"name": "PageNo", "kind": "sysData", "data": "pageNumber", "left": 100, "width": 20, "height": 5}]}
  ],
  "pageItems": [
    {"name": "Stamp", "kind": "label", "caption": "STAMP", "left": 88.4, "top": 236, "width": 40, "height": 7.1},
    {"name": "Mark", "kind": "shape", "shape": "horizontalLine", "left": 200, "top": 195.6, "width": 5, "height": 4.5}
  ]})json";

Report PagedReport(bool printIfEmpty) {
    return ReportFromJson(
        QString::fromLatin1(kPagedReport).arg(printIfEmpty ? "true" : "false").toStdString());
}

TEST(ReportLayout, ThreePagesRepeatPageHeaderColumnHeaderAndFooter) {
    Report report = PagedReport(true);
    MemoryDataSource rows({"n"});
    for (int i = 1; i <= 60; ++i)
        rows.AddRow({i});
    report.SetDataSource("rows", &rows);
    int hookRuns = 0;
    report.onBeforePrint = [&](Report& r) {
        ++hookRuns;
        r.ControlByName("Head").caption = "HEAD PREPARED";
    };
    const PageDocument doc = ReportLayout(report).Run();
    EXPECT_EQ(hookRuns, 1);
    // 277 mm printable: header 10 + column header 5 + footer 10 leave 252 mm = 25 rows.
    ASSERT_EQ(doc.pages.size(), 3u);
    const std::size_t rowsPerPage[] = {25, 25, 10};
    for (std::size_t p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        const Page& page = doc.pages[p];
        EXPECT_EQ(page.number, static_cast<int>(p) + 1);
        EXPECT_EQ(CountRuns(page, "Row"), rowsPerPage[p]);
        const TextRun* head = FindRun(page, "Head");
        const TextRun* col = FindRun(page, "Col");
        const TextRun* row = FindRun(page, "Row");
        const TextRun* foot = FindRun(page, "Foot");
        const TextRun* pageNo = FindRun(page, "PageNo");
        ASSERT_TRUE(head && col && row && foot && pageNo);
        EXPECT_EQ(head->text, "HEAD PREPARED");
        EXPECT_DOUBLE_EQ(head->top, 10);
        EXPECT_DOUBLE_EQ(head->left, 10);
        EXPECT_DOUBLE_EQ(col->top, 20);
        EXPECT_DOUBLE_EQ(row->top, 25);
        EXPECT_DOUBLE_EQ(foot->top, 277);  // 297 - 10 margin - 10 footer
        EXPECT_EQ(pageNo->text, std::to_string(p + 1));
        EXPECT_EQ(CountRuns(page, "Sum"), p == 2 ? 1u : 0u);
    }
    EXPECT_EQ(TextsOf(doc, "Row").front(), "1");
    EXPECT_EQ(TextsOf(doc, "Row").back(), "60");
}

TEST(ReportLayout, PageHeaderOnFirstAndFooterOnLastPageCanBeSwitchedOff) {
    Report report = PagedReport(true);
    report.pageHeaderOnFirstPage = false;
    report.pageFooterOnLastPage = false;
    MemoryDataSource rows({"n"});
    for (int i = 1; i <= 30; ++i)
        rows.AddRow({i});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(FindRun(doc.pages[0], "Head"), nullptr);
    EXPECT_NE(FindRun(doc.pages[1], "Head"), nullptr);
    EXPECT_NE(FindRun(doc.pages[0], "Foot"), nullptr);
    EXPECT_EQ(FindRun(doc.pages[1], "Foot"), nullptr);
    EXPECT_DOUBLE_EQ(FindRun(doc.pages[0], "Col")->top, 10);
}

TEST(ReportLayout, PageLevelItemsOnEveryPageAtPaperPositions) {
    Report report = PagedReport(true);
    MemoryDataSource rows({"n"});
    for (int i = 1; i <= 30; ++i)
        rows.AddRow({i});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    ASSERT_EQ(doc.pages.size(), 2u);
    for (const Page& page : doc.pages) {
        const TextRun* stamp = FindRun(page, "Stamp");
        ASSERT_TRUE(stamp);
        EXPECT_DOUBLE_EQ(stamp->left, 88.4);
        EXPECT_DOUBLE_EQ(stamp->top, 236);
        bool mark = false;
        for (const PageItem& item : page.items)
            if (const auto* line = std::get_if<LineItem>(&item))
                mark = mark || (line->x1 == 200 && line->x2 == 205 && line->y1 == 195.6 + 2.25);
        EXPECT_TRUE(mark);
    }
}

TEST(ReportLayout, PrintWhenEmpty) {
    {
        Report report = PagedReport(true);
        MemoryDataSource rows({"n"});
        report.SetDataSource("rows", &rows);
        const PageDocument doc = ReportLayout(report).Run();
        ASSERT_EQ(doc.pages.size(), 1u);
        EXPECT_EQ(Sequence(doc),
                  (std::vector<std::string>{"HEAD", "COL", "SUMMARY", "FOOT", "1", "STAMP"}));
    }
    {
        Report report = PagedReport(false);
        MemoryDataSource rows({"n"});
        report.SetDataSource("rows", &rows);
        EXPECT_TRUE(ReportLayout(report).Run().pages.empty());
    }
}

TEST(ReportLayout, KeepTogetherMovesTheBandPairToTheNextPage) {
    struct Case {
        const char* name;
        const char* keepOnFirst;
        const char* keepOnSecond;
        std::size_t firstOnPage;  // 0-based page of S
    };
    const Case cases[] = {
        {"no link", "", "", 0},
        {"first names second", "S2", "", 1},
        {"second names first", "", "S", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Header 10 + footer 10 leave 257 mm: 20 rows of 12 mm leave 17 mm, room for S only.
        Report report = ReportFromJson(QString::fromLatin1(R"json({"master": "rows", "bands": [
          {"name": "PH", "type": "pageHeader", "height": 10},
          {"name": "D", "type": "detail", "height": 12},
          {"name": "S", "type": "summary", "height": 10, "keepWith": "%1",
           "controls": [{"name": "S", "kind": "label", "caption": "S", "width": 20, "height": 5}]},
          {"name": "S2", "type": "child", "parent": "S", "height": 10, "keepWith": "%2",
           "controls": [{"name": "S2", "kind": "label", "caption": "S2", "width": 20, "height": 5}]},
          {"name": "PF", "type": "pageFooter", "height": 10}]})json")
                                           .arg(c.keepOnFirst, c.keepOnSecond)
                                           .toStdString());
        MemoryDataSource rows({"n"});
        for (int i = 0; i < 20; ++i)
            rows.AddRow({i});
        report.SetDataSource("rows", &rows);
        const PageDocument doc = ReportLayout(report).Run();
        ASSERT_EQ(doc.pages.size(), 2u);
        EXPECT_EQ(CountRuns(doc.pages[c.firstOnPage], "S"), 1u);
        EXPECT_EQ(CountRuns(doc.pages[1], "S2"), 1u);
        // On the new page the pair follows the page header directly.
        EXPECT_DOUBLE_EQ(FindRun(doc.pages[1], "S2")->top, c.firstOnPage == 1 ? 30 : 20);
    }
}

TEST(ReportLayout, BandFramesColoursAndFrameLinesFollowTheStretchedBand) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "D", "type": "detail", "height": 5, "frame": "top,bottom,left,right", "color": "#e6e6e6",
       "controls": [
         {"name": "Memo", "kind": "memo", "lines": ["one", "two", "three"], "grows": true, "width": 40, "height": 5},
         {"name": "Div", "kind": "frameLine", "left": 94.5, "width": 2.6, "height": 5}]}]})json");
    MemoryDataSource rows({"n"});
    rows.AddRow({1});
    report.SetDataSource("rows", &rows);
    const PageDocument doc = ReportLayout(report).Run();
    ASSERT_EQ(doc.pages.size(), 1u);
    TextMeasurer measurer;
    const double height = 2 * measurer.LineSpacing(FontSpec{}) + measurer.LineHeight(FontSpec{});
    int fills = 0;
    int lines = 0;
    for (const PageItem& item : doc.pages[0].items) {
        if (const auto* rect = std::get_if<RectItem>(&item)) {
            ++fills;
            EXPECT_EQ(rect->fill, QColor(0xe6, 0xe6, 0xe6));
            EXPECT_NEAR(rect->height, height, 1e-6);
            EXPECT_DOUBLE_EQ(rect->width, 190);
        } else if (const auto* line = std::get_if<LineItem>(&item)) {
            ++lines;
            if (line->x1 == line->x2 && line->x1 == 10 + 94.5 + 1.3) {
                EXPECT_NEAR(line->y2 - line->y1, height, 1e-6);  // the divider
            }
        }
    }
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(lines, 5);  // four frame sides and the divider
}

TEST(ReportLayout, SumsRestartAfterPrintingAlsoWhileTheirControlIsHidden) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "GH", "type": "groupHeader", "expression": "grp", "footer": "GF", "height": 0},
      {"name": "D", "type": "detail", "height": 5},
      {"name": "GF", "type": "groupFooter", "height": 5, "controls": [
        {"name": "Vat", "kind": "expression", "expression": "SUM(vat)", "mask": "0.00",
         "resetAfterPrint": true, "width": 50, "height": 5}]}]})json");
    MemoryDataSource rows({"grp", "vat", "exempt"});
    rows.AddRow({"A", 10.0, 1});
    rows.AddRow({"B", 2.0, 0});
    rows.AddRow({"B", 3.0, 0});
    report.SetDataSource("rows", &rows);
    report.SetBeforePrint("GF", [&](Band& band, bool&) {
        band.ControlByName("Vat").enabled = rows.Value("exempt").toInt() != 1;
    });
    EXPECT_EQ(Sequence(ReportLayout(report).Run()), (std::vector<std::string>{"5,00"}));
}

TEST(ReportLayout, AMissingColumnEndsTheRun) {
    Report report = ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "D", "type": "detail", "height": 5,
       "controls": [{"name": "X", "kind": "dataText", "field": "nope", "width": 40, "height": 5}]}]})json");
    MemoryDataSource rows({"n"});
    rows.AddRow({1});
    report.SetDataSource("rows", &rows);
    EXPECT_THROW(ReportLayout(report).Run(), ReportError);
}

TEST(ReportLayout, HandlersChangeControlsAndOtherDataSetsAreReadByName) {
    Report report = ReportFromJson(R"json({"master": "lines", "bands": [
      {"name": "T", "type": "title", "height": 5, "controls": [
        {"name": "No", "kind": "dataText", "dataSet": "Head", "field": "partner_kod", "mask": "00000000",
         "width": 40, "height": 5},
        {"name": "Hidden", "kind": "label", "caption": "hidden", "left": 50, "width": 40, "height": 5}]},
      {"name": "D", "type": "detail", "height": 5, "controls": [
        {"name": "Kedv", "kind": "exprMemo", "lines": ["( {listaar} {HEAD.deviza} )"], "width": 90, "height": 5}]}]})json");
    MemoryDataSource head({"partner_kod", "deviza"});
    head.AddRow({42, "HUF"});
    MemoryDataSource lines({"listaar"});
    lines.AddRow({1250.5});
    report.SetDataSource("head", &head);
    report.SetDataSource("lines", &lines);
    report.SetBeforePrint("T",
                          [](Band& band, bool&) { band.ControlByName("Hidden").enabled = false; });
    const PageDocument doc = ReportLayout(report).Run();
    EXPECT_EQ(Sequence(doc), (std::vector<std::string>{"00000042", "( 1250,5 HUF )"}));
}

}  // namespace
}  // namespace dorvan::report
