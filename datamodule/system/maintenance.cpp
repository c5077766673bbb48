// Maintenance routines, price formulas and address lookups.

#include "datamodule/system/maintenance.h"

#include <cmath>
#include <optional>
#include <set>
#include <string>

#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/retry.h"
#include "db/sql_params.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

// ---- formula evaluation: recursive descent over the text ----

class FormulaParser {
  public:
    FormulaParser(const std::string& text, const std::function<double(const std::string&)>& var)
        : text_(text), variable_(var) {}

    double Parse() {
        SkipBlanks();
        if (pos_ >= text_.size())
            Fail("üres képlet");
        const double value = Sum();
        SkipBlanks();
        if (pos_ < text_.size())
            Fail(std::string("váratlan karakter: \"") + text_[pos_] + "\"");
        if (!std::isfinite(value))
            throw FormulaError("A képlet eredménye nem véges szám");
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw FormulaError("Hibás képlet (" + std::to_string(pos_ + 1) + ". karakter): " + what);
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
    }

    bool Take(char c) {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    double Sum() {
        double value = Product();
        for (;;) {
            if (Take('+'))
                value += Product();
            else if (Take('-'))
                value -= Product();
            else
                return value;
        }
    }

    double Product() {
        double value = Unary();
        for (;;) {
            if (Take('*')) {
                value *= Unary();
            } else if (Take('/')) {
                const std::size_t at = pos_;
                const double divisor = Unary();
                if (divisor == 0) {
                    pos_ = at;
                    throw FormulaError("Nullával osztás a képletben (" + std::to_string(at + 1) +
                                       ". karakter)");
                }
                value /= divisor;
            } else {
                return value;
            }
        }
    }

    double Unary() {
        if (Take('-'))
            return -Unary();
        if (Take('+'))
            return Unary();
        return Primary();
    }

    double Primary() {
        SkipBlanks();
        if (pos_ >= text_.size())
            Fail("hiányzó érték a képlet végén");
        const char c = text_[pos_];
        if (c == '(') {
            ++pos_;
            const double value = Sum();
            if (!Take(')'))
                Fail("hiányzó \")\"");
            return value;
        }
        if (c == '[') {
            const std::size_t close = text_.find(']', pos_ + 1);
            if (close == std::string::npos)
                Fail("hiányzó \"]\"");
            std::string name = text_.substr(pos_ + 1, close - pos_ - 1);
            const auto first = name.find_first_not_of(" \t");
            const auto last = name.find_last_not_of(" \t");
            name =
                first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
            if (name.empty())
                Fail("üres változónév");
            pos_ = close + 1;
            return variable_(name);
        }
        if ((c >= '0' && c <= '9') || c == '.' || c == ',')
            return Number();
        Fail(std::string("váratlan karakter: \"") + c + "\"");
    }

    double Number() {
        std::string digits;
        bool separator = false;
        bool anyDigit = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c >= '0' && c <= '9') {
                digits += c;
                anyDigit = true;
            } else if ((c == '.' || c == ',') && !separator) {
                digits += '.';
                separator = true;
            } else {
                break;
            }
            ++pos_;
        }
        if (!anyDigit)
            Fail("hibás szám");
        if (pos_ < text_.size() && (text_[pos_] == '.' || text_[pos_] == ','))
            Fail("hibás szám");
        return std::stod(digits);
    }

    const std::string& text_;
    const std::function<double(const std::string&)>& variable_;
    std::size_t pos_ = 0;
};

