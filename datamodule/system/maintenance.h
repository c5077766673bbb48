#pragma once
// Maintenance services of the administrative windows: key sequences re-aligned with the
// stored keys, emptying the tables, price formulas over named unit prices; and the address
// lookups of the partner windows (postcodes, towns, countries).

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dorvan {

class TDM;

// A formula that cannot be computed: malformed, dividing by zero, or naming an unknown
// variable. The message tells which.
class FormulaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Evaluates a price formula: numbers (decimal point or comma), variables between "[" and "]"
// (blanks around the name ignored) valued by `variable`, the four operations with "*" and
// "/" before "+" and "-", parentheses and unary minus; blanks between the parts are ignored.
// Throws FormulaError; `variable` may throw it for an unknown name.
double EvaluateFormula(const std::string& formula,
                       const std::function<double(const std::string&)>& variable);

// A sequence set by SetValSequences: it continues after `value`.
struct TSequenceMove {
    std::string sequence;
    std::string table;
    long long value = 0;
};

class Maintenance {
  public:
    explicit Maintenance(TDM& dm) : dm_(dm) {}

    // Sets every key sequence of the schema to the highest `kod` of its table (at least 1),
    // all in one transaction; each table is locked against inserts while its sequence is
    // set, so a key taken meanwhile is never issued again. Sequences of missing tables are
    // skipped. Returns the sequences set, in name order.
    std::vector<TSequenceMove> SetValSequences();
    // The highest value of a column as text; "1" when there is none (or it is 0).
    std::string GetMaxKey(const std::string& Table, const std::string& Column, std::string& Text);
    // Empties every table of the schema at once (one statement, one transaction), after the
    // user confirmed it (the safe answer is no). False when not confirmed; an error leaves
    // every table as it was.
    bool EmptyAllTables();
    void EmptyTable(const std::string& Table);
    std::vector<std::string> GetCountryList_from_database();
    // The postcode of a town / the town of a postcode (the first one found); "" when none.
    std::string GetIszam(const std::string& Telepules, std::string& Iszam);
    std::string GetTelepules(const std::string& Iszam, std::string& Telepules);
    // The item's price in the price list of this Hungarian name, rounded to a whole number;
    // 0 when there is none.
    double VariableEvaluation(const std::string& Nev, int TetelKod);
    // A price formula over the item's named unit prices ("[Beszerzési ár] * 1,25"); throws
    // FormulaError, also for a price list name the item has no price in.
    double FormulaEvaluation(const std::string& Formula, int TetelKod);

  private:
    TDM& dm_;
};

}  // namespace dorvan
