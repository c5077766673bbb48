// Lays out a synthetic banded report of many rows and exports it as plain text; prints the
// time of each step and the peak memory. Run: bench_engine [rows...] (default 1000 2000 5000).

#include <sys/resource.h>

#include <QGuiApplication>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "report/engine/filter_renderer.h"
#include "report/engine/memory_data_source.h"
#include "report/engine/report_design_loader.h"
#include "report/engine/report_layout.h"
#include "report/engine/tqr_ascii_export_filter.h"

using namespace dorvan::report;

namespace {

constexpr const char* kDesign = R"json({"title": "bench", "master": "Lines", "bands": [
  {"name": "PH", "type": "pageHeader", "height": 20, "frame": "bottom", "controls": [
    {"name": "Title", "kind": "label", "caption": "SZÁMLA", "width": 190, "height": 7, "align": "center",
     "font": {"size": 16, "style": "B"}},
    {"name": "Page", "kind": "sysData", "data": "pageNumber", "top": 8, "width": 20, "height": 5},
    {"name": "Issuer", "kind": "dataText", "dataSet": "Head", "field": "issuer", "grows": true,
     "left": 30, "top": 8, "width": 90, "height": 5}]},
  {"name": "CH", "type": "columnHeader", "height": 5, "color": "#e6e6e6", "controls": [
    {"name": "C1", "kind": "label", "caption": "Tétel megnevezése", "width": 80, "height": 4.2,
     "font": {"size": 9, "style": "B"}},
    {"name": "C2", "kind": "label", "caption": "Nettó összeg", "left": 96, "width": 27.8, "height": 4.2,
     "align": "right", "font": {"size": 9, "style": "B"}}]},
  {"name": "GH", "type": "groupHeader", "expression": "grp", "footer": "GF", "height": 5, "controls": [
    {"name": "G", "kind": "dataText", "field": "grp", "width": 50, "height": 5, "font": {"style": "B"}}]},
  {"name": "D", "type": "detail", "height": 4.2, "controls": [
    {"name": "No", "kind": "sysData", "data": "detailNumber", "width": 8, "height": 4.2, "align": "center",
     "font": {"size": 9}},
    {"name": "Name", "kind": "dataText", "field": "name", "grows": true, "left": 9.5, "width": 85, "height": 4.2,
     "font": {"size": 9}},
    {"name": "Qty", "kind": "dataText", "field": "qty", "mask": "###,###,##0.00##", "left": 96, "width": 20,
     "height": 4.2, "align": "right", "font": {"size": 9}},
    {"name": "Net", "kind": "dataText", "field": "net", "mask": "###,###,##0.00", "left": 120, "width": 27.8,
     "height": 4.2, "align": "right", "font": {"size": 9}},
    {"name": "Vat", "kind": "dataText", "field": "vat", "mask": "#0 %", "left": 150, "width": 10,
     "height": 4.2, "align": "center", "font": {"size": 9}},
    {"name": "Gross", "kind": "dataText", "field": "gross", "mask": "###,###,##0.00", "left": 162.2,
     "width": 27.8, "height": 4.2, "align": "right", "font": {"size": 9}}]},
  {"name": "Kedv", "type": "child", "parent": "D", "height": 4.2, "controls": [
    {"name": "KedvText", "kind": "exprMemo", "lines": ["( Eredeti listaár: {net} HUF; kedvezmény {vat} )"],
     "left": 9.5, "width": 179.1, "height": 4.2, "grows": true, "font": {"size": 8}}]},
  {"name": "GF", "type": "groupFooter", "height": 5.6, "frame": "top", "color": "#e6e6e6", "controls": [
    {"name": "GFSum", "kind": "expression", "expression": "SUM(Lines.net)", "mask": "###,###,##0.00",
     "resetAfterPrint": true, "left": 120, "width": 27.8, "height": 4.2, "align": "right"}]},
  {"name": "S", "type": "summary", "height": 5.6, "keepWith": "S2", "controls": [
    {"name": "Total", "kind": "expression", "expression": "SUM(Lines.gross)", "mask": "###,###,##0.00 HUF",
     "left": 120, "width": 70, "height": 4.5, "align": "right"}]},
  {"name": "S2", "type": "child", "parent": "S", "height": 5, "controls": [
    {"name": "Clause", "kind": "label", "caption": "Köszönjük a vásárlást!", "width": 100, "height": 5}]},
  {"name": "PF", "type": "pageFooter", "height": 10, "controls": [
    {"name": "Sign", "kind": "label", "caption": "Ellenőrizte és átvette", "top": 4, "width": 60, "height": 4,
     "align": "center", "font": {"size": 8}}]}],
  "pageItems": [
    {"name": "Mark", "kind": "shape", "shape": "horizontalLine", "left": 200, "top": 195.6, "width": 5, "height": 4.5}]
})json";

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {1000, 2000, 5000};

    const std::string out =
        QStandardPaths::writableLocation(QStandardPaths::TempLocation).toStdString() +
        "/bench_engine_racun.txt";
    std::printf("%8s %6s %10s %10s %12s %10s\n", "rows", "pages", "layout s", "export s",
                "us per row", "peak MB");
    for (int rows : sizes) {
        Report report = ReportDesignLoader::Load(kDesign);
        MemoryDataSource head({"issuer"});
        head.AddRow({QStringLiteral("Példa Kereskedelmi Kft.\r1117 Budapest\rFő utca 12.")});
        MemoryDataSource lines({"grp", "name", "qty", "net", "vat", "gross"});
        for (int i = 0; i < rows; ++i) {
            const double net = 1000.0 + i * 3.25;
            lines.AddRow({QStringLiteral("Csoport %1").arg(i / 50),
                          i % 9 == 0 ? QStringLiteral("Tétel %1 hosszabb megnevezéssel, amely két "
                                                      "sorba tördelődik a keskeny oszlopban")
                                           .arg(i)
                                     : QStringLiteral("Tétel %1").arg(i),
                          1.5 + i % 4, net, 27, net * 1.27});
        }
        report.SetDataSource("Head", &head);
        report.SetDataSource("Lines", &lines);

        const auto t0 = std::chrono::steady_clock::now();
        const PageDocument doc = ReportLayout(report).Run();
        const auto t1 = std::chrono::steady_clock::now();
        TQRAsciiExportFilter filter(out);
        ExportToFilter(doc, filter);
        const auto t2 = std::chrono::steady_clock::now();
        std::printf("%8d %6zu %10.3f %10.3f %12.1f %10.1f\n", rows, doc.pages.size(),
                    Seconds(t1 - t0), Seconds(t2 - t1), Seconds(t2 - t0) * 1e6 / rows,
                    PeakMegabytes());
    }
    std::printf("text output: %s\n", out.c_str());
    return 0;
}
