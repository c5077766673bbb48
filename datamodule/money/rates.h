#pragma once
// Exchange rates: the forint value of one unit of a currency on a day (deviza_arfolyam),
// conversions between currencies through the forint, and the forint's own rows.

#include <string>

#include "datamodule/common_types.h"

namespace dorvan {

class TDM;

class Rates {
  public:
    explicit Rates(TDM& dm) : dm_(dm) {}

    // The rate valid on `Datum` (the latest on or before that day), rounded to hundredths on
    // its decimal value (exact halves to even). A rate of 0 (also after rounding) gives 1.
    // "HUF" without a rate on or before that day stores a rate of 1 dated that day (one row
    // even when several clients ask at once) and gives 1. Another currency without a rate
    // gives -1. Unless `Silent`, a rate of another day (or none) is reported to the user.
    double GetArfolyam(const std::string& DevizaNev, bool Silent, TDateTime Datum);
    // `Osszeg` of currency `Forras` in currency `Cel` (empty means "HUF") through the forint
    // values of the day; not rounded. A missing rate raises SilentAbort.
    double lib_convertCurrency(const std::string& Forras, const std::string& Cel, double Osszeg,
                               TDateTime Datum);
    // Both prices of `Source` converted to `CelDeviza`; a cleared record when either
    // currency is empty.
    void ConvertEgysegar(const std::string& CelDeviza, const TEgysegar& Source, TDateTime Datum,
                         TEgysegar& Target);
    // The "HUF" row of the currency table exists afterwards (one row however many clients
    // make sure of it at once).
    void DevizaCheckAndRebuild();

  private:
    TDM& dm_;
};

}  // namespace dorvan
