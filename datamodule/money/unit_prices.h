#pragma once
// Unit-price maintenance: a new last purchase price stored on the item and the automatic
// price lists of the item recomputed from it; single price rows; price-list records.

#include <string>

#include "datamodule/common_types.h"
#include "datamodule/module_query.h"

namespace dorvan {

class TDM;

// A price list (a row of `egysegarak`).
struct TEgysegarInfo {
    int kod = 0;
    std::string nev;                // lang_0000040e; emptied when the list does not exist
    std::string automatikus_ertek;  // "1", "2", "3": kept from the last purchase price
    int alapertelmezett = 0;
    std::string deviza_nev;
};

class UnitPrices {
  public:
    explicit UnitPrices(TDM& dm);

    // Recomputes the item's rows in the automatic price lists the mode visits (0: gross
    // price and VAT key only; 1, 9: kinds 1-3; 2: kind 2; 3: kind 3). All rows change or,
    // when a list's currency has no rate (silent abort), none. 1 when the item has a row in
    // a visited list.
    int RefreshEgysegAr(int TetelKod, int Mode);
    // Stores the last purchase price and recomputes the automatic lists (mode 1), all or
    // nothing: a missing rate leaves the price and every list as they were. 1 when the item
    // exists.
    int SetTetelUtolsoBeszerzesiAr(int TetelKod, double Ar, TDateTime Datum);
    // Writes an existing price row; 0 (nothing created) when the item has no row in the list.
    int SetNewEgysegar(int TetelKod, int EgysegarKod, double Netto, double Brutto);
    // Cached (close GetEgysegarInfoZQuery to read the lists again).
    void GetEgysegarInfo(int Kod, TEgysegarInfo& Info);

    ModuleQuery GetEgysegarInfoZQuery;

  private:
    TDM& dm_;
};

}  // namespace dorvan
