#pragma once
// Record types shared by the services of the data module.

#include <string>

#include "db/date_time.h"

namespace dorvan {

using db::TDateTime;

// Unit price: net and gross price, VAT key and currency code (empty = HUF).
struct TEgysegar {
    double egysegar = 0;
    double egysegar_brutto = 0;
    int afa_kulcs = 0;
    std::string deviza_nev;
};

// The database server's clock: date (no time), time of day (whole seconds) and both.
struct TServerDateTime {
    TDateTime Date = 0;
    TDateTime Time = 0;
    TDateTime DateTime = 0;
};

}  // namespace dorvan
