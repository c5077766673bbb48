// Closing clauses of documents (currency statement, amount in words, payment clause, the
// lines' own clauses, the project line), the printed text of a line and the list of the
// individual units delivered on a line.

#include "datamodule/documents/closing_clauses.h"

#include <cstdio>

#include "config/format_settings.h"
#include "config/lib_amount_in_words.h"
#include "config/lib_strings.h"
#include "config/number_mask.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"

namespace dorvan {

namespace {

constexpr char kCR = '\r';

// Document kinds that print no currency statement and no amount in words: outgoing order,
// project usage, goods receipt note.
bool ZaradekNelkuliFajta(int fajta) {
    const auto kind = static_cast<BizonylatFajta>(fajta);
    return kind == BizonylatFajta::KimenoMegrendeles ||
           kind == BizonylatFajta::ProjektFelhasznalas || kind == BizonylatFajta::AtveteliJegy;
}

}  // namespace

std::string FormatHufAmount(double value) {
    return FormatFloat("###,##0.00 HUF", value);
}

std::string FormatQuantity(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string text = buf;
    if (text == "-0")
        text = "0";
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos)
        text.replace(dot, 1, GlobalFormatSettings().decimalSeparator);
    return text;
}

std::string JoinLineClauses(const std::vector<std::string>& clauses) {
    std::string joined;
    for (const std::string& clause : clauses) {
        if (clause.empty() || joined.find(clause) != std::string::npos)
            continue;
        if (!joined.empty())
            joined += kCR;
        joined += clause;
    }
    return joined;
}

std::string EgyediLista(const std::vector<TEgyediTetel>& units) {
    if (units.empty())
        return {};
    std::string list = "[";
    for (const TEgyediTetel& unit : units) {
        if (list != "[")
            list += ", ";
        list += unit.egyedi_azonosito;
        if (unit.mennyiseg != 1)
            list += " (" + FormatQuantity(unit.mennyiseg) + ")";
    }
    return TrimBlanks(list + "]");
}

// --- Services of the data module ---------------------------------------------------------

