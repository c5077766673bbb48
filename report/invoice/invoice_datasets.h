#pragma once
// The three read-only datasets the invoice report reads, on the data module's main
// connection: the document header with its stored text block
// (Raktar_mozgas_fejZReadOnlyQuery), the document lines with their text snapshots (the
// report's master, Raktar_mozgasZReadOnlyQuery) and the number of different signs per VAT
// key (ElojelZReadOnlyQuery).
//
// The document is chosen by the report's properties, read each time a dataset opens:
// `fej_kod` (or `bizonylatszam` when not empty) selects the header, `prev` 1 reads the
// "_prev_" copies of the document tables, `nyelv` names the second document language.
//
// Each dataset rewrites the lines of its statement that name the tables and the selection
// before it opens; values always go in as bound parameters. Every column the report binds
// must be in the result: a missing one fails the opening with db::FieldNotFound.
//
// Calculated columns are recomputed each time a row becomes current. The header's run the
// document closing clauses, which may open the lines and leave them after their last row;
// callers rewind the lines (First) before walking them.
// The lengths given to calculated text columns are their declared sizes; values are kept
// whole, never cut to them.
//
// Nothing is written back; the datasets stay open until closed or reopened.

#include <string>
#include <vector>

#include "db/query.h"

namespace dorvan {

class TDM;

// The report properties that select the printed document. The report object owns them;
// the datasets read them each time they open or compute a row.
struct TInvoiceReportProperties {
    int fej_kod = 0;            // key of the document header
    std::string bizonylatszam;  // when not empty the header is selected by this number
    std::string nyelv;          // second language: 8 hex digits ("00000409"), "" none
    int prev = 0;               // 1: the "_prev_" copy of a document being edited
    int peldanyszam = 0;        // number of copies being printed; 0 no copy run
    int peldany = 0;            // number of the copy now printed, from 1
};

class TInvoiceDatasets {
  public:
    // `properties` must outlive the datasets (normally both are members of the report).
    TInvoiceDatasets(TDM& dm, const TInvoiceReportProperties& properties);
    ~TInvoiceDatasets();
    TInvoiceDatasets(const TInvoiceDatasets&) = delete;
    TInvoiceDatasets& operator=(const TInvoiceDatasets&) = delete;

    // The datasets under their component names.
    db::Query Raktar_mozgas_fejZReadOnlyQuery;
    db::Query Raktar_mozgasZReadOnlyQuery;
    db::Query ElojelZReadOnlyQuery;

    // By component name (letter case ignored); nullptr for another name.
    db::Query* DataSetByName(const std::string& name);

    // Whether the delivery-note group band (QRGroup_gyujtoszamla) prints: decided each
    // time the lines open (collective invoice with lines invoiced from delivery notes).
    bool GyujtoszamlaGroupEnabled() const { return gyujtoszamlaGroupEnabled_; }

    // Whether the sign footer band (QRBand_GF2) is enabled; set by the report's
    // preparation before the header and the lines reopen. Only while it is on do the
    // lines fill `elojel_leiras` and `elojel_leiras_lengtext`.
    bool SignFooterEnabled() const { return signFooterEnabled_; }
    void SetSignFooterEnabled(bool on) { signFooterEnabled_ = on; }

    // True when the header found no document row (the report still prints its fixed
    // texts; the lines come back empty). Valid while the header is open.
    bool HeaderEmpty() const;

    // The order the report's preparation uses: close, reopen and return the sign dataset
    // rows as (VAT key, number of signs) pairs ...
    std::vector<std::pair<int, long long>> ReopenSigns();
    // ... then close the header and the lines, open the header (which runs the closing
    // clauses and may open the lines) and open the lines when still closed, rewound to
    // their first row.
    void ReopenHeaderAndLines();
    // Both steps, with the sign footer enabled when some VAT key has more than one sign.
    void ReopenAll();

    // Handlers (installed on the datasets by the constructor).
    void Raktar_mozgas_fejZReadOnlyQueryBeforeOpen(db::DataSet& DataSet);
    void Raktar_mozgas_fejZReadOnlyQueryCalcFields(db::DataSet& DataSet);
    void Raktar_mozgasZReadOnlyQueryBeforeOpen(db::DataSet& DataSet);
    void Raktar_mozgasZReadOnlyQueryCalcFields(db::DataSet& DataSet);
    void ElojelZReadOnlyQueryBeforeOpen(db::DataSet& DataSet);

  private:
    std::string Prefix() const;

    TDM& dm_;
    const TInvoiceReportProperties& properties_;
    bool gyujtoszamlaGroupEnabled_ = false;
    bool signFooterEnabled_ = false;
};

}  // namespace dorvan