bool PlainIdentifier(const std::string& name) {
    if (name.empty())
        return false;
    for (const char c : name) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

std::string CheckedIdent(const std::string& name) {
    if (!PlainIdentifier(name))
        throw std::invalid_argument("invalid identifier '" + name + "'");
    return db::QuoteIdent(AsciiLower(name));
}

// The table of a key sequence: "raktar_mozgas_fej_kod_seq" gives "raktar_mozgas_fej"; ""
// for a name that does not have that form.
std::string SequenceTable(const std::string& sequence) {
    const std::size_t seq = sequence.find("_seq");
    if (seq == std::string::npos)
        return {};
    const std::string head = sequence.substr(0, seq);
    const std::size_t underscore = head.rfind('_');
    if (underscore == std::string::npos)
        return {};
    std::string table = head.substr(0, underscore);
    if (table == "partner_email_lista_bejegyzes")
        table = "partner_emailtar_bejegyzes";
    return table;
}

// Hides the progress window when the routine ends, also by an error.
struct ProgressScope {
    explicit ProgressScope(UiPort& ui) : ui_(ui) {}
    ~ProgressScope() { ui_.HideProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    UiPort& ui_;
};

// The tables and sequences of the program's own schema.
constexpr const char* kSchemaRelations =
    "  from pg_class join pg_namespace on pg_namespace.oid = pg_class.relnamespace";

std::optional<double> PriceByName(TDM& dm, const std::string& name, int item) {
    auto q = OpenQuery(dm.ZConnection, "VariableEvaluationSQL",
                       {"select tetel_egysegar.Egysegar", "  from egysegarak, tetel_egysegar",
                        "  where egysegarak.Lang_0000040E = :nev",
                        "  and tetel_egysegar.egysegar_kod = egysegarak.kod",
                        "  and Tetel_kod = :tetel_kod", "  order by Egysegar_kod"},
                       {{"nev", name}, {"tetel_kod", item}});
    if (q->IsEmpty())
        return std::nullopt;
    return std::nearbyint(FloatField(*q, "Egysegar"));
}

}  // namespace

double EvaluateFormula(const std::string& formula,
                       const std::function<double(const std::string&)>& variable) {
    return FormulaParser(formula, variable).Parse();
}

std::vector<TSequenceMove> Maintenance::SetValSequences() {
    UiPort& ui = dm_.UserInterface();
    const ProgressScope progress(ui);
    // All tables are locked against inserts in one statement, in the order of their names,
    // before any maximum is read; the main connection's transactions are read committed, so
    // the maxima are read after the lock, never from an older snapshot. A deadlock with a
    // writer (or a serialization failure) is tried again; after the last attempt it is a
    // failure, nothing set.
    return db::RunInTransaction(dm_.ZConnection, [&] {
        std::vector<TSequenceMove> moves;
        auto sequences = OpenQuery(
            dm_.ZConnection, "GetSequencesSQL",
            {"select pg_class.relname", kSchemaRelations,
             "   where (pg_class.relkind = 'S') and (pg_class.relowner <> 1)",
             "     and pg_namespace.nspname = current_schema()", "   order by pg_class.relname"});
        auto keyed =
            OpenQuery(dm_.ZConnection, "SetValSequencesSQL",
                      {"select table_name from information_schema.columns",
                       "  where table_schema = current_schema()", "    and column_name = 'kod'"});
        std::set<std::string> withKey;
        for (keyed->First(); !keyed->Eof(); keyed->Next())
            withKey.insert(TextField(*keyed, "table_name"));
        std::vector<std::pair<std::string, std::string>> work;  // sequence, table
        std::set<std::string> tables;
        for (sequences->First(); !sequences->Eof(); sequences->Next()) {
            const std::string sequence = TextField(*sequences, "relname");
            const std::string table = SequenceTable(sequence);
            if (sequence != "naplo_tetel_egysegar_seq" && withKey.count(table) != 0) {
                work.emplace_back(sequence, table);
                tables.insert(table);
            }
        }
        if (!tables.empty()) {
            std::string list;
            for (const std::string& table : tables)
                list += (list.empty() ? "" : ", ") + db::QuoteIdent(table);
            dm_.ExecSQL("lock table " + list + " in share row exclusive mode");
        }
        ui.ShowProgress("Sequences Testing ...");
        ui.DuckInit(static_cast<int>(work.size()));
        int done = 0;
        for (const auto& [sequence, table] : work) {
            auto set = OpenQuery(dm_.ZConnection, "SetValSequencesSQL",
                                 {"select pg_catalog.setval(cast(:sequence as regclass),",
                                  "    greatest(coalesce((select max(kod) from " +
                                      db::QuoteIdent(table) + "), 0), 1),",
                                  "    true) as value"},
                                 {{"sequence", db::QuoteIdent(sequence)}});
            moves.push_back({sequence, table, Int64Field(*set, "value")});
            ui.DuckRepaint(++done);
            ui.ProcessMessages();
        }
        return moves;
    });
}

std::string Maintenance::GetMaxKey(const std::string& Table, const std::string& Column,
                                   std::string& Text) {
    auto q = OpenQuery(
        dm_.ZConnection, "GetMaxKeySQL",
        {"SELECT MAX(" + CheckedIdent(Column) + ") as maxkey", "  from " + CheckedIdent(Table)});
    Text = TextField(*q, "maxkey");
    if (Text.empty() || Text == "0")
        Text = "1";
    return Text;
}

bool Maintenance::EmptyAllTables() {
    const bool confirmed = dm_.UserInterface().AskYesNo(
        std::string(kApplicationTitle) + " dialog",
        "Az adatbázis minden táblájának minden sora törlődik. Biztosan folytatja?", false);
    if (!confirmed)
        return false;
    db::Transaction tx(dm_.ZConnection);
    auto tables = OpenQuery(
        dm_.ZConnection, "EmptyAllTablesSQL",
        {"select pg_class.relname", kSchemaRelations,
         "  where (pg_class.relkind = 'r') and (pg_class.relowner <> 1)",
         "    and pg_namespace.nspname = current_schema()", "  order by pg_class.relname"});
    // One statement for all tables: no row triggers run (the stock totals would refuse the
    // intermediate states of table-by-table deletes) and nothing is half emptied.
    std::string list;
    for (tables->First(); !tables->Eof(); tables->Next())
        list += (list.empty() ? "" : ", ") + db::QuoteIdent(TextField(*tables, "relname"));
    if (!list.empty())
        dm_.ExecSQL("truncate table " + list);
    tx.Commit();
    return true;
}

void Maintenance::EmptyTable(const std::string& Table) {
    dm_.ExecSQL("delete from " + CheckedIdent(Table));
}

std::vector<std::string> Maintenance::GetCountryList_from_database() {
    std::vector<std::string> list;
    auto q = OpenQuery(dm_.ZConnection, "GetCountryListSQL",
                       {"SELECT ctr_name FROM wsh_co_country ORDER BY ctr_name"});
    for (q->First(); !q->Eof(); q->Next())
        list.push_back(TextField(*q, "ctr_name"));
    return list;
}

std::string Maintenance::GetIszam(const std::string& Telepules, std::string& Iszam) {
    auto q = OpenQuery(dm_.ZConnection, "GetIszamSQL",
                       {"select cit_zip", "   from wsh_co_city", "   where cit_name = :telepules",
                        "   order by kod"},
                       {{"telepules", Telepules}});
    Iszam = TextField(*q, "cit_zip");
    return Iszam;
}

std::string Maintenance::GetTelepules(const std::string& Iszam, std::string& Telepules) {
    auto q = OpenQuery(
        dm_.ZConnection, "GetTelepulesSQL",
        {"select cit_name", "   from wsh_co_city", "   where cit_zip = :iszam", "   order by kod"},
        {{"iszam", Iszam}});
    Telepules = TextField(*q, "cit_name");
    return Telepules;
}

double Maintenance::VariableEvaluation(const std::string& Nev, int TetelKod) {
    try {
        return PriceByName(dm_, Nev, TetelKod).value_or(0);
    } catch (const db::DbError&) {
        return 0;
    }
}

double Maintenance::FormulaEvaluation(const std::string& Formula, int TetelKod) {
    return EvaluateFormula(Formula, [&](const std::string& name) {
        const std::optional<double> price = PriceByName(dm_, name, TetelKod);
        if (!price)
            throw FormulaError("Ismeretlen változó a képletben: [" + name + "]");
        return *price;
    });
}

}  // namespace dorvan
