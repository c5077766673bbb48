// Display formats that data sources give their columns.

#include <gtest/gtest.h>

#include <QDate>

#include <string>
#include <vector>

#include "engine_test_support.h"
#include "report/engine/memory_data_source.h"
#include "report/engine/report_error.h"
#include "report/engine/report_layout.h"

namespace dorvan::report {
namespace {

TEST(DisplayFormat, DataTextWithoutMaskTakesTheColumnsFormat) {
    test::EnsureApplication();
    Report report = test::ReportFromJson(R"json({"master": "rows", "bands": [
      {"name": "D", "type": "detail", "height": 5, "controls": [
        {"name": "Plain", "kind": "dataText", "field": "kod", "width": 30, "height": 5},
        {"name": "Masked", "kind": "dataText", "field": "kod", "mask": "#,##0.0",
         "left": 40, "width": 30, "height": 5},
        {"name": "Amount", "kind": "dataText", "field": "osszeg", "left": 80, "width": 30,
         "height": 5},
        {"name": "Day", "kind": "dataText", "field": "nap", "left": 120, "width": 30,
         "height": 5},
        {"name": "Name", "kind": "dataText", "field": "nev", "left": 160, "width": 30,
         "height": 5}]}]})json");
    MemoryDataSource rows({"kod", "osszeg", "nap", "nev"});
    rows.AddRow({qlonglong{2}, 1234.5, QDate(2026, 12, 3), "Kovács"});
    rows.AddRow({QVariant(), 0.0, QVariant(), "Ács"});
    rows.SetDisplayFormat("KOD", "00000000");
    rows.SetDisplayFormat("osszeg", "###,###,##0.00");
    rows.SetDisplayFormat("nap", "yyyy-MM-dd");
    report.SetDataSource("rows", &rows);

    const PageDocument doc = ReportLayout(report).Run();
    struct Case {
        const char* control;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"Plain", {"00000002"}},           // null prints nothing
        {"Masked", {"2,0"}},               // the control's own mask wins
        {"Amount", {"1 234,50", "0,00"}},  // number display format
        {"Day", {"2026-12-03"}},           // date display format
        {"Name", {"Kovács", "Ács"}},       // text columns have none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(test::TextsOf(doc, c.control), c.texts);
    }
}

TEST(DisplayFormat, MemoryDataSourceKnowsOnlyItsColumns) {
    MemoryDataSource rows({"a"});
    EXPECT_EQ(rows.DisplayFormat("a"), "");
    EXPECT_EQ(rows.DisplayFormat("b"), "");
    EXPECT_THROW(rows.SetDisplayFormat("b", "0"), ReportError);
}

}  // namespace
}  // namespace dorvan::report
