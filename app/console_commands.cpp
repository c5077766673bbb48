#include "app/console_commands.h"

#include "app/output_file.h"
#include "datamodule/dm.h"
#include "db/errors.h"
#include "report/engine/filter_renderer.h"
#include "report/engine/tqr_ascii_export_filter.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::app {

void PrintTest(TQuickRep_szamlabizonylat& report, const std::string& port) {
    report.selection.fej_kod = kConsoleDocumentKey;
    // The database work is done before the file is opened: a failure there is told as what
    // it is, not as a file that cannot be written.
    const report::PageDocument document = report.Layout();
    WriteOutputFile(kPrintTestFile, report.TempFolder(), [&document](const std::string& path) {
        report::TQRAsciiExportFilter filter(path);
        report::ExportToFilter(document, filter);
    });  // the filter is released (its file closed) before the file takes its name
    // The result of the copy is not examined: no port, a busy or a missing device is silent.
    CopyFileToPort(kPrintTestFile, port);
}

void RunWithDatabase(TDM& dm, const std::function<void()>& command) {
    dm.ReopenLostConnections();
    try {
        command();
        return;
    } catch (const db::ConnectionFailure&) {
        if (!dm.ConnectionLost())
            throw;
    }
    // A loss that showed only when the command used the connection (the server's notice
    // had not arrived yet, a broken network): the connection is opened again and the
    // command, which only reads the database, runs once more.
    dm.ReopenLostConnections();
    try {
        command();
    } catch (const db::ConnectionFailure& e) {
        if (dm.ConnectionLost())
            throw db::ConnectionFailure(dm.ConnectionLostDuringCommand(e.what()), e.SqlState());
        throw;
    }
}

void PreviewTest(TQuickRep_szamlabizonylat& report, QWidget* parent) {
    report.selection.fej_kod = kConsoleDocumentKey;
    report.Preview(parent);
}

}  // namespace dorvan::app
