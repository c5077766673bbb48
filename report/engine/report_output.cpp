#include "report/engine/report_output.h"

#include "report/engine/filter_renderer.h"
#include "report/engine/page_painter.h"
#include "report/engine/report_layout.h"

namespace dorvan::report {

PreviewWindow* PreviewReport(Report& report, QWidget* parent) {
    return ShowPreview(ReportLayout(report).Run(), parent);
}

void ExecPreviewReport(Report& report, QWidget* parent) {
    ExecPreview(ReportLayout(report).Run(), parent);
}

void PrintReport(Report& report, QPrinter& printer) {
    PrintDocument(ReportLayout(report).Run(), printer);
}

void ExportReportPdf(Report& report, const std::string& path) {
    WritePdf(ReportLayout(report).Run(), path);
}

void ExportReport(Report& report, ExportFilter& filter) {
    ExportToFilter(ReportLayout(report).Run(), filter);
}

}  // namespace dorvan::report
