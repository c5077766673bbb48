#pragma once
// Document numbering: the register of issued document numbers (`szszb`) with the next serial
// of a kind in a year and its printed shape, the next code of a column of a record being
// inserted, the kind of a stored header and the price of an item in a named price list.
//
// A serial is handed out under a lock of its kind and year held until the register row is
// committed, so two workstations never get the same serial and no serial is skipped (a
// rolled-back register row frees its serial for the next caller).

#include <string>

#include "datamodule/common_types.h"
#include "db/param.h"
#include "db/query.h"

namespace dorvan {

class TDM;

// The printed document number: letters + year + "/" + serial (year first) or letters +
// serial + "/" + year; `fill` zero-fills the serial to 7 digits (a longer serial keeps its
// last 7 digits).
std::string FormatBizszam(const std::string& letters, int year, int serial, bool yearFirst,
                          bool fill);

// The next value of a year-and-serial code ("2026/0000042") after `maximum` for a record
// of `year`: the serial restarts at 1 when the latest code is of an earlier year. Throws
// db::ValueConversionError for a latest code whose serial is numeric but whose year is not.
std::string NextYearCode(const std::string& maximum, int year);
// The next barcode after `maximum`: its 3-character prefix and the counter + 1 in 5 digits.
std::string NextBarcode(const std::string& maximum);

class Numbering {
  public:
    explicit Numbering(TDM& dm) : dm_(dm) {}

    // The next serial of `kind` in the year of `date` (0 = no date: year 0), registered and
    // formatted; "" when the server gave no serial.
    std::string AddNewBizszam(int kind, bool yearFirst, TDateTime date, bool fill);
    // The kind's letters from the global settings row, trimmed; "" for a kind without them.
    std::string GetBetujel(int kind);
    // Sets `column` of the record being inserted in `query` (a single-table query) to the
    // next code after the largest one of the table, or of the rows `filter` selects (SQL
    // condition; its ":name" parameters are bound from `params`). A query over several tables
    // gets a message and stays unchanged.
    void NextCodeGen(db::Query& query, const std::string& column, const std::string& dateColumn,
                     const std::string& filter, const db::ParamValues& params = {});
    // `bizonylat_fajta` of a header (tableSwitch 1: the snapshot table); 0 when none.
    int GetRaktarBizonylatFajta(int kod, int tableSwitch);
    // Net and gross price of an item in the price list of this Hungarian name; both
    // -99999999.0 (the mark of a missing value) when there is no such list.
    void GetValtozoErtek(const std::string& name, int tetelKod, TEgysegar& price);

  private:
    TDM& dm_;
};

}  // namespace dorvan
