#include "report/invoice/invoice_datasets.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "config/lib_strings.h"
#include "datamodule/dm.h"
#include "db/value.h"
#include "report/engine/number_format.h"

namespace dorvan {
namespace {

using db::FieldType;

// Lines rewritten before opening.
constexpr std::size_t kFejFromLine = 18;
constexpr std::size_t kFejWhereLine = 20;
constexpr std::size_t kTetelFromLine = 1;
constexpr std::size_t kElojelFromLine = 3;

const std::vector<std::string> kFejSql = {
    "select rm.*,",
    "   bsz.partner_nev as nev, bsz.gyujtoszamla_formatum_szallito,",
    "   bsz.partner_orszag as orszag,",
    "   bsz.partner_iszam as iszam,",
    "   bsz.partner_telepules as telepules,",
    "   bsz.partner_cim as cim,",
    "   bsz.partner_adoszam as adoszam,",
    "   bsz.mozgasnem_nev as mozgasnem,",
    "   bsz.fizetesmod_nev as fizetesmod_szla,",
    "   bsz.munkatars_nev as atvevo,",
    "   bsz.partner_eng_szam as eng_szam,",
    "   bsz.partner_ostermeloi_szam as ostermeloi_szam,",
    "   bsz.fizetesmod_zaradek as fizetesmod_zaradek,",
    "   bsz.partner_postacim_nev as postacim_nev,",
    "   bsz.partner_postacim_orszag as postacim_orszag,",
    "   bsz.partner_postacim_iszam as postacim_iszam,",
    "   bsz.partner_postacim_telepules as postacim_telepules, bsz.partner_kedvezmeny_megj_tiltasa,",
    "   bsz.partner_postacim_cim as postacim_cim, bsz.kiallito_sorok,   bsz.vevo_sorok, "
    "bsz.egyedi_zaradek ",
    "  from raktar_mozgas_fej rm, bizonylatszoveg_fej bsz",
    "  where rm.kod = bsz.fej_kod",
    "    and rm.kod = :kod",
    "",
    "",
    "",
    "",
};

const std::vector<std::string> kTetelSql = {
    "select rm.*, bsz.*, afa_kulcs.afakulcs as AFA_szazalek, afa_kulcs.mentes as AFA_mentes, "
    "sign(rm.netto_arbevetel) as elojel, get_egyedi_megjegyzes(rm.kod, :prev) as egyed_info",
    "  from raktar_mozgas rm, bizonylatszoveg bsz, afa_kulcs",
    "  where rm.kod = bsz.sor_kod",
    "   and rm.afakulcs = afa_kulcs.kod",
    "   and rm.fej_kod = :kod and fobizonylaton_nem_jelenik_meg = 0",
    "   order by rm.afakulcs asc, rm.eredeti_szallito_telj_datum asc, sign(rm.netto_arbevetel) "
    "desc, rm.kod asc",
};

const std::vector<std::string> kElojelSql = {
    "select afakulcs, count(elojel_db) as elojel_db",
    " from",
    "   (select rm.afakulcs, sign(rm.netto_arbevetel) as elojel_db",
    "     from _prev_raktar_mozgas rm",
    "     where rm.fej_kod = :kod and fobizonylaton_nem_jelenik_meg = 0",
    "     group by 1,2",
    "     order by rm.afakulcs) as main",
    " group by 1",
};

const std::vector<std::string> kFejFields = {
    // keys and kind
    "kod", "partner_kod", "mozgasnem_kod", "fizetesmod_kod", "atvevo_kod", "penzeszkoz_kod",
    "projekt", "forras_raktar_kod", "cel_raktar_kod", "bizonylat_fajta",
    // numbers and dates
    "Bizonylatszam", "raktar_mozgas_bizonylat", "hivszam", "gyartasiszam", "Datum", "Ido", "kelte",
    "telj_datum", "fiz_hatarido", "datum1", "datum2", "torolve", "torolve_datum", "rendben",
    // currency
    "deviza_nev", "deviza_arfolyam",
    // totals
    "netto_vegosszeg", "brutto_vegosszeg", "netto_arbevetel_vegosszeg", "afa_arbevetel_vegosszeg",
    "brutto_arbevetel_vegosszeg", "netto_kedvezmeny", "kerekites", "netto_vegosszeg_HUF",
    "brutto_vegosszeg_HUF", "netto_arbevetel_vegosszeg_HUF", "afa_arbevetel_vegosszeg_HUF",
    "brutto_arbevetel_vegosszeg_HUF", "netto_kedvezmeny_HUF", "kerekites_huf",
    // links
    "sztornozott_bizonylat", "sztornozott_bizonylat_kod", "sztornozo_bizonylat",
    "sztornozo_bizonylat_kod", "forras_bizonylat", "forras_bizonylat_kod", "forras_bizonylat_fajta",
    "cel_bizonylat", "cel_bizonylat_kod", "cel_bizonylat_fajta",
    // flags and texts
    "afa_mentes_forgalom", "megjegyzes", "m_userid", "m_date", "m_time", "c_userid", "c_date",
    "c_time",
    // print texts
    "nev", "orszag", "iszam", "telepules", "cim", "adoszam", "mozgasnem", "fizetesmod_szla",
    "atvevo", "eng_szam", "ostermeloi_szam", "fizetesmod_zaradek", "postacim_nev",
    "postacim_orszag", "postacim_iszam", "postacim_telepules", "postacim_cim",
    "partner_kedvezmeny_megj_tiltasa", "kiallito_sorok", "vevo_sorok", "egyedi_zaradek",
    "gyujtoszamla_formatum_szallito"};

const std::vector<std::string> kTetelFields = {
    // keys
    "kod", "fej_kod", "tetel_kod", "mee_kod", "afakulcs", "forras_raktar_kod", "cel_raktar_kod",
    "szallitos_tetel_kod", "sor_kod", "kod_1",
    // quantities
    "mennyiseg", "mennyiseg_szamlazva", "mennyiseg_szamlazva_bol_rendszeren_kivul",
    "cel_raktar_ujkeszlet", "forras_raktar_ujkeszlet",
    // unit prices
    "netto_egysegar", "brutto_egysegar", "netto_egysegar_huf", "brutto_egysegar_huf",
    "lista_egysegar_netto",
    // amounts
    "netto_arbevetel", "brutto_arbevetel", "netto_arbevetel_huf", "brutto_arbevetel_huf",
    "netto_kedvezmeny", "netto_kedvezmeny_huf", "netto_osszeg", "brutto_osszeg", "netto_osszeg_huf",
    "brutto_osszeg_huf",
    // stock values
    "forras_raktar_atlagar", "cel_raktar_atlagar", "forras_raktar_fifo_ertek",
    "forras_raktar_fifo_ar", "cel_raktar_fifo_ertek", "cel_raktar_fifo_ar",
    // flags
    "tetel_tipus", "csak_fobizonylat_tetel", "fobizonylaton_nem_jelenik_meg", "akcios",
    // texts
    "nev", "sor2", "sor3", "sor4", "nev_teljes", "megjegyzes", "mee", "afa_leiras",
    "tetel_azonosito_kod", "szoveges_kod", "kapcsolt_fokonyviszam", "raktar_mozgas_bizonylat",
    "szallito_szama", "zaradek",
    // dates
    "eredeti_szallito_telj_datum",
    // computed by the statement
    "afa_szazalek", "afa_mentes", "elojel", "egyed_info"};

constexpr const char* kAmountFormat = "###,###,##0.00";
constexpr const char* kTotalFormat = "###,###,###.##";
constexpr const char* kUnitPriceFormat = "###,###,##0.00##";

// Thousands separators and two decimals in the workstation's number format.
std::string NumberText(double value) {
    return report::FormatFloat("#,##0.00;-#,##0.00", value);
}

int IntField(const db::DataSet& d, const char* name) {
    return static_cast<int>(d.FieldByName(name).AsInteger());
}

}  // namespace

TInvoiceDatasets::TInvoiceDatasets(TDM& dm, const InvoiceSelection& selection)
    : Raktar_mozgas_fejZReadOnlyQuery(dm.ZConnection, "Raktar_mozgas_fejZReadOnlyQuery"),
      Raktar_mozgasZReadOnlyQuery(dm.ZConnection, "Raktar_mozgasZReadOnlyQuery"),
      ElojelZReadOnlyQuery(dm.ZConnection, "ElojelZReadOnlyQuery"),
      dm_(dm),
      selection_(selection) {
    // Header.
    db::Query& fej = Raktar_mozgas_fejZReadOnlyQuery;
    fej.SetSql(kFejSql);
    fej.SetExpectedFields(kFejFields);
    fej.SetFieldDisplayFormat("partner_kod", "00000000");
    for (const char* name :
         {"netto_vegosszeg", "brutto_vegosszeg", "netto_vegosszeg_HUF", "brutto_vegosszeg_HUF"})
        fej.SetFieldDisplayFormat(name, kTotalFormat);
    for (const char* name : {"netto_kedvezmeny", "netto_kedvezmeny_HUF"})
        fej.SetFieldDisplayFormat(name, kAmountFormat);
    fej.AddCalculatedField("zaradek", FieldType::String, 2000);
    fej.AddCalculatedField("zaradek_langtext", FieldType::String, 2000);
    fej.AddCalculatedField("projekt_zaradek", FieldType::String, 200);
    fej.AddCalculatedField("sztorno_megjegyzes", FieldType::String, 200);
    fej.AddCalculatedField("fizetesmod_szla_langtext", FieldType::String, 50);
    fej.AddCalculatedField("forras_bizonylat_leiras", FieldType::String, 500);
    fej.AddCalculatedField("_prev_bizonylat", FieldType::String, 20);
    fej.BeforeOpen = [this](db::DataSet& d) { Raktar_mozgas_fejZReadOnlyQueryBeforeOpen(d); };
    fej.OnCalcFields = [this](db::DataSet& d) { Raktar_mozgas_fejZReadOnlyQueryCalcFields(d); };

    // Lines.
    db::Query& tetel = Raktar_mozgasZReadOnlyQuery;
    tetel.SetSql(kTetelSql);
    tetel.SetExpectedFields(kTetelFields);
    tetel.SetFieldDisplayFormat("forras_raktar_ujkeszlet", kAmountFormat);
    for (const char* name : {"netto_egysegar", "brutto_egysegar", "netto_egysegar_huf",
                             "brutto_egysegar_huf", "lista_egysegar_netto"})
        tetel.SetFieldDisplayFormat(name, kUnitPriceFormat);
    for (const char* name :
         {"netto_arbevetel", "brutto_arbevetel", "netto_arbevetel_huf", "brutto_arbevetel_huf",
          "netto_kedvezmeny", "netto_kedvezmeny_huf", "netto_osszeg", "brutto_osszeg",
          "netto_osszeg_huf", "brutto_osszeg_huf"})
        tetel.SetFieldDisplayFormat(name, kAmountFormat);
    tetel.AddCalculatedField("Masodik_sor", FieldType::String, 6000);
    tetel.AddCalculatedField("AFA_arbevetel", FieldType::Float).SetDisplayFormat(kAmountFormat);
    tetel.AddCalculatedField("AFA_arbevetel_HUF", FieldType::Float).SetDisplayFormat(kAmountFormat);
    tetel.AddCalculatedField("kedvezmeny_szazalek", FieldType::Float).SetDisplayFormat("##0.## %");
    tetel.AddCalculatedField("listaar", FieldType::String, 50);
    tetel.AddCalculatedField("deviza", FieldType::String, 10);
    tetel.AddCalculatedField("kedv", FieldType::String, 10);
    tetel.AddCalculatedField("mee_langtext", FieldType::String, 20);
    tetel.AddCalculatedField("afa_leiras_langtext", FieldType::String, 100);
    tetel.AddCalculatedField("masodik_sor_langtext", FieldType::String, 500);
    tetel.AddCalculatedField("elojel_leiras", FieldType::String, 150);
    tetel.AddCalculatedField("elojel_leiras_lengtext", FieldType::String, 150);
    tetel.BeforeOpen = [this](db::DataSet& d) { Raktar_mozgasZReadOnlyQueryBeforeOpen(d); };
    tetel.OnCalcFields = [this](db::DataSet& d) { Raktar_mozgasZReadOnlyQueryCalcFields(d); };

    // Signs per VAT key.
    ElojelZReadOnlyQuery.SetSql(kElojelSql);
    ElojelZReadOnlyQuery.SetExpectedFields({"afakulcs", "elojel_db"});
    ElojelZReadOnlyQuery.BeforeOpen = [this](db::DataSet& d) { ElojelZReadOnlyQueryBeforeOpen(d); };
}

TInvoiceDatasets::~TInvoiceDatasets() {
    // The handlers point back here; close in the reverse order of the reads.
    Raktar_mozgasZReadOnlyQuery.Close();
    Raktar_mozgas_fejZReadOnlyQuery.Close();
    ElojelZReadOnlyQuery.Close();
}

db::Query* TInvoiceDatasets::DataSetByName(const std::string& name) {
    const std::string folded = db::FoldCase(name);
    for (db::Query* q :
         {&Raktar_mozgas_fejZReadOnlyQuery, &Raktar_mozgasZReadOnlyQuery, &ElojelZReadOnlyQuery}) {
        if (db::FoldCase(q->Name()) == folded)
            return q;
    }
    return nullptr;
}

bool TInvoiceDatasets::HeaderEmpty() const {
    return !Raktar_mozgas_fejZReadOnlyQuery.Active() || Raktar_mozgas_fejZReadOnlyQuery.IsEmpty();
}

std::string TInvoiceDatasets::Prefix() const {
    return selection_.prev == 1 ? "_prev_" : "";
}

std::vector<std::pair<int, long long>> TInvoiceDatasets::ReopenSigns() {
    db::Query& q = ElojelZReadOnlyQuery;
    q.Close();
    q.Open();
    std::vector<std::pair<int, long long>> signs;
    for (q.First(); !q.Eof(); q.Next())
        signs.emplace_back(IntField(q, "afakulcs"), q.FieldByName("elojel_db").AsInteger());
    return signs;
}

void TInvoiceDatasets::ReopenHeaderAndLines() {
    Raktar_mozgas_fejZReadOnlyQuery.Close();
    Raktar_mozgasZReadOnlyQuery.Close();
    Raktar_mozgas_fejZReadOnlyQuery.Open();
    // The header's closing clauses may have opened the lines and walked them to the end.
    if (Raktar_mozgasZReadOnlyQuery.Active())
        Raktar_mozgasZReadOnlyQuery.First();
    else
        Raktar_mozgasZReadOnlyQuery.Open();
}

bool TInvoiceDatasets::ReopenAll() {
    bool mixed = false;
    for (const auto& [afakulcs, elojelDb] : ReopenSigns())
        mixed = mixed || elojelDb > 1;
    SetSignFooterEnabled(mixed);
    ReopenHeaderAndLines();
    return mixed;
}

int TInvoiceDatasets::SelectedKey() {
    if (selection_.bizonylatszam.empty())
        return selection_.fej_kod;
    const std::string key =
        dm_.GetSQLResult("select kod from " + Prefix() +
                             "raktar_mozgas_fej where bizonylatszam = :bizonylat order by kod "
                             "limit 1",
                         {{"bizonylat", selection_.bizonylatszam}});
    std::int64_t kod = 0;
    return db::ParseInteger(key, kod) ? static_cast<int>(kod) : 0;
}

void TInvoiceDatasets::Raktar_mozgas_fejZReadOnlyQueryBeforeOpen(db::DataSet& DataSet) {
    auto& q = static_cast<db::Query&>(DataSet);
    const std::string p = Prefix();
    q.SetLine(kFejFromLine,
              "  from " + p + "raktar_mozgas_fej rm, " + p + "bizonylatszoveg_fej bsz");
    q.SetLine(kFejWhereLine, "    and rm.kod = :kod");
    q.ParamByName("kod").SetAsInteger(SelectedKey());
}

void TInvoiceDatasets::Raktar_mozgas_fejZReadOnlyQueryCalcFields(db::DataSet& DataSet) {
    // 1. The closing clauses (may open the lines and walk them to the end).
    dm_.Raktar_mozgas_fejZaradekCalcFields(DataSet, Raktar_mozgasZReadOnlyQuery);

    // 2. A preview has no final number yet.
    DataSet.FieldByName("_prev_bizonylat").SetAsString("????????");

    // 3. Reversal note.
    const int sztornozott = IntField(DataSet, "sztornozott_bizonylat_kod");
    if (sztornozott != 0) {
        std::string fobizonylat;
        dm_.GetFobizonylat(sztornozott, fobizonylat);
        DataSet.FieldByName("sztorno_megjegyzes")
            .SetAsString("Ez az okirat érvényteleníti a " + fobizonylat + " számú számlát!");
    } else {
        DataSet.FieldByName("sztorno_megjegyzes").SetAsString("");
    }

    // 4. Payment method in the document language.
    if (!selection_.nyelv.empty()) {
        TFizmodInfo fizmod;
        dm_.GetFizmodInfo(IntField(DataSet, "fizetesmod_kod"), selection_.nyelv, fizmod);
        DataSet.FieldByName("fizetesmod_szla_langtext").SetAsString(fizmod.nev);
    }

    // 5. Issued from a pro-forma invoice.
    if (IntField(DataSet, "forras_bizonylat_kod") != 0 &&
        IntField(DataSet, "forras_bizonylat_fajta") == 9) {
        DataSet.FieldByName("forras_bizonylat_leiras")
            .SetAsString("Ez a számla a " + DataSet.FieldByName("forras_bizonylat").AsString() +
                         " számú proforma számla alapján lett kiállítva, tehát Pénzügyileg már "
                         "RENDEZVE VAN!");
    }
}

void TInvoiceDatasets::Raktar_mozgasZReadOnlyQueryBeforeOpen(db::DataSet& DataSet) {
    auto& q = static_cast<db::Query&>(DataSet);
    const std::string p = Prefix();
    q.SetLine(kTetelFromLine,
              "  from " + p + "raktar_mozgas rm, " + p + "bizonylatszoveg bsz, afa_kulcs");

    db::Query& fej = Raktar_mozgas_fejZReadOnlyQuery;
    if (!fej.Active())
        fej.Open();
    q.ParamByName("prev").SetAsInteger(selection_.prev);
    // An empty header reads as key 0: no lines.
    q.ParamByName("kod").SetAsInteger(fej.FieldByName("kod").AsInteger());

    // Collective invoice: lines that were invoiced from delivery notes are grouped by the
    // fulfilment date of their note when the document asks for that layout.
    const std::string count = dm_.GetSQLResult(
        "SELECT COUNT(*) FROM " + p +
            "raktar_mozgas WHERE (not(eredeti_szallito_telj_datum is NULL)) AND fej_kod = :fej_kod",
        {{"fej_kod", fej.FieldByName("kod").AsInteger()}});
    std::int64_t szallitos = 0;
    if (!db::ParseInteger(count, szallitos))
        szallitos = 0;
    gyujtoszamlaGroupEnabled_ =
        szallitos > 0 && fej.FieldByName("gyujtoszamla_formatum_szallito").AsInteger() == 1;
}

void TInvoiceDatasets::Raktar_mozgasZReadOnlyQueryCalcFields(db::DataSet& DataSet) {
    // 1. Printed item text: the stored full text wins over the item-name layout.
    const std::string nevTeljes = DataSet.FieldByName("nev_teljes").AsString();
    if (!nevTeljes.empty()) {
        DataSet.FieldByName("Masodik_sor")
            .SetAsString(nevTeljes + TrimBlanks(DataSet.FieldByName("megjegyzes").AsString()) +
                         " " + DataSet.FieldByName("egyed_info").AsString());
    } else {
        DataSet.FieldByName("Masodik_sor")
            .SetAsString(dm_.GetMasodik_sor(DataSet, selection_.prev, "3"));
    }

    // 2. VAT amounts.
    DataSet.FieldByName("AFA_arbevetel_HUF")
        .SetAsFloat(DataSet.FieldByName("brutto_arbevetel_huf").AsFloat() -
                    DataSet.FieldByName("netto_arbevetel_huf").AsFloat());
    DataSet.FieldByName("AFA_arbevetel")
        .SetAsFloat(DataSet.FieldByName("brutto_arbevetel").AsFloat() -
                    DataSet.FieldByName("netto_arbevetel").AsFloat());

    // 3. Discount percent of the net amount before discount.
    const double kedvezmeny = DataSet.FieldByName("netto_kedvezmeny").AsFloat();
    const double alap = DataSet.FieldByName("netto_arbevetel").AsFloat() + kedvezmeny;
    const double szazalek = alap != 0 ? kedvezmeny / alap * 100 : 0;
    DataSet.FieldByName("kedvezmeny_szazalek").SetAsFloat(szazalek);

    // 4. Names in the document language.
    const std::string& nyelv = selection_.nyelv;
    if (!nyelv.empty()) {
        TMennyisegiEgysegInfo mee;
        dm_.GetMennyisegiEgysegInfo(IntField(DataSet, "mee_kod"), nyelv, mee);
        DataSet.FieldByName("mee_langtext").SetAsString(mee.nev);
        TAFAInfo afa;
        dm_.GetAFAInfo(IntField(DataSet, "afakulcs"), nyelv, afa);
        DataSet.FieldByName("afa_leiras_langtext").SetAsString(afa.nev);
        TTetelInfo tetel;
        dm_.GetTetelInfo(IntField(DataSet, "tetel_kod"), nyelv, tetel);
        DataSet.FieldByName("masodik_sor_langtext").SetAsString(tetel.nev);
    }

    // 5. Texts of the discount note.
    DataSet.FieldByName("listaar").SetAsString(
        NumberText(DataSet.FieldByName("lista_egysegar_netto").AsFloat()));
    DataSet.FieldByName("deviza").SetAsString(
        Raktar_mozgas_fejZReadOnlyQuery.FieldByName("deviza_nev").AsString());
    DataSet.FieldByName("kedv").SetAsString(NumberText(szazalek) + " %");

    // 6. Captions of the sign subtotals, only while their band prints.
    if (signFooterEnabled_) {
        const bool negative = DataSet.FieldByName("elojel").AsFloat() < 0;
        DataSet.FieldByName("elojel_leiras")
            .SetAsString(negative ? "Visszavezetések összesen:" : "Teljesített tételek összesen:");
        if (!nyelv.empty()) {
            std::string text;
            // "0" stands for Hungarian here as in every language argument.
            const std::string column = "lang_" + (nyelv == "0" ? std::string("0000040e") : nyelv);
            dm_.GetBizonylat_nyelvInfo(negative ? 10170 : 10180, column, text);
            DataSet.FieldByName("elojel_leiras_lengtext").SetAsString(text);
        }
    }
}

void TInvoiceDatasets::ElojelZReadOnlyQueryBeforeOpen(db::DataSet& DataSet) {
    auto& q = static_cast<db::Query&>(DataSet);
    q.SetLine(kElojelFromLine, "  from " + Prefix() + "raktar_mozgas rm");
    q.ParamByName("kod").SetAsInteger(SelectedKey());
}

}  // namespace dorvan
