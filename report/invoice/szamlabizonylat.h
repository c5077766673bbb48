#pragma once
// The invoice report: the design (bands, controls, page-level items) loaded from
// szamlabizonylat_design.json, the band rules, the header preparation that runs before the
// first page, and one call per way out (text filter, PDF, preview, printer, copy run).
//
//   TQuickRep_szamlabizonylat rep(*DM);
//   rep.fej_kod = 4317;
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

namespace dorvan {

class TDM;

// The three datasets the invoice reads, as the header preparation drives them. The real
// ones (TInvoiceDatasets) run on the data module's connection; tests may give in-memory ones.
class InvoiceData {
  public:
    virtual ~InvoiceData();

    // The document to print, handed over before each run.
    struct Selection {
        int fej_kod = 0;
        std::string bizonylatszam;
        std::string nyelv;
        int prev = 0;
        int peldanyszam = 0;
        int peldany = 0;
    };
    virtual void Select(const Selection& selection) = 0;

    // Closes and reopens the sign dataset (per VAT key the number of different signs).
    virtual void ReopenSign() = 0;
    // Whether the sign footer band is on; the lines caption their sign subtotals only then.
    virtual void SetSignFooterEnabled(bool on) = 0;
    // Closes the header and the lines.
    virtual void CloseHeaderAndLines() = 0;
    // Opens the header when closed (may open the lines as a side effect).
    virtual void OpenHeader() = 0;
    // Opens the lines when closed, rewound to their first row.
    virtual void OpenLines() = 0;
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
    // Builds the report on datasets of the caller's choice (kept, not owned).
    TQuickRep_szamlabizonylat(TDM& dm, InvoiceData& data);
    ~TQuickRep_szamlabizonylat();
    TQuickRep_szamlabizonylat(const TQuickRep_szamlabizonylat&) = delete;
    TQuickRep_szamlabizonylat& operator=(const TQuickRep_szamlabizonylat&) = delete;

    // The document to print: key, or number when not empty (it wins over the key).
    int fej_kod = 0;
    std::string bizonylatszam;
    // Second document language ("00000409", ...); empty: Hungarian only.
    std::string nyelv;
    // 1: the "_prev_" snapshot of a document being edited.
    int prev = 0;
    // Copy run: the number of copies (0: no copy run) and the copy being printed (from 1).
    int peldanyszam = 0;
    int peldany = 0;

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
    // `szamla_peldanyszam_halasztott` for a deferred payment method), then resets `fej_kod`,
    // `bizonylatszam`, `peldanyszam` and `peldany`. Prints nothing; returns the count.
    int Print_all();
    // The copy run: prints the copy count of Print_all's rule, copy 1 to n with `peldany` set
    // (copy 1 labelled "(EREDETI)"), on the printer as Print chooses it, then resets the
    // properties as Print_all does. Returns the number of copies printed.
    int PrintCopies(const std::string& printerName = {});
    // The same copy run with the printing of one copy of the caller's choice (called with
    // `peldanyszam` and `peldany` set).
    int RunCopies(const std::function<void()>& printCopy);

    // The report model itself (design, state of the last run).
    report::Report& Design() { return report_; }
    InvoiceData& Data() { return *data_; }
    TDM& Dm() { return dm_; }

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
};

}  // namespace dorvan
