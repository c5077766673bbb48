#include "app/print_job.h"

#include <iostream>
#include <string>
#include <vector>

#include "app/console_commands.h"
#include "app/output_file.h"
#include "app/port_copy.h"
#include "datamodule/dm.h"
#include "nav/nav_export.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::app {

namespace {

constexpr const char* kHeaderByKey = "select kod from raktar_mozgas_fej where kod = :kod limit 1";
constexpr const char* kPrevHeaderByKey =
    "select kod from _prev_raktar_mozgas_fej where kod = :kod limit 1";
constexpr const char* kHeaderByNumber =
    "select kod from raktar_mozgas_fej where bizonylatszam = :bizonylat limit 1";
constexpr const char* kPrevHeaderByNumber =
    "select kod from _prev_raktar_mozgas_fej where bizonylatszam = :bizonylat limit 1";

// The invoice data for the tax authority: written (--nav-xml), its warnings and its operation
// printed. The invoice appears as ELECTRONIC when the run makes only a PDF of it.
void RunNavOutput(TQuickRep_szamlabizonylat& report, const PrintOptions& options) {
    nav::TNavExportOptions nav;
    const bool paper = options.text || options.print || options.copies || options.port;
    nav.appearance = options.pdf && !paper ? "ELECTRONIC" : "PAPER";
    // The whole document is built and checked before its file is touched; the file goes the
    // way of every output.
    const nav::TNavExport exported = nav::BuildNavExport(report.Dm(), report.selection, nav);
    if (options.navXml)
        WriteOutputBytes(*options.navXml, report.TempFolder(), exported.xml);
    if (options.navOperation)
        std::cout << nav::OperationLine(exported.invoice) << '\n';
    if (options.navWarnings) {
        for (const nav::TNavFinding& warning : exported.warnings)
            std::cout << nav::FindingText(warning) << '\n';
    }
    std::cout.flush();
}

void SetDocument(TQuickRep_szamlabizonylat& report, const PrintOptions& options) {
    report.selection.fej_kod = options.key.value_or(kConsoleDocumentKey);
    report.selection.bizonylatszam = options.number.value_or("");
    report.selection.nyelv = options.lang;
    report.selection.prev = options.prev ? 1 : 0;
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
    std::optional<std::string> text = options.text;
    std::optional<std::string> port = options.port;
    if (options.PrintTestOutput()) {
        text = kPrintTestFile;
        port = port.value_or(Lpt1DevicePath());
    }
    // Every target is examined and compared with the others (the port too) before anything
    // is written. A port is written after the text, so a failing port leaves the text whole.
    std::vector<std::string> files;
    for (const auto& file : {options.navXml, text, options.pdf})
        if (file)
            files.push_back(*file);
    std::vector<std::string> ports;
    if (port)
        ports.push_back(*port);
    CheckOutputs(files, ports);

    if (options.NavOutput()) {
        SetDocument(report, options);
        RunNavOutput(report, options);
    }
    if (text) {
        SetDocument(report, options);
        std::string portFailure;
        WriteOutputFile(
            *text, report.TempFolder(),
            [&report](const std::string& path) { report.ExportText(path); }, {},
            [&](const std::string& finished) {
                // The print test's own port is copied silently, as the console does; a port
                // named on the command line must take the whole file.
                if (port && !CopyFileToPort(finished, *port, &portFailure) && options.port)
                    throw PortCopyFailed(portFailure);
            });
    }
    if (options.pdf) {
        SetDocument(report, options);
        WriteOutputFile(
            *options.pdf, report.TempFolder(),
            [&report](const std::string& path) { report.ExportPdf(path); }, PdfComplete);
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
