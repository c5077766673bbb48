#pragma once
// Invoicing of delivery notes: the invoiced count of a delivery-note line and of its
// identified pieces, the invoices made from a line, and two lookups of neighbouring records
// (a supplier invoice, the invoiced period of a contract).
//
// A count is tested against its allowed range and changed in one statement, so clients
// invoicing the same line at the same moment can never pass the line's quantity together.

#include <string>
#include <vector>

#include "datamodule/common_types.h"
#include "datamodule/dm_context.h"

namespace dorvan {

// A supplier invoice (`szallitoi_szamlak`); kod 0 when not found.
struct TSzallitoi_szamlakInfo {
    int kod = 0;
    std::string bizonylatszam;
    TDateTime kelte = 0;
    TDateTime telj_datum = 0;
    TDateTime fiz_hatarido = 0;
    int partner_kod = 0;
    std::string deviza_nev;
    double deviza_arfolyam = 0;
    int fizetesmod_kod = 0;
    double netto_vegosszeg = 0;
    double brutto_vegosszeg = 0;
    double netto_vegosszeg_huf = 0;
    double brutto_vegosszeg_huf = 0;
};

// The invoiced period of a contract: first day of its first month, last day of its last.
struct TSzamlazottIdoszak {
    TDateTime Elso = 0;
    TDateTime Utolso = 0;
};

class DeliveryInvoicing {
  public:
    explicit DeliveryInvoicing(DmContext& dm) : dm_(dm) {}

    // Adds `q` (negated on an advance invoice, kind 16) to the invoiced count of a
    // delivery-note line, and to its outside-the-system part when `outside`. True when changed
    // or when the line does not exist; false (nothing changed) when the count would pass the
    // line's quantity: a positive line may not be invoiced beyond it, a negative one not below
    // it, a line of 0 takes no change.
    bool SzallitoSzamlazas(int kod, bool outside, double q);
    // The same on an identified-piece row (`raktar_mozgas_egyedi.kod`); a missing row: false.
    bool SzallitoEgyedSzamlazas(int kod, bool outside, double q);
    // Adds `q` to the piece row of line `rmKod` and piece `egyediKod` without a range test;
    // false when there is no such row.
    bool SzallitoEgyedSzamlazas_str(int rmKod, int egyediKod, bool outside, double q);
    // The number of the invoice of every line made from a delivery-note line, one per line.
    std::vector<std::string> GetSzamlaNev(int kod);
    // The invoice numbers collected by the last reversal, joined by ", ".
    void GetSzallitoSzamokText(std::string& text);
    void GetSzallitoi_szamlakInfo(int kod, TSzallitoi_szamlakInfo& info);
    // Both dates 0 when the contract has no invoiced month.
    void GetSzamlazottIdoszak(int szerzodesKod, TSzamlazottIdoszak& idoszak);

  private:
    DmContext& dm_;
};

}  // namespace dorvan
