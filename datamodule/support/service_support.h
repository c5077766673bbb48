#pragma once
// Chores every service of the data module repeats, written once: a query for one call with
// bound parameters, typed field reads with their null rules, the column of a language, the
// snapshot table name, ASCII lower case, the editing-state test, and the document kinds.

#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/dataset.h"
#include "db/param.h"
#include "db/query.h"

namespace dorvan {

// Document kinds (`bizonylat_fajta`), as named in the shared table of kinds
// (lib_bizonylatFajtaNev gives their printed names).
enum class BizonylatFajta : int {
    Ismeretlen = 0,
    RaktarMozgas = 1,
    BizomanyosiAtadas = 2,
    NyugtasEladas = 3,
    SzallitosEladas = 4,
    SzamlasEladas = 5,
    RaktarkoziMozgas = 6,
    RaktarMozgas2 = 7,
    GyartasiLap = 8,
    ProformaSzamla = 9,
    Arajanlat = 10,
    KimenoMegrendeles = 11,
    BejovoMegrendelesVisszaigazolas = 12,
    ProjektFelhasznalas = 13,
    FelvasarlasiJegy = 14,
    Arajanlatkero = 15,
    Elolegszamla = 16,
    AtveteliJegy = 17,
};

constexpr int ToInt(BizonylatFajta fajta) {
    return static_cast<int>(fajta);
}

// A query on `connection` for one call, named after its purpose ("NextCodeGenSQL"), with
// `params` bound to its ":name" parameters, opened. The caller owns it; it is released with
// its unique_ptr, also when an exception passes.
std::unique_ptr<db::Query> OpenQuery(db::Connection& connection, std::string name,
                                     std::vector<std::string> sql,
                                     const db::ParamValues& params = {});
// The same for a statement that returns no rows; the number of rows it touched.
long ExecQuery(db::Connection& connection, std::string name, std::vector<std::string> sql,
               const db::ParamValues& params = {});

// Typed reads of a column of the current row. A null reads as 0, 0.0 and "" (what the
// product's fields give for an empty column); a missing column raises db::FieldNotFound.
int IntField(const db::DataSet& dataSet, const std::string& column);
long long Int64Field(const db::DataSet& dataSet, const std::string& column);
double FloatField(const db::DataSet& dataSet, const std::string& column);
std::string TextField(const db::DataSet& dataSet, const std::string& column);
bool IsNullField(const db::DataSet& dataSet, const std::string& column);

// The Hungarian language code, the one "0" and "" stand for.
inline constexpr const char* kHungarianLang = "0000040e";

// A language code made canonical: "0" and "" give "0000040e", other codes are lower-cased;
// a code that is not eight hexadecimal digits throws std::invalid_argument (it becomes
// part of a column name, so it is checked before any statement sees it).
std::string NormalLangCode(const std::string& code);
// The column of a language: `prefix` + the canonical code ("lang_0000040e",
// "zaradek_lang_00000409").
std::string LangColumn(const std::string& code, const std::string& prefix = "lang_");

// The snapshot copy of a document table when `prev` is 1 ("_prev_raktar_mozgas"), the
// table itself otherwise.
std::string PrevTable(int prev, const std::string& table);

// ASCII letters lowered; other bytes (UTF-8 letters among them) unchanged.
std::string AsciiLower(std::string text);

// True while the current row of `dataSet` is being edited or inserted.
bool IsEditing(const db::DataSet& dataSet);

}  // namespace dorvan
