#pragma once
// The invoice report: the design (bands, controls, page-level items) loaded from
// szamlabizonylat_design.json, the band rules, the header preparation that runs before the
// first page, and one call per way out (text filter, PDF, preview, printer, copy run).
//
//   TQuickRep_szamlabizonylat rep(*DM);
//   rep.selection.fej_kod = 4317;
//   rep.ExportText("racun.txt");
//
// Errors (database, missing columns, unwritable files) rise to the caller.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "report/engine/export_filter.h"
#include "report/engine/page_model.h"
#include "report/engine/report.h"
#include "report/invoice/invoice_selection.h"

namespace dorvan {

class TDM;
class RunTempFolder;

// The three datasets the invoice reads, as the header preparation drives them. The real
// ones (TInvoiceDatasets) run on the data module's connection and read the report's
// selection; tests may give in-memory ones.
class InvoiceData {
  public:
    virtual ~InvoiceData();

    // The reopening before every print (TInvoiceDatasets::ReopenAll): the sign dataset, the
    // sign footer switched on when the lines of some VAT key have more than one sign (the
    // lines caption their sign subtotals only then), then the header and the lines, rewound
    // to their first row. Returns whether the sign footer is on.
    virtual bool Reopen() = 0;
    // Whether the delivery-note group band prints, decided when the lines opened.
    virtual bool GyujtoszamlaGroupEnabled() const = 0;

    // The sources may change when a dataset reopens; the report asks for them at every run.
    virtual report::DataSource& Header() = 0;  // "Raktar_mozgas_fejZReadOnlyQuery"
    virtual report::DataSource& Lines() = 0;   // "Raktar_mozgasZReadOnlyQuery", the master
    virtual report::DataSource& Sign() = 0;    // "ElojelZReadOnlyQuery"
};

class TQuickRep_szamlabizonylat {
  public:
    // Builds the report on the data module's datasets.
    explicit TQuickRep_szamlabizonylat(TDM& dm);
    // Builds the report on datasets of the caller's choice (kept, not owned; they do not read
    // `selection`).
    TQuickRep_szamlabizonylat(TDM& dm, InvoiceData& data);
    ~TQuickRep_szamlabizonylat();
    TQuickRep_szamlabizonylat(const TQuickRep_szamlabizonylat&) = delete;
    TQuickRep_szamlabizonylat& operator=(const TQuickRep_szamlabizonylat&) = delete;

    // The document to print: key, or number when not empty (it wins over the key); the second
    // document language; the "_prev_" snapshot; the copy run. The datasets read it by
    // reference at every run.
    InvoiceSelection selection;

    // Ways out; each prepares the report and lays it out again.
    void ExportToFilter(report::ExportFilter& filter);
    // Plain text for dot-matrix printers (Windows-1250, CR LF).
    void ExportText(const std::string& path);
    void ExportPdf(const std::string& path);
    // Modal preview: returns when the window is closed.
    void Preview(QWidget* parent = nullptr);
    // Prints on the named printer; empty: the invoice printer of the settings
    // (`PrinterSzamla`) when set, else the system's default printer.
    void Print(const std::string& printerName = {});
    // The laid-out pages (tests, benchmarks).
    report::PageDocument Layout();

    // The copy count of a copy run for the current document (`szamla_peldanyszam`, or
    // `szamla_peldanyszam_halasztott` for a deferred payment method), then resets the
    // selection's `fej_kod`, `bizonylatszam`, `peldanyszam` and `peldany`. Prints nothing;
    // returns the count.
    int Print_all();
    // The copy run: prints the copy count of Print_all's rule, copy 1 to n with `peldany` set
    // (copy 1 labelled "(EREDETI)"), on the printer as Print chooses it, then resets the
    // properties as Print_all does. Returns the number of copies printed.
    int PrintCopies(const std::string& printerName = {});
    // The same copy run with the printing of one copy of the caller's choice (called with the
    // selection's `peldanyszam` and `peldany` set).
    int RunCopies(const std::function<void()>& printCopy);

    // The report model itself (design, state of the last run).
    report::Report& Design() { return report_; }
    InvoiceData& Data() { return *data_; }
    TDM& Dm() { return dm_; }
    // The temporary folder of this report's runs (pictures, the fixed text), private to the
    // process; made on first use, removed with the report.
    RunTempFolder& TempFolder();

    // The header preparation, run by the engine before the first page of every run.
    void QuickRepBeforePrint(report::Report& report);
    // Whether the last preparation translated the second-language labels (a second language
    // with a language key); the band rules show such labels only then.
    bool languageLabelsShown = false;

  private:
    void Init();
    // The datasets as they are now (a reopened dataset may hand over a new source).
    void BindDataSources();
    int CopyCount();
    void ResetDocument();

    TDM& dm_;
    std::unique_ptr<InvoiceData> ownData_;
    InvoiceData* data_ = nullptr;
    report::Report report_;
    std::unique_ptr<RunTempFolder> tempFolder_;
};

}  // namespace dorvan
