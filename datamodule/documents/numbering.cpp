// Document numbering: the number register, the next code of a column, the kind of a header.

#include "datamodule/documents/numbering.h"

#include <cctype>

#include "config/lib_strings.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/errors.h"
#include "db/retry.h"

namespace dorvan {

namespace {

// A serial taken by a client that did not wait for the register's lock is retried this
// many times before the error reaches the caller.
constexpr int kRegisterAttempts = 8;

// Part of a UTF-8 text by characters: `count` characters from `start` (0-based).
std::string CharSub(const std::string& text, std::size_t start, std::size_t count) {
    const auto chars = Utf8Chars(text);
    std::string out;
    for (std::size_t i = start; i < chars.size() && i < start + count; ++i)
        out += chars[i];
    return out;
}

// A whole number of the text, 0 when it is not one.
long long NumberOr0(const std::string& text) {
    std::int64_t v = 0;
    return db::ParseInteger(text, v) ? static_cast<long long>(v) : 0;
}

std::string ZeroFill(long long value, int digits) {
    return lib_rightStr("0000000" + std::to_string(value), digits);
}

bool IsIdentifier(const std::string& name) {
    if (name.empty())
        return false;
    for (const unsigned char c : name) {
        if (std::isalnum(c) == 0 && c != '_')
            return false;
    }
    return true;
}

// The table of a single-table query: the rest of its last line starting with "FROM".
std::string QueryTable(const db::Query& query) {
    std::string table;
    for (const std::string& raw : query.Sql()) {
        const std::string line = TrimBlanks(raw);
        if (line.size() >= 4 && AsciiLower(line.substr(0, 4)) == "from")
            table = TrimBlanks(CharSub(line, 4, 99));
    }
    return table;
}

}  // namespace

std::string FormatBizszam(const std::string& letters, int year, int serial, bool yearFirst,
                          bool fill) {
    const std::string serialText = fill ? ZeroFill(serial, 7) : std::to_string(serial);
    const std::string yearText = std::to_string(year);
    return letters + (yearFirst ? yearText + "/" + serialText : serialText + "/" + yearText);
}

std::string NextYearCode(const std::string& maximum, int year) {
    const long long serial = NumberOr0(CharSub(maximum, 5, 7));
    if (serial != 0) {
        const std::string yearPart = CharSub(maximum, 0, 4);
        std::int64_t latestYear = 0;
        if (!db::ParseInteger(yearPart, latestYear))
            throw db::ValueConversionError("'" + yearPart + "' is not a valid integer value");
        if (latestYear < year)
            return std::to_string(year) + "/" + ZeroFill(1, 7);
    }
    return std::to_string(year) + "/" + ZeroFill(serial + 1, 7);
}

std::string NextBarcode(const std::string& maximum) {
    const long long counter = NumberOr0(CharSub(maximum, 3, 5));
    return CharSub(maximum, 0, 3) + ZeroFill(counter + 1, 5);
}

std::string Numbering::AddNewBizszam(int kind, bool yearFirst, TDateTime date, bool fill) {
    const std::string letters = GetBetujel(kind);
    const int year = date == 0 ? 0 : db::DecodeDate(date).year;
    // szszb_uj_szam takes the lock of the kind and year, then inserts the largest serial + 1
    // and returns it; the lock is held until the register row is committed.
    const auto issue = [&] {
        auto q = OpenQuery(dm_.ZConnection, "AddNewBizszamSQL",
                           {"SELECT szszb_uj_szam(:fajta, :ev) AS szam"},
                           {{"fajta", kind}, {"ev", year}});
        return q->IsEmpty() ? std::string() : q->FieldByName("szam").AsString();
    };
    std::string answer;
    if (dm_.ZConnection.InExplicitTransaction()) {
        // Inside the caller's transaction each attempt is a savepoint, so a lost race does
        // not spoil the caller's work.
        answer = db::RunInTransaction(
            dm_.ZConnection, {.attempts = kRegisterAttempts, .retryOnUniqueViolation = true},
            issue);
    } else {
        for (int attempt = 1;; ++attempt) {
            try {
                answer = issue();
                break;
            } catch (const db::UniqueViolation&) {
                if (attempt >= kRegisterAttempts)
                    throw;
            }
        }
    }
    const long long serial = NumberOr0(answer);
    if (serial == 0)
        return {};
    return FormatBizszam(letters, year, static_cast<int>(serial), yearFirst, fill);
}

std::string Numbering::GetBetujel(int kind) {
    db::Query& setup = dm_._setup_mainSQL;
    if (!setup.Active())
        setup.Open();
    const db::Field* f = setup.FindField("bizonylat_betujel_" + std::to_string(kind));
    return f == nullptr ? std::string() : TrimBlanks(f->AsString());
}

void Numbering::NextCodeGen(db::Query& query, const std::string& column,
                            const std::string& dateColumn, const std::string& filter,
                            const db::ParamValues& params) {
    const std::string table = QueryTable(query);
    if (table.find(',') != std::string::npos) {
        dm_.UserInterface().ShowMessage("Újkód generálási hiba",
                                        "Csak egyszerű adattábla Query-nél alkalmazható!",
                                        MessageIcon::Warning);
        return;
    }
    db::Field& field = query.FieldByName(column);
    if (!IsIdentifier(field.FieldName()))
        throw db::DataSetError("NextCodeGen: column '" + field.FieldName() + "' is no plain name");
    std::vector<std::string> sql = {"select MAX(" + field.FieldName() + ") as KOD",
                                    " from " + table};
    if (!filter.empty())
        sql.push_back(" where " + filter);
    auto max = OpenQuery(dm_.ZConnection, "NextCodeGenSQL", std::move(sql), params);
    const db::Field& latest = max->FieldByName("KOD");

    switch (field.DataType()) {
        case db::FieldType::SmallInt:
        case db::FieldType::Integer:
        case db::FieldType::LargeInt:
            field.SetAsInteger((max->IsEmpty() ? 0 : latest.AsInteger()) + 1);
            break;
        case db::FieldType::String:
        case db::FieldType::Memo: {
            const std::string text = max->IsEmpty() ? std::string() : latest.AsString();
            if (column == "vonalkod") {
                field.SetAsString(NextBarcode(text));
            } else {
                const int year = db::DecodeDate(query.FieldByName(dateColumn).AsDateTime()).year;
                field.SetAsString(NextYearCode(text, year));
            }
            break;
        }
        default:
            break;
    }
}

int Numbering::GetRaktarBizonylatFajta(int kod, int tableSwitch) {
    auto q = OpenQuery(
        dm_.ZConnection, "GetRaktarBizonylatFajtaSQL",
        {"SELECT *", " from " + PrevTable(tableSwitch, "raktar_mozgas_fej"), "  where kod = :kod"},
        {{"kod", kod}});
    return q->IsEmpty() ? 0 : IntField(*q, "bizonylat_fajta");
}

void Numbering::GetValtozoErtek(const std::string& name, int tetelKod, TEgysegar& price) {
    price.egysegar = -99999999.0;
    price.egysegar_brutto = -99999999.0;
    const int list = dm_.GetEgysegarKod(name);
    if (list != 0)
        dm_.GetTetelEgysegar(tetelKod, list, price);
}

}  // namespace dorvan
