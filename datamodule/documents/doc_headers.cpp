// Document headers and links: reading a header, finding one by number, recording the
// target document, the newest dates, a partner's monthly cash purchases, erasing a
// snapshot copy and removing a linked movement type.

#include "datamodule/documents/doc_headers.h"

#include <cmath>

#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/errors.h"
#include "db/query.h"
#include "db/transaction.h"
#include "db/value.h"

namespace dorvan {

namespace {}  // namespace

DocHeaders::DocHeaders(TDM& dm)
    : Raktar_mozgasZQuery(dm, "Raktar_mozgasZQuery",
                          {"select *", "  from Raktar_mozgas", "  where fej_kod = :biz"}, -1),
      bizonylatszovegZQuery(dm, "bizonylatszovegZQuery",
                            {"select *", "  from bizonylatszoveg", "  where sor_kod = :sor_kod"},
                            -1),
      dm_(dm) {
    // The print texts of a document line follow the current line.
    Raktar_mozgasZQuery.AfterScroll = [this](db::DataSet& d) { Raktar_mozgasZQueryAfterScroll(d); };
    bizonylatszovegZQuery.BeforeOpen = [this](db::DataSet& d) {
        bizonylatszovegZQueryBeforeOpen(d);
    };
}

void DocHeaders::GetRaktar_mozgas_fejInfo(int kod, TRaktar_mozgas_fejInfo& info) {
    info.kod = 0;
    auto q = OpenQuery(dm_.ZConnection, "GetRaktarBizonylatFajtaSQL",
                       {"SELECT Raktar_mozgas_fej.*, bizonylatszoveg_fej.partner_nev",
                        " from Raktar_mozgas_fej, bizonylatszoveg_fej",
                        " where Raktar_mozgas_fej.kod = bizonylatszoveg_fej.fej_kod",
                        "    and Raktar_mozgas_fej.kod = :kod"},
                       {{"kod", kod}});
    if (q->IsEmpty())
        return;
    info.kod = IntField(*q, "kod");
    info.bizonylatszam = q->FieldByName("bizonylatszam").AsString();
    info.raktar_mozgas_bizonylat = q->FieldByName("raktar_mozgas_bizonylat").AsString();
    info.bizonylat_fajta = IntField(*q, "bizonylat_fajta");
    info.datum = q->FieldByName("datum").AsDateTime();
    info.kelte = q->FieldByName("kelte").AsDateTime();
    info.telj_datum = q->FieldByName("telj_datum").AsDateTime();
    info.fiz_hatarido = q->FieldByName("fiz_hatarido").AsDateTime();
    info.datum2 = q->FieldByName("datum").AsDateTime();
    info.partner_kod = IntField(*q, "partner_kod");
    info.mozgasnem_kod = IntField(*q, "mozgasnem_kod");
    info.deviza_nev = q->FieldByName("deviza_nev").AsString();
    info.deviza_arfolyam = q->FieldByName("deviza_arfolyam").AsFloat();
    info.fizetesmod_kod = IntField(*q, "fizetesmod_kod");
    info.partner_nev = q->FieldByName("partner_nev").AsString();
}

int DocHeaders::GetFejKod(const std::string& bizonylatszam, int bizonylat_fajta) {
    auto q = OpenQuery(dm_.ZConnection, "GetRkmozgBizSQL",
                       {"select kod", "from raktar_mozgas_fej", "  where bizonylatszam = :szam",
                        "    and bizonylat_fajta = :fajta", "  order by kod"},
                       {{"szam", bizonylatszam}, {"fajta", bizonylat_fajta}});
    return q->IsEmpty() ? -1 : IntField(*q, "kod");
}

void DocHeaders::GetRkmozgBiz(const std::string& bizonylatszam, int bizonylat_fajta,
                              std::string& raktar_mozgas_bizonylat) {
    auto q = OpenQuery(
        dm_.ZConnection, "GetRkmozgBizSQL",
        {"select raktar_mozgas_bizonylat", "from raktar_mozgas_fej",
         "  where bizonylatszam = :szam", "    and bizonylat_fajta = :fajta", "  order by kod"},
        {{"szam", bizonylatszam}, {"fajta", bizonylat_fajta}});
    raktar_mozgas_bizonylat =
        q->IsEmpty() ? std::string() : q->FieldByName("raktar_mozgas_bizonylat").AsString();
}

void DocHeaders::GetFobizonylat(int kod, std::string& bizonylatszam) {
    auto q =
        OpenQuery(dm_.ZConnection, "GetFobizonylatSQL",
                  {"select *", "from raktar_mozgas_fej", "  where kod = :kod"}, {{"kod", kod}});
    bizonylatszam = q->IsEmpty() ? std::string() : q->FieldByName("bizonylatszam").AsString();
}

bool DocHeaders::SetCelbizonylat(int kod, int cel_kod, int cel_fajta, const std::string& cel_szam) {
    try {
        return dm_.ExecSQL(
            "update raktar_mozgas_fej set cel_bizonylat = :cel_szam, cel_bizonylat_kod = "
            ":cel_kod, cel_bizonylat_fajta = :cel_fajta where (kod = :kod)",
            {{"cel_szam", cel_szam}, {"cel_kod", cel_kod}, {"cel_fajta", cel_fajta}, {"kod", kod}});
    } catch (const db::DbError&) {
        return false;
    }
}

void DocHeaders::GetLastBizKelt(TBizKelt& kelt) {
    // Headers without a recording date do not count as the newest.
    auto q = OpenQuery(dm_.ZConnection, "GetLastBizKeltSQL",
                       {"SELECT Datum, Ido", " from raktar_mozgas_fej",
                        " order by Datum DESC NULLS LAST, Ido DESC NULLS LAST", " limit 1"},
                       {});
    kelt.Datum = q->IsEmpty() ? 0 : q->FieldByName("Datum").AsDateTime();
    kelt.Ido = q->IsEmpty() ? 0 : q->FieldByName("Ido").AsDateTime();
}

TDateTime DocHeaders::GetLastFobizBizKelt(int bizonylat_fajta) {
    auto q = OpenQuery(dm_.ZConnection, "GetLastBizKeltSQL",
                       {"SELECT MAX(kelte) as Kelte", " from raktar_mozgas_fej",
                        "  where bizonylat_fajta = :fajta"},
                       {{"fajta", bizonylat_fajta}});
    return q->FieldByName("Kelte").AsDateTime();
}

namespace {

// Kinds whose gross amount counts as a partner's cash purchase: receipts, invoices, purchase
// tickets and advance invoices.
const std::string kKpForgalomFajtak = std::to_string(ToInt(BizonylatFajta::NyugtasEladas)) + "," +
                                      std::to_string(ToInt(BizonylatFajta::SzamlasEladas)) + "," +
                                      std::to_string(ToInt(BizonylatFajta::FelvasarlasiJegy)) +
                                      "," + std::to_string(ToInt(BizonylatFajta::Elolegszamla));

}  // namespace

int DocHeaders::GetPartner_kp_forgalom(int partner_kod, int year, int month) {
    const std::string text = dm_.GetSQLResult(
        "SELECT ROUND(SUM(raktar_mozgas_fej.brutto_arbevetel_vegosszeg)) FROM raktar_mozgas_fej "
        "WHERE bizonylat_fajta in (" +
            kKpForgalomFajtak +
            ")   AND partner_kod = :partner   AND EXTRACT(YEAR "
            "FROM kelte) = :ev   AND EXTRACT(MONTH FROM kelte) = :ho   AND fizetesmod_kod in "
            "(SELECT kod FROM fizetesmod WHERE keszpenzes = 1)",
        {{"partner", partner_kod}, {"ev", year}, {"ho", month}});
    double value = 0;
    if (!db::ParseDouble(text, value) || !std::isfinite(value) || std::fabs(value) > 2147483647.0)
        return 0;
    return static_cast<int>(std::lround(value));
}

bool DocHeaders::ErasePrev(int kod) {
    // One transaction: the snapshot is erased whole or left whole.
    static const char* const kStatements[] = {
        "delete from _prev_raktar_mozgas_fej where kod = :kod",
        "delete from _prev_bizonylatszoveg_fej where kod = :kod",
        "delete from _prev_bizonylatszoveg where sor_kod in (select kod from _prev_raktar_mozgas "
        "where fej_kod = :kod)",
        "delete from _prev_raktar_mozgas_egyedi where rm_kod in (select kod from "
        "_prev_raktar_mozgas where fej_kod = :kod)",
        "delete from _prev_raktar_mozgas where fej_kod = :kod",
    };
    try {
        // A savepoint when the caller has a transaction open: the caller's work stays when a
        // statement fails.
        db::Transaction tx(dm_.ZConnection);
        for (const char* sql : kStatements)
            dm_.ExecSQL(sql, {{"kod", kod}});
        tx.Commit();
        return true;
    } catch (const db::DbError&) {
        return false;
    }
}

void DocHeaders::Delete_kapcsolt_mozgasnem(int kod) {
    auto q = OpenQuery(
        dm_.ZConnection, "Delete_kapcsolt_mozgasnemSQL",
        {"select *", "  from mozgasnem", "  where (kapcsolt_mozgas= :kod)", "  order by kod"},
        {{"kod", kod}});
    if (!q->IsEmpty()) {
        q->First();
        q->Delete();
    }
}

void DocHeaders::Raktar_mozgasZQueryAfterScroll(db::DataSet& /*dataSet*/) {
    bizonylatszovegZQuery.Close();
    bizonylatszovegZQuery.Open();
}

void DocHeaders::bizonylatszovegZQueryBeforeOpen(db::DataSet& /*dataSet*/) {
    bizonylatszovegZQuery.ParamByName("sor_kod").SetValue(
        Raktar_mozgasZQuery.Active() && !Raktar_mozgasZQuery.IsEmpty()
            ? Raktar_mozgasZQuery.FieldByName("kod").AsValue()
            : db::Value(0));
}

}  // namespace dorvan