void ClosingClauses::Raktar_mozgas_fejZaradekCalcFields(db::DataSet& Fej, db::DataSet& Tetel) {
    // The customer's second language; empty for a partner that does not exist.
    const std::string nyelv =
        dm_.GetSQLResult("SELECT masodik_nyelv FROM partner WHERE kod = :kod",
                         {{"kod", Fej.FieldByName("partner_kod").AsInteger()}});
    const auto langText = [&](int order) {
        std::string text;
        dm_.GetBizonylat_nyelvInfo(order, "lang_" + nyelv, text);
        return text;
    };

    // The lines' own clauses, each once; the lines are left after their last row.
    if (!Tetel.Active())
        Tetel.Open();
    std::vector<std::string> clauses;
    for (Tetel.First(); !Tetel.Eof(); Tetel.Next())
        clauses.push_back(Tetel.FieldByName("zaradek").AsString());
    std::string zaradek;
    const std::string sorZaradek = JoinLineClauses(clauses);
    if (!sorZaradek.empty())
        zaradek += sorZaradek + kCR;
    const std::string egyedi = Fej.FieldByName("egyedi_zaradek").AsString();
    if (!egyedi.empty())
        zaradek += egyedi + kCR;

    db::Field* langField = Fej.FindField("zaradek_langtext");
    const bool lang = langField != nullptr && !nyelv.empty();
    std::string langtext;

    const double brutto = Fej.FieldByName("brutto_arbevetel_vegosszeg").AsFloat();
    const int fajta = static_cast<int>(Fej.FieldByName("bizonylat_fajta").AsInteger());
    // A document without a currency code is in forints.
    std::string deviza = Fej.FieldByName("deviza_nev").AsString();
    if (deviza.empty())
        deviza = "HUF";
    if (brutto != 0 && !ZaradekNelkuliFajta(fajta)) {
        // Currency statement.
        if (deviza == "HUF") {
            zaradek += "A fenti összegek magyar forintban értendők!";
            if (lang)
                langtext += langText(kZaradekForintText);
        } else {
            if (!dm_._setup_mainSQL.Active())
                dm_._setup_mainSQL.Open();
            if (dm_._setup_mainSQL.FieldByName("szamla_deviza_arfolyam_megjelenites").AsInteger() ==
                1) {
                const std::string arfolyam =
                    FormatHufAmount(Fej.FieldByName("deviza_arfolyam").AsFloat());
                const std::string netto =
                    FormatHufAmount(Fej.FieldByName("netto_arbevetel_vegosszeg_huf").AsFloat());
                const std::string afa =
                    FormatHufAmount(Fej.FieldByName("afa_arbevetel_vegosszeg_huf").AsFloat());
                const std::string bruttoHuf =
                    FormatHufAmount(Fej.FieldByName("brutto_arbevetel_vegosszeg_huf").AsFloat());
                zaradek += "A fenti összegek " + deviza + "-ban értendők!  Árfolyam: 1 " + deviza +
                           " = " + arfolyam;
                zaradek += kCR + std::string("Nettó végösszeg: ") + netto +
                           " ÁFA végösszeg: " + afa + " Fizetendő (bruttó) végösszeg: " + bruttoHuf;
                if (lang) {
                    langtext += langText(kZaradekDevizaText) + deviza + "!  " +
                                langText(kZaradekArfolyamText) + " 1 " + deviza + " = " + arfolyam;
                    // Each caption is set off from the amount before it, as in Hungarian.
                    langtext += kCR + langText(kZaradekNettoText) + " " + netto + " " +
                                langText(kZaradekAfaText) + " " + afa + " " +
                                langText(kZaradekBruttoText) + " " + bruttoHuf;
                }
            }
        }
        // Amount in words (Hungarian in both texts).
        const std::string szavakkal = lib_amountInWords(brutto);
        zaradek += kCR + std::string("Fizetendő végösszeg: ") + szavakkal + " " + deviza;
        if (lang)
            langtext += kCR + langText(kZaradekBruttoText) + " " + szavakkal + " " + deviza;
    }

    // Payment clause.
    const std::string fizmodZaradek = Fej.FieldByName("fizetesmod_zaradek").AsString();
    if (!fizmodZaradek.empty()) {
        zaradek += kCR + fizmodZaradek;
        if (lang) {
            TFizmodInfo fizmod;
            dm_.GetFizmodInfo(static_cast<int>(Fej.FieldByName("fizetesmod_kod").AsInteger()),
                              nyelv, fizmod);
            langtext += kCR + fizmod.zaradek;
        }
    }

    Fej.FieldByName("zaradek").SetAsString(zaradek);
    if (langField != nullptr)
        langField->SetAsString(langtext);

    // Project line.
    db::Field* projektField = Fej.FindField("projekt_zaradek");
    const int projekt = static_cast<int>(Fej.FieldByName("projekt").AsInteger());
    if (projektField != nullptr && projekt != 0) {
        TProjektInfo info;
        dm_.GetProjektInfo(projekt, info);
        TPartnerInfo partner;
        dm_.GetPartnerInfo(info.partner_kod, 0, 0, partner);
        projektField->SetAsString("Ez a bizonylat a(z) " + std::to_string(info.kod) +
                                  " számú projekthez kapcsolódik. (Partner: " + partner.nev +
                                  "; Leírás: " + info.leiras + ")");
        if (db::Field* projektLang = Fej.FindField("projekt_zaradek_langtext");
            projektLang != nullptr && !nyelv.empty())
            projektLang->SetAsString(langText(kZaradekProjektText) + std::to_string(info.kod) +
                                     ".");
    }
}

std::string ClosingClauses::GetMasodik_sor(db::DataSet& Tetel, int Prev,
                                           const std::string& Suffix) {
    std::string text = dm_.GetBizonylatNev(Tetel, Suffix) +
                       TrimBlanks(Tetel.FieldByName("megjegyzes").AsString()) + " ";
    if (const db::Field* egyed = Tetel.FindField("egyed_info"))
        return text + egyed->AsString();
    return text + GetEgyediMegjegyzes(static_cast<int>(Tetel.FieldByName("kod").AsInteger()), Prev);
}

std::string ClosingClauses::GetEgyediMegjegyzes(int SorKod, int Prev) {
    db::Query q(dm_.ZConnection, "GetEgyediMegjegyzesSQL");
    q.SetSql(
        {"SELECT rme.*, te.egyedi_azonosito",
         std::string(" from ") + PrevTable(Prev, "raktar_mozgas_egyedi") + " rme, tetel_egyedi te",
         " where rme.egyedi_azonosito_kod = te.kod", "   and rme.rm_kod = :kod",
         " order by rme.kod"});
    q.ParamByName("kod").SetAsInteger(SorKod);
    q.Open();
    std::vector<TEgyediTetel> units;
    for (q.First(); !q.Eof(); q.Next())
        units.push_back(
            {q.FieldByName("egyedi_azonosito").AsString(), q.FieldByName("mennyiseg").AsFloat()});
    return EgyediLista(units);
}

}  // namespace dorvan
