#pragma once
// Cash-desk postings: money moves between money accounts (`penzeszkoz_iktato`), the
// reversal of a cash-desk document, the latest date of a direction.
//
// Cash-desk numbers ("2026/0000042") are kept in one sequence per direction and year: the next
// number of a year is the largest serial of that direction within that year + 1, so postings
// dated in an earlier year (December entered in January) continue that year's sequence, and
// numbers given by hand in another shape take no part. Numbers of a direction are taken one
// at a time (a lock of the direction held until the posting is committed), and each number
// handed out is also entered in `penztar_bizonylat_szam`, whose key admits a number once per
// direction; a posting that meets a number taken meanwhile takes the next one.

#include <string>

#include "datamodule/common_types.h"
#include "db/query.h"

namespace dorvan {

class TDM;

class CashDesk {
  public:
    explicit CashDesk(TDM& dm) : dm_(dm) {}

    // Records one posting; the result is its cash-desk number: `penztarBizonylat` when given
    // (several rows of one cash-desk document), else a new number of the direction, or ""
    // for direction 0.
    std::string AddNew_PenzeszkozValt(int partnerKod, const std::string& bizonylatszam,
                                      TDateTime datum, int forrasPenzeszkoz, int celPenzeszkoz,
                                      double osszeg, const std::string& megjegyzes,
                                      const std::string& fokonyviszam, int raktarMozgasFejKod,
                                      int szallitoiSzamlakKod, int irany,
                                      const std::string& penztarBizonylat);
    // Reverses the rows of a cash-desk document not yet reversed, all of them under one new
    // number of the direction, all or none; the new number, "" when nothing was reversed.
    std::string PenzeszkozSztorno(const std::string& penztarBizonylat, int irany, TDateTime datum);
    // The latest date of the direction's postings; 0 when there is none.
    TDateTime GetLastPenztBizKelt(int irany);

  private:
    // Sets `penztar_bizonylat` of the row being inserted to the direction's next number in the
    // year of its `datum` and enters it in the register (a number taken meanwhile raises
    // db::UniqueViolation).
    void TakeNextNumber(db::Query& query, int irany);

    TDM& dm_;
};

}  // namespace dorvan
