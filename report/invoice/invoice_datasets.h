#pragma once
// The three read-only datasets the invoice report reads, on the data module's main
// connection: the document header with its stored text block
// (Raktar_mozgas_fejZReadOnlyQuery), the document lines with their text snapshots (the
// report's master, Raktar_mozgasZReadOnlyQuery) and the number of different signs per VAT
// key (ElojelZReadOnlyQuery).
//
// The document is chosen by the report's selection, read each time a dataset opens:
// `fej_kod` (or `bizonylatszam` when not empty) selects the document, `prev` 1 reads the
// "_prev_" copies of the document tables, `nyelv` names the second document language. A
// number is looked up as its key first, so that the header, the lines, the sign counts and
// the delivery-note count all read the same document.
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
#include "report/invoice/invoice_selection.h"

namespace dorvan {

class TDM;

class TInvoiceDatasets {
  public:
    // `selection` must outlive the datasets (normally the report owns both).
    TInvoiceDatasets(TDM& dm, const InvoiceSelection& selection);
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

    // The key of the selected document: `fej_kod`, or the key of the document numbered
    // `bizonylatszam` (the lowest key when several; 0 when none).
    int SelectedKey();

    // The reopening the report's preparation runs before every print: the sign dataset
    // (ReopenSigns), the sign footer enabled when some VAT key has more than one sign, then
    // the header and the lines (ReopenHeaderAndLines). Returns whether the sign footer is on.
    bool ReopenAll();
    // Its steps: close, reopen and return the sign dataset rows as (VAT key, number of
    // signs) pairs ...
    std::vector<std::pair<int, long long>> ReopenSigns();
    // ... close the header and the lines, open the header (which runs the closing clauses
    // and may open the lines) and open the lines when still closed, rewound to their first
    // row.
    void ReopenHeaderAndLines();

    // Handlers (installed on the datasets by the constructor).
    void Raktar_mozgas_fejZReadOnlyQueryBeforeOpen(db::DataSet& DataSet);
    void Raktar_mozgas_fejZReadOnlyQueryCalcFields(db::DataSet& DataSet);
    void Raktar_mozgasZReadOnlyQueryBeforeOpen(db::DataSet& DataSet);
    void Raktar_mozgasZReadOnlyQueryCalcFields(db::DataSet& DataSet);
    void ElojelZReadOnlyQueryBeforeOpen(db::DataSet& DataSet);

  private:
    std::string Prefix() const;

    TDM& dm_;
    const InvoiceSelection& selection_;
    bool gyujtoszamlaGroupEnabled_ = false;
    bool signFooterEnabled_ = false;
};

}  // namespace dorvan
