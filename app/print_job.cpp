#include "app/print_job.h"

#include <string>

#include "app/console_commands.h"
#include "datamodule/dm.h"
#include "report/invoice/szamlabizonylat.h"
#include "report/nav/nav_export.h"

namespace dorvan::app {

namespace {

constexpr const char* kHeaderByKey = "select kod from raktar_mozgas_fej where kod = :kod limit 1";
constexpr const char* kPrevHeaderByKey =
    "select kod from _prev_raktar_mozgas_fej where kod = :kod limit 1";
constexpr const char* kHeaderByNumber =
    "select kod from raktar_mozgas_fej where bizonylatszam = :bizonylat limit 1";
constexpr const char* kPrevHeaderByNumber =
    "select kod from _prev_raktar_mozgas_fej where bizonylatszam = :bizonylat limit 1";

void SetDocument(TQuickRep_szamlabizonylat& report, const PrintOptions& options) {
    report.fej_kod = options.key.value_or(kConsoleDocumentKey);
    report.bizonylatszam = options.number.value_or("");
    report.nyelv = options.lang;
    report.prev = options.prev ? 1 : 0;
}

}  // namespace

void CheckDocumentExists(TDM& dm, const PrintOptions& options) {
    if (options.key) {
        const std::string found = dm.GetSQLResult(options.prev ? kPrevHeaderByKey : kHeaderByKey,
                                                  db::ParamValues{{"kod", *options.key}});
        if (found.empty()) {
            throw DocumentNotFound("Nincs ilyen bizonylat: kulcs " + std::to_string(*options.key));
        }
    }
    if (options.number) {
        const std::string found =
            dm.GetSQLResult(options.prev ? kPrevHeaderByNumber : kHeaderByNumber,
                            db::ParamValues{{"bizonylat", *options.number}});
        if (found.empty()) {
            throw DocumentNotFound("Nincs ilyen bizonylat: bizonylatszám \"" + *options.number +
                                   "\"");
        }
    }
}

void RunPrintJob(TQuickRep_szamlabizonylat& report, const PrintOptions& options) {
    if (options.navXml) {
        TInvoiceReportProperties document;
        document.fej_kod = options.key.value_or(kConsoleDocumentKey);
        document.bizonylatszam = options.number.value_or("");
        document.prev = options.prev ? 1 : 0;
        nav::ExportNavXml(report.Dm(), document, *options.navXml);
    }
    std::optional<std::string> text = options.text;
    std::optional<std::string> port = options.port;
    if (options.PrintTestOutput()) {
        text = kPrintTestFile;
        port = port.value_or(Lpt1DevicePath());
    }
    if (text) {
        SetDocument(report, options);
        report.ExportText(*text);
        if (port) {
            CopyFileToPort(*text, *port);  // silent, as the console's print test
        }
    }
    if (options.pdf) {
        SetDocument(report, options);
        report.ExportPdf(*options.pdf);
    }
    if (options.print) {
        SetDocument(report, options);
        report.Print(options.printer);
    }
    if (options.copies) {
        SetDocument(report, options);
        report.PrintCopies(options.printer);
    }
}

}  // namespace dorvan::app
