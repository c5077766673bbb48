#pragma once
// Price determination: the unit price a partner pays for an item on a day, and its building
// blocks (an item's price in a list, the default list of a currency, a list by name, the
// partner's quotation price, discount and yearly turnover, the retail price).

#include <string>

#include "datamodule/common_types.h"

namespace dorvan {

class TDM;

class Pricing {
  public:
    explicit Pricing(TDM& dm) : dm_(dm) {}

    // The partner's price, first rule that applies: a valid quotation (net price not 0);
    // a promotional item's default-list price; the best price rule of the partner's group
    // by item category (a later rule of equal score replaces an earlier one, rules taken by
    // key); the default list. Group-rule and default-list prices then get the partner's
    // discount (pricing modes 1 and 2). A VAT-exempt partner gets the EU-exempt key, reverse
    // charge (the item's flag or the project's) the reverse-charge key, both with gross =
    // net. Unless `Silent`, a reverse-charge item for a partner without a tax number is
    // reported to the user. No rounding; no currency conversion.
    void GetPartnerEgysegar(int TetelKod, int PartnerKod, int FizetesmodKod, int ProjektKod,
                            bool Silent, TDateTime Datum, const std::string& DevizaNev,
                            TEgysegar& Egysegar);
    // The item's price in a list; zeros and "HUF" when it has none.
    void GetTetelEgysegar(int TetelKod, int EgysegarKod, TEgysegar& Egysegar);
    // Key of the default list for a currency (the forint list unless the settings use a
    // default list per currency; the forint list when the currency has none); 0 when none.
    int GetAlapertelmezettEgysegar(const std::string& DevizaNev);
    // Key of the list of that Hungarian name (the lowest key of several); 0 when none.
    int GetEgysegarKod(const std::string& Nev);
    // The price of the partner's accepted quotation valid on `Datum` whose validity starts
    // latest (of several starting the same day, the one recorded last); all zero when none.
    void GetPartnerArajanlatAr(int PartnerKod, int TetelKod, TDateTime Datum, TEgysegar& Egysegar);
    // The partner's discounts for a payment method, compounded (10 % and 5 % give 14.5 %):
    // rows of another payment method and rows whose turnover limit is above this year's
    // turnover do not count.
    double GetPartnerKedvezmeny(int PartnerKod, int FizetesmodKod);
    // Net forint turnover of the partner's receipts and invoices in the server's current year.
    double GetPartnerNettoForgalom(int PartnerKod);
    // The retail price from the database on a day; 0 when there is none.
    double Kiskerar(int TetelKod, TDateTime Datum);

  private:
    TDM& dm_;
};

// The `n`-th character (1-based, counted in characters) of a UTF-8 text; "" past its end.
std::string NthCharacter(const std::string& text, std::size_t n);

}  // namespace dorvan
