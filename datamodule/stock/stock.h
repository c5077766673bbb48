#pragma once
// Stock figures and average cost: read-only lookups over the running totals the database
// keeps (tetel_raktar, tetel_raktar_egyedi) and over the document lines.

#include "datamodule/dm_context.h"
#include "db/date_time.h"

namespace dorvan {

// Quantity on hand, reserved and free quantity of identified pieces. In
// GetTetelEgyediKeszlet `mennyiseg` doubles as a status: -2 the identifier does not exist,
// -1 it exists but has no single stock row for the item and warehouse.
struct TEgyediKeszlet {
    double mennyiseg = 0;
    double foglalt = 0;
    double szabad = 0;
};

class StockFigures {
  public:
    explicit StockFigures(DmContext& context) : context_(context) {}

    // Free quantity of an item in a warehouse now; 0 when there is no row.
    double GetKeszlet(int TetelKod, int RaktarKod);
    // Quantity of an item in a warehouse as of a date: lines into the warehouse count
    // positive, lines out of it negative, only lines of documents dated on or before the
    // date (its time of day ignored). 0 when nothing moved.
    double Get_Keszlet(int TetelKod, int RaktarKod, db::TDateTime Datum);
    // One identified piece of an item in a warehouse; `mennyiseg` -2 / -1 as above (the
    // other two fields then keep the caller's values).
    void GetTetelEgyediKeszlet(const std::string& Azonosito, int TetelKod, int RaktarKod,
                               TEgyediKeszlet& Keszlet);
    // The three figures summed over all warehouses and identifiers of an item (0 without
    // identified stock).
    void GetTetelEgyediOsszesKeszlet(int TetelKod, TEgyediKeszlet& Keszlet);
    // Average cost of the item in the warehouse after its latest line there (latest
    // document date, then time, then line key); the target side wins when a line names the
    // warehouse on both sides. 0 when the item never moved there.
    double GetUtolsoAtlagar(int TetelKod, int RaktarKod);

  private:
    DmContext& context_;
};

}  // namespace dorvan
