#include "app/console_commands.h"

#include "app/output_file.h"
#include "report/engine/tqr_ascii_export_filter.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::app {

void PrintTest(TQuickRep_szamlabizonylat& report, const std::string& port) {
    report.selection.fej_kod = kConsoleDocumentKey;
    WriteOutputFile(kPrintTestFile, report.TempFolder(), [&report](const std::string& path) {
        report::TQRAsciiExportFilter filter(path);
        report.ExportToFilter(filter);
    });  // the filter is released (its file closed) before the file takes its name
    // The result of the copy is not examined: no port, a busy or a missing device is silent.
    CopyFileToPort(kPrintTestFile, port);
}

void PreviewTest(TQuickRep_szamlabizonylat& report, QWidget* parent) {
    report.selection.fej_kod = kConsoleDocumentKey;
    report.Preview(parent);
}

}  // namespace dorvan::app
