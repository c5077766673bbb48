#pragma once
// One call per way out of a report: each lays the report out (running its before-print hook
// and band handlers) and hands the pages to the renderer.

#include <QPrinter>
#include <QWidget>
#include <string>

#include "report/engine/export_filter.h"
#include "report/engine/preview_window.h"
#include "report/engine/report.h"

namespace dorvan::report {

// The preview window, maximised with the whole page in view.
PreviewWindow* PreviewReport(Report& report, QWidget* parent = nullptr);
// The same, application-modal: returns when the window is closed.
void ExecPreviewReport(Report& report, QWidget* parent = nullptr);
void PrintReport(Report& report, QPrinter& printer);
void ExportReportPdf(Report& report, const std::string& path);
void ExportReport(Report& report, ExportFilter& filter);

}  // namespace dorvan::report
