#pragma once
// Closing clauses of printed documents and the printed texts of document lines: the pure
// parts (amount formatting, the clause accumulation, the individual-unit list). The
// routines that read documents are methods of TDM (closing_clauses.cpp):
//   Raktar_mozgas_fejZaradekCalcFields(header, lines)  fills `zaradek`, `zaradek_langtext`,
//                                                       `projekt_zaradek`
//   GetMasodik_sor(lines, preview flag, name-layout suffix)
//   GetEgyediMegjegyzes(line key, preview flag)
// Clauses inside one text are separated by a single carriage return ("\r").

#include <string>
#include <vector>
#include "db/dataset.h"

namespace dorvan {

// Numbered texts of `bizonylat_nyelv` used by the closing clauses.
inline constexpr int kZaradekForintText = 90010;    // "A fenti összegek magyar forintban ..."
inline constexpr int kZaradekDevizaText = 90020;    // "A fenti összegek "
inline constexpr int kZaradekArfolyamText = 90030;  // "Árfolyam:"
inline constexpr int kZaradekNettoText = 90040;     // "Nettó végösszeg:"
inline constexpr int kZaradekAfaText = 90050;       // "ÁFA végösszeg:"
inline constexpr int kZaradekBruttoText = 90060;    // "Fizetendő (bruttó) végösszeg:"
inline constexpr int kZaradekProjektText = 90070;   // start of the project line

// An amount in forints as the clauses print it: grouped thousands, two decimals (rounded
// half away from zero), the workstation's separators and " HUF" behind; negative amounts
// with a leading "-". This is the output of the masks "###,##0.00 HUF" and
// "###,###,###,##0.00 HUF".
std::string FormatHufAmount(double value);

// A quantity as plain text: up to 15 significant digits, no trailing zeros, the
// workstation's decimal separator ("2,5").
std::string FormatQuantity(double value);

// Joins the lines' own clauses: each non-empty clause that does not already occur inside
// the text so far (as a substring) is added, separated by a carriage return.
std::string JoinLineClauses(const std::vector<std::string>& clauses);

// One individual unit of a line: its identifier and quantity.
struct TEgyediTetel {
    std::string egyedi_azonosito;
    double mennyiseg = 0;
};

// "[id1, id2 (3), ...]": identifiers separated by ", ", each followed by its quantity in
// parentheses when that is not 1; "" without units.
std::string EgyediLista(const std::vector<TEgyediTetel>& units);

class TDM;

// The routines of closing clauses and line texts that read documents.
class ClosingClauses {
  public:
    explicit ClosingClauses(TDM& dm) : dm_(dm) {}

    // Fills the header's `zaradek` and, when the header has them, `zaradek_langtext` and
    // `projekt_zaradek` (`projekt_zaradek_langtext`): the lines' own clauses, the document's
    // clause, the currency statement, the amount in words, the payment clause, the project
    // line; the second-language texts in the partner's `masodik_nyelv`. Clauses are
    // separated by "\r". Opens the lines when closed and leaves them after the last row.
    void Raktar_mozgas_fejZaradekCalcFields(db::DataSet& Fej, db::DataSet& Tetel);
    // Printed text of the current line: the item name (GetBizonylatNev with `Suffix`), the
    // trimmed note, a space, the individual units (`egyed_info` when the dataset has it,
    // else GetEgyediMegjegyzes).
    std::string GetMasodik_sor(db::DataSet& Tetel, int Prev, const std::string& Suffix);
    // "[id, id (2), ...]" of the individual units of a line (Prev 1: the "_prev_" copy);
    // "" when it has none.
    std::string GetEgyediMegjegyzes(int SorKod, int Prev);

  private:
    TDM& dm_;
};

}  // namespace dorvan
