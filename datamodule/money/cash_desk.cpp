// Cash-desk postings.

#include "datamodule/money/cash_desk.h"

#include "datamodule/dm.h"
#include "datamodule/documents/numbering.h"
#include "datamodule/support/service_support.h"
#include "db/retry.h"

namespace dorvan {

namespace {

// Postings of one direction wait for each other only while a number is taken and stored;
// a number taken by a client that did not wait is met by the register's key and retried.
constexpr db::RetryPolicy kNumberRetry{.attempts = 12, .retryOnUniqueViolation = true};

void SetField(db::DataSet& q, const char* name, const db::Value& value) {
    q.FieldByName(name).SetValue(value);
}

}  // namespace

void CashDesk::TakeNextNumber(db::Query& query, int irany) {
    ExecQuery(dm_.ZConnection, "PenztarBizonylatLockSQL",
              {"SELECT pg_advisory_xact_lock(hashtext('penztar_bizonylat'), :irany)"},
              {{"irany", irany}});
    const int year = db::DecodeDate(query.FieldByName("datum").AsDateTime()).year;
    const std::string yearText = std::to_string(year);
    // The largest serial of the direction within the posting's year, among the postings and
    // the numbers handed out (a number stays handed out when its postings are gone). Only
    // numbers of the shape YYYY/NNNNNNN count: a later year's numbers and numbers given by hand
    // ("K-17") do not make the next number.
    auto latest = OpenQuery(
        dm_.ZConnection, "PenztarBizonylatMaxSQL",
        {"select coalesce(max(substr(szam, 6)::integer), 0) as sorszam",
         "  from (select penztar_bizonylat as szam from penzeszkoz_iktato",
         "         where penztar_bizonylat_irany = :irany and penztar_bizonylat like :ev",
         "        union all", "        select penztar_bizonylat from penztar_bizonylat_szam",
         "         where penztar_bizonylat_irany = :irany and penztar_bizonylat like :ev)",
         "       as szamok", "  where szam ~ '^[0-9]{4}/[0-9]{7}$'"},
        {{"irany", irany}, {"ev", yearText + "/%"}});
    const long long serial = latest->FieldByName("sorszam").AsInteger() + 1;
    if (yearText.size() != 4 || serial > 9999999) {
        throw db::DataSetError("no cash-desk number of the shape YYYY/NNNNNNN is left for year " +
                               yearText + " in direction " + std::to_string(irany));
    }
    const std::string number = FormatBizszam("", year, static_cast<int>(serial), true, true);
    query.FieldByName("penztar_bizonylat").SetAsString(number);
    ExecQuery(dm_.ZConnection, "PenztarBizonylatSzamSQL",
              {"INSERT INTO penztar_bizonylat_szam (penztar_bizonylat_irany, penztar_bizonylat)",
               "  VALUES (:irany, :szam)"},
              {{"irany", irany}, {"szam", number}});
}

std::string CashDesk::AddNew_PenzeszkozValt(int partnerKod, const std::string& bizonylatszam,
                                            TDateTime datum, int forrasPenzeszkoz,
                                            int celPenzeszkoz, double osszeg,
                                            const std::string& megjegyzes,
                                            const std::string& fokonyviszam, int raktarMozgasFejKod,
                                            int szallitoiSzamlakKod, int irany,
                                            const std::string& penztarBizonylat) {
    const auto post = [&]() -> std::string {
        auto q = OpenQuery(dm_.ZConnection, "AddNew_PenzeszkozValtSQL",
                           {"select *", "   from penzeszkoz_iktato", "     where kod = 0"});
        dm_.AutoDisableReqField(*q);
        q->Append();
        SetField(*q, "partner_kod", partnerKod);
        SetField(*q, "Datum", db::Value::Date(datum));
        SetField(*q, "Bizonylatszam", bizonylatszam);
        SetField(*q, "forras_penzeszkoz", forrasPenzeszkoz);
        SetField(*q, "cel_penzeszkoz", celPenzeszkoz);
        SetField(*q, "osszeg", osszeg);
        SetField(*q, "megjegyzes", megjegyzes);
        SetField(*q, "raktar_mozgas_fej_kod", raktarMozgasFejKod);
        SetField(*q, "szallitoi_szamlak_kod", szallitoiSzamlakKod);
        SetField(*q, "penztar_bizonylat_irany", irany);
        SetField(*q, "sztornozott_bizonylat_kod", 0);
        SetField(*q, "sztornozo_bizonylat_kod", 0);
        SetField(*q, "fokonyviszam", fokonyviszam);
        if (!penztarBizonylat.empty()) {
            SetField(*q, "penztar_bizonylat", penztarBizonylat);
            if (irany != 0) {
                ExecQuery(dm_.ZConnection, "PenztarBizonylatSzamSQL",
                          {"INSERT INTO penztar_bizonylat_szam",
                           "    (penztar_bizonylat_irany, penztar_bizonylat)",
                           "  VALUES (:irany, :szam) ON CONFLICT DO NOTHING"},
                          {{"irany", irany}, {"szam", penztarBizonylat}});
            }
        } else if (irany != 0) {
            TakeNextNumber(*q, irany);
        }
        dm_.StoreUserData(*q);
        q->Post();
        return TextField(*q, "penztar_bizonylat");
    };
    return db::RunInTransaction(dm_.ZConnection, kNumberRetry, post);
}

std::string CashDesk::PenzeszkozSztorno(const std::string& penztarBizonylat, int irany,
                                        TDateTime datum) {
    if (irany == 0)
        return {};
    const auto reverse = [&]() -> std::string {
        // The rows are locked, so a second reversal of the same document waits and then finds
        // them reversed.
        auto src = OpenQuery(
            dm_.ZConnection, "PenzeszkozSztornoForrasSQL",
            {"select *", "   from penzeszkoz_iktato", "   where penztar_bizonylat_irany = :irany",
             "     and penztar_bizonylat = :szam",
             "     and coalesce(sztornozo_bizonylat_kod, 0) = 0", "   order by kod",
             "   for update"},
            {{"irany", irany}, {"szam", penztarBizonylat}});
        if (src->IsEmpty())
            return {};
        auto dst = OpenQuery(dm_.ZConnection, "PenzeszkozSztornoCelSQL",
                             {"select *", "   from penzeszkoz_iktato", "     where kod = 0"});
        dm_.AutoDisableReqField(*dst);
        std::string number;
        std::string result;
        for (src->First(); !src->Eof(); src->Next()) {
            dst->Append();
            for (const char* name :
                 {"partner_kod", "Bizonylatszam", "forras_penzeszkoz", "cel_penzeszkoz",
                  "megjegyzes", "raktar_mozgas_fej_kod", "penztar_bizonylat_irany"}) {
                SetField(*dst, name, src->FieldByName(name).AsValue());
            }
            SetField(*dst, "Datum", db::Value::Date(datum));
            SetField(*dst, "osszeg", -FloatField(*src, "osszeg"));
            SetField(*dst, "sztornozott_bizonylat_kod", IntField(*src, "kod"));
            SetField(*dst, "sztornozo_bizonylat_kod", 0);
            if (number.empty()) {
                TakeNextNumber(*dst, irany);
                number = TextField(*dst, "penztar_bizonylat");
            } else {
                SetField(*dst, "penztar_bizonylat", number);
            }
            dst->Post();
            result = TextField(*dst, "penztar_bizonylat");
            src->Edit();
            SetField(*src, "sztornozo_bizonylat_kod", IntField(*dst, "kod"));
            src->Post();
        }
        return result;
    };
    return db::RunInTransaction(dm_.ZConnection, kNumberRetry, reverse);
}

TDateTime CashDesk::GetLastPenztBizKelt(int irany) {
    auto q = OpenQuery(dm_.ZConnection, "GetLastPenztBizKeltSQL",
                       {"SELECT MAX(datum) as Datum", " from penzeszkoz_iktato",
                        "   where penztar_bizonylat_irany = :irany"},
                       {{"irany", irany}});
    return q->FieldByName("Datum").AsDateTime();
}

}  // namespace dorvan
