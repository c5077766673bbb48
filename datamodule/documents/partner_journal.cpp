// The partner event journal and label sets.
//
// A journal number is the partner's largest number + 1, taken in the same statement that
// stores the entry; the unique index on (partner_kod, naploszam) refuses a number another
// client stored first, and the entry is then stored again with the next number.

#include "datamodule/documents/partner_journal.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/retry.h"

namespace dorvan {

namespace {

// The bytes of a file in the server's hex text form of a byte string ("\x4142...").
std::string ReadFileHex(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file \"" + fileName + "\"");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::runtime_error("Cannot read file \"" + fileName + "\"");
    static const char* const kHex = "0123456789abcdef";
    std::string hex = "\\x";
    hex.reserve(2 + bytes.size() * 2);
    for (const unsigned char c : bytes) {
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
    }
    return hex;
}

bool FileExists(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return static_cast<bool>(in);
}

}  // namespace

PartnerJournal::PartnerJournal(TDM& dm)
    : GetEsemenyNevZQuery(dm, "GetEsemenyNevZQuery", {"SELECT *", "   from esemeny"}, -1),
      dm_(dm) {}

int PartnerJournal::AddNew_Esemeny(int PartnerKod, const std::string& Megjegyzes,
                                   const std::string& Leiras, TDateTime Datum,
                                   const std::string& FileName,
                                   const std::string& DokumentumTipus) {
    db::Value dokumentum;
    if (DokumentumTipus == "RTF" && FileExists(FileName))
        dokumentum = ReadFileHex(FileName);
    const db::ParamValues params = {
        {"partner_kod", PartnerKod},       {"esemeny_kod", kEsemenyKodDokumentum},
        {"megjegyzes", Megjegyzes},        {"leiras", Leiras},
        {"datum", db::Value::Date(Datum)}, {"tipus", DokumentumTipus},
        {"dokumentum", dokumentum},
    };
    return db::RunInTransaction(
        dm_.ZConnection, {.attempts = 20, .retryOnUniqueViolation = true}, [&] {
            // The partner's numbers are handed out one at a time (the lock lasts until the
            // commit), so the largest number read is the latest one, also where the unique
            // key esemeny_naplo_naploszam_key is missing.
            ExecQuery(dm_.ZConnection, "AddNew_EsemenyLockSQL",
                      {"SELECT pg_advisory_xact_lock(hashtext('esemeny_naplo'), :partner_kod)"},
                      {{"partner_kod", PartnerKod}});
            auto q = OpenQuery(
                dm_.ZConnection, "AddNew_EsemenySQL",
                {"insert into esemeny_naplo (partner_kod, naploszam, esemeny_kod, megjegyzes,",
                 "    leiras, datum, kapcsolt_dokumentum1_tipusa, kapcsolt_dokumentum1)",
                 "  select :partner_kod, coalesce(max(naploszam), 0) + 1, :esemeny_kod,",
                 "    :megjegyzes, :leiras, :datum, :tipus, cast(:dokumentum as bytea)",
                 "    from esemeny_naplo", "    where partner_kod = :partner_kod",
                 "  returning kod"},
                params);
            return IntField(*q, "kod");
        });
}

void PartnerJournal::GetEsemenyInfo(int Kod, TEsemenyInfo& Info) {
    Info.kod = 0;
    Info.megjegyzes.clear();
    auto q = OpenQuery(dm_.ZConnection, "GetEsemenyInfoSQL",
                       {"SELECT *", " from esemeny_naplo", "  where kod = :kod"}, {{"kod", Kod}});
    if (q->RecordCount() != 1)
        return;
    Info.kod = IntField(*q, "Kod");
    Info.naploszam = IntField(*q, "naploszam");
    Info.esemeny_kod = IntField(*q, "esemeny_kod");
    Info.megjegyzes = TextField(*q, "megjegyzes");
    Info.leiras = TextField(*q, "leiras");
    Info.datum = q->FieldByName("datum").AsDateTime();
    Info.partner_kod = IntField(*q, "partner_kod");
}

void PartnerJournal::GetEsemenyNev(int Kod, std::string& Text) {
    Text.clear();
    if (!GetEsemenyNevZQuery.Active())
        GetEsemenyNevZQuery.Open();
    if (GetEsemenyNevZQuery.Locate("kod", {Kod}))
        Text = TextField(GetEsemenyNevZQuery, "Lang_0000040E");
}

void PartnerJournal::DeleteCimke(int Kod) {
    dm_.ExecSQL("delete from _cimke_fej where kod = :kod", {{"kod", Kod}});
    dm_.ExecSQL("delete from _cimke where fej_kod = :kod", {{"kod", Kod}});
}

}  // namespace dorvan
