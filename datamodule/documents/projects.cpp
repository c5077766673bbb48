// Projects: turnover figures, date range, moving documents between projects, name lookups.
//
// The turnover queries sum whole groups of rows and UNION ALL their parts, so two parts that
// happen to give the same figures both count. A document is counted once when it has a
// header-text row, however many it has. Amounts received or paid are converted at the
// document's own rate; a document with a zero total gives no received amount instead of a
// division error.

#include "datamodule/documents/projects.h"

#include <string>
#include <vector>

#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/sql_params.h"

namespace dorvan {

namespace {

using Lines = std::vector<std::string>;

void Add(Lines& to, const Lines& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

// Open value per partner of the quantities not yet invoiced.
const Lines kOpen = {
    "   sum(brutto_egysegar_huf * (raktar_mozgas.mennyiseg - raktar_mozgas.mennyiseg_szamlazva)) "
    "as brutto_osszeg_huf,",
    "   sum(netto_egysegar_huf * (raktar_mozgas.mennyiseg - raktar_mozgas.mennyiseg_szamlazva)) as "
    "netto_osszeg_huf,",
    "   sum(forras_raktar_atlagar * (raktar_mozgas.mennyiseg - "
    "raktar_mozgas.mennyiseg_szamlazva)) * (1+(max(afa_kulcs.afakulcs)/100)) as brutto_nyilv_huf,",
    "   sum(forras_raktar_atlagar * (raktar_mozgas.mennyiseg - "
    "raktar_mozgas.mennyiseg_szamlazva)) as netto_nyilv_huf",
};

// The joins of the document queries, numbered 1 to 7 as used below.
const Lines kJoin = {
    "  from raktar_mozgas_fej",
    "    inner join raktar_mozgas on raktar_mozgas_fej.kod = raktar_mozgas.fej_kod",
    "    inner join (select distinct fej_kod from bizonylatszoveg_fej) as bizonylatszoveg_fej on "
    "raktar_mozgas_fej.kod = bizonylatszoveg_fej.fej_kod",
    "    inner join tetel on raktar_mozgas.tetel_kod = tetel.kod",
    "    inner join afa_kulcs on tetel.afa_kulcs = afa_kulcs.kod",
    "    inner join projektek on raktar_mozgas_fej.projekt = projektek.kod",
    "    inner join projekt_besorolas on projektek.besorolas = projekt_besorolas.kod",
};

Lines JoinLines(std::initializer_list<int> numbers) {
    Lines lines;
    for (const int n : numbers)
        lines.push_back(kJoin.at(static_cast<std::size_t>(n - 1)));
    return lines;
}

// Documents that are neither reversals nor reversed, then the filter line.
Lines Live(const std::string& m) {
    return {"  where (raktar_mozgas_fej.sztornozott_bizonylat_kod = 0)",
            "    and (raktar_mozgas_fej.sztornozo_bizonylat_kod = 0)", m};
}

// Q1 / Q2: open value and book value of the documents of one kind.
Lines OpenDocuments(const std::string& m, int fajta, const std::string& note) {
    const std::string kind =
        "    and (raktar_mozgas_fej.bizonylat_fajta = " + std::to_string(fajta) + ")";
    Lines q = {
        "select SUM(brutto_osszeg_huf) as brutto_osszeg_huf, SUM(netto_osszeg_huf) as "
        "netto_osszeg_huf,",
        "    SUM(brutto_nyilv_huf) as brutto_nyilv_huf, SUM(netto_nyilv_huf) as "
        "netto_nyilv_huf",
        "  from (select raktar_mozgas_fej.partner_kod,"};
    for (const int automata : {1, 0}) {
        if (automata == 0) {
            q.push_back("union all");
            q.push_back("select raktar_mozgas_fej.partner_kod,");
        }
        Add(q, kOpen);
        Add(q, kJoin);
        Add(q, Live(m));
        q.push_back(kind);
        q.push_back("    and (projekt_besorolas.automata_tervezes = " + std::to_string(automata) +
                    ")");
        q.push_back(automata == 1
                        ? "  group by raktar_mozgas_fej.partner_kod -- // automata tervezés (" +
                              note + ")"
                        : "  group by raktar_mozgas_fej.partner_kod) as Data -- // NEM automata "
                          "tervezés (" +
                              note + ")");
    }
    return q;
}

Lines Invoices(const std::string& m) {
    Lines q = {
        "select SUM(brutto_osszeg_huf) as brutto_osszeg_huf, SUM(netto_osszeg_huf) as "
        "netto_osszeg_huf,",
        "    SUM(brutto_nyilv_huf) as brutto_nyilv_huf, SUM(netto_nyilv_huf) as netto_nyilv_huf, "
        "SUM(osszeg) as osszeg",
        "  from (select raktar_mozgas_fej.kod,",
        "   Max(raktar_mozgas_fej.brutto_arbevetel_vegosszeg_huf) as brutto_osszeg_huf,",
        "   Max(raktar_mozgas_fej.netto_arbevetel_vegosszeg_huf) as netto_osszeg_huf,",
        "   sum(forras_raktar_atlagar * (raktar_mozgas.mennyiseg)) * "
        "(1+(max(afa_kulcs.afakulcs)/100)) as brutto_nyilv_huf,",
        "   sum(forras_raktar_atlagar * (raktar_mozgas.mennyiseg)) as netto_nyilv_huf,",
        "   round((Max(penzeszkoz_iktato.osszeg)/"
        "nullif(Max(raktar_mozgas_fej.brutto_arbevetel_vegosszeg), 0))*"
        "Max(raktar_mozgas_fej.brutto_arbevetel_vegosszeg_huf)) as osszeg",
        "  from raktar_mozgas_fej",
        "    left join (select raktar_mozgas_fej_kod, SUM(penzeszkoz_iktato.osszeg) as osszeg from "
        "penzeszkoz_iktato group by raktar_mozgas_fej_kod) as penzeszkoz_iktato on "
        "raktar_mozgas_fej.kod = penzeszkoz_iktato.raktar_mozgas_fej_kod",
    };
    Add(q, JoinLines({2, 3, 4, 5, 6}));
    Add(q, Live(m));
    q.push_back("    and (raktar_mozgas_fej.bizonylat_fajta = 5)");
    q.push_back("  group by raktar_mozgas_fej.kod) as data");
    return q;
}

Lines SupplierInvoices(const std::string& m) {
    return {
        "select SUM(netto_vegosszeg_huf) as netto_vegosszeg_huf, SUM(brutto_vegosszeg_huf) as "
        "brutto_vegosszeg_huf,",
        "    SUM(osszeg) as osszeg",
        "  from (select szallitoi_szamlak.kod, szallitoi_szamlak.bizonylatszam, "
        "szallitoi_szamlak.netto_vegosszeg_huf, szallitoi_szamlak.brutto_vegosszeg_huf,",
        "       round( ( sum(penzeszkoz_iktato.osszeg) / "
        "nullif(Max(szallitoi_szamlak.brutto_vegosszeg), 0) ) * "
        "Max(szallitoi_szamlak.brutto_vegosszeg_huf) ) as osszeg",
        "   from szallitoi_szamlak",
        "     left join penzeszkoz_iktato on szallitoi_szamlak.kod = "
        "penzeszkoz_iktato.szallitoi_szamlak_kod",
        "     inner join projektek on szallitoi_szamlak.projekt = projektek.kod",
        "   where szallitoi_szamlak.kod > 0",
        m,
        "   group by 1,2,3,4) as data",
    };
}

Lines Revenue(const std::string& m) {
    Lines q = {
        "select SUM(osszeg) as osszeg, SUM(brutto) as brutto",
        "  from (select SUM(projektek_konyveles.novekedes) as osszeg, "
        "SUM(projektek_konyveles.novekedes + projektek_konyveles.afa) as brutto",
        "  from projektek_konyveles",
        "    inner join projektek on projektek_konyveles.projekt = projektek.kod",
        "    inner join projekt_besorolas on projektek.besorolas = projekt_besorolas.kod",
        "  where (projektek_konyveles.tipus = 1)",
        "    and (projektek_konyveles.novekedes > 0)",
        "    and (projekt_besorolas.automata_tervezes = 0)",
        m,
        "UNION ALL",
        "select sum(netto_egysegar_huf * (raktar_mozgas.mennyiseg - "
        "raktar_mozgas.mennyiseg_szamlazva)) as osszeg,",
        "   sum(brutto_egysegar_huf * (raktar_mozgas.mennyiseg - "
        "raktar_mozgas.mennyiseg_szamlazva)) as brutto",
    };
    Add(q, JoinLines({1, 2, 6, 7}));
    Add(q, Live(m));
    q.push_back(
        "    and ((raktar_mozgas_fej.bizonylat_fajta = 4) or (raktar_mozgas_fej.bizonylat_fajta = "
        "13))");
    q.push_back("    and (projekt_besorolas.automata_tervezes = 1)");
    q.push_back("UNION ALL");
    q.push_back("select Sum(raktar_mozgas_fej.netto_arbevetel_vegosszeg_huf) as osszeg,");
    q.push_back("   Sum(raktar_mozgas_fej.brutto_arbevetel_vegosszeg_huf) as brutto");
    Add(q, JoinLines({1, 6, 7}));
    Add(q, Live(m));
    q.push_back("    and (raktar_mozgas_fej.bizonylat_fajta = 5)");
    q.push_back("    and (projekt_besorolas.automata_tervezes = 1)) as Data");
    return q;
}

Lines Cost(const std::string& m) {
    Lines q = {
        "select SUM(osszeg) as osszeg, SUM(brutto) as brutto",
        "  from (select SUM(projektek_konyveles.novekedes * -1) as osszeg, "
        "SUM((projektek_konyveles.novekedes * -1) + (projektek_konyveles.afa * -1)) as brutto",
        "  from projektek_konyveles",
        "    inner join projektek on projektek_konyveles.projekt = projektek.kod",
        "    inner join projekt_besorolas on projektek.besorolas = projekt_besorolas.kod",
        "  where projektek_konyveles.tipus = 1",
        "    and projektek_konyveles.novekedes < 0",
        "    and (projekt_besorolas.automata_tervezes = 0)",
        m,
        "UNION ALL",
        "select sum(forras_raktar_atlagar * (raktar_mozgas.mennyiseg - "
        "raktar_mozgas.mennyiseg_szamlazva)) as osszeg,",
        "       sum(forras_raktar_atlagar * (raktar_mozgas.mennyiseg - "
        "raktar_mozgas.mennyiseg_szamlazva)) * (1+(max(afa_kulcs.afakulcs)/100)) as brutto",
    };
    Add(q, JoinLines({1, 2, 4, 5, 6, 7}));
    Add(q, Live(m));
    q.push_back(
        "    and ((raktar_mozgas_fej.bizonylat_fajta = 13) or (raktar_mozgas_fej.bizonylat_fajta "
        "= 4) or (raktar_mozgas_fej.bizonylat_fajta = 5))");
    q.push_back("    and (projekt_besorolas.automata_tervezes = 1)");
    q.push_back("  group by raktar_mozgas_fej.partner_kod) as Data");
    return q;
}

Lines Bookings(const std::string& m, int tipus) {
    return {"select SUM(projektek_konyveles.novekedes) as osszeg", "  from projektek_konyveles",
            "    inner join projektek on projektek_konyveles.projekt = projektek.kod",
            "  where projektek_konyveles.tipus = " + std::to_string(tipus), m};
}

TEgysegar Huf(double netto, double brutto) {
    TEgysegar e;
    e.egysegar = netto;
    e.egysegar_brutto = brutto;
    e.deviza_nev = "HUF";
    return e;
}

TEgysegar GrossOnly(TEgysegar e, double brutto) {
    e.egysegar_brutto = brutto;
    e.deviza_nev = "HUF";
    return e;
}

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

}  // namespace

void Projects::GetProjektForgalomInfo(int Kod, const std::string& Mode,
                                      TProjektForgalomInfo& Info) {
    Info.kod = 0;
    if (Kod == 0)
        return;
    std::string m = "    ";
    db::ParamValues params;
    if (Mode == "projekt") {
        m = "    and (projektek.kod = :kulcs)";
        params = {{"kulcs", Kod}};
    } else if (Mode == "partner") {
        m = "    and (projektek.partner_kod = :kulcs)";
        params = {{"kulcs", Kod}};
    } else if (!Mode.empty()) {
        dm_.UserInterface().ShowMessage(
            std::string(kApplicationTitle) + " dialog",
            "GetProjektForgalomInfo - érvénytelen \"mode\" hiba: \"" + Mode + "\"");
        dm_.UserInterface().RequestTerminate();
    }
    const auto run = [&](Lines sql) {
        return OpenQuery(dm_.ZConnection, "GetProjektForgalomInfoSQL", std::move(sql), params);
    };

    auto q = run(OpenDocuments(m, 4, "szállítólevél"));
    Info.szallito_nyitott =
        Huf(FloatField(*q, "netto_osszeg_huf"), FloatField(*q, "brutto_osszeg_huf"));
    Info.szallito_nyilv =
        Huf(FloatField(*q, "netto_nyilv_huf"), FloatField(*q, "brutto_nyilv_huf"));

    q = run(OpenDocuments(m, 13, "p.szállítólevél"));
    Info.projekt_szallito_nyitott =
        Huf(FloatField(*q, "netto_osszeg_huf"), FloatField(*q, "brutto_osszeg_huf"));
    Info.projekt_szallito_nyilv =
        Huf(FloatField(*q, "netto_nyilv_huf"), FloatField(*q, "brutto_nyilv_huf"));

    q = run(Invoices(m));
    Info.szamla = Huf(FloatField(*q, "netto_osszeg_huf"), FloatField(*q, "brutto_osszeg_huf"));
    Info.szamla_nyilv = Huf(FloatField(*q, "netto_nyilv_huf"), FloatField(*q, "brutto_nyilv_huf"));
    Info.szamla_befizetes = GrossOnly(Info.szamla_befizetes, FloatField(*q, "osszeg"));

    q = run(SupplierInvoices(m));
    Info.szallitoi_szamla =
        Huf(FloatField(*q, "netto_vegosszeg_huf"), FloatField(*q, "brutto_vegosszeg_huf"));
    Info.szallitoi_szamla_kifizetes =
        GrossOnly(Info.szallitoi_szamla_kifizetes, FloatField(*q, "osszeg"));

    Info.szamlazott = Huf(Info.szamla.egysegar, Info.szamla.egysegar_brutto);
    Info.nyilv_osszesen =
        Huf(Info.szallito_nyilv.egysegar + Info.szamla_nyilv.egysegar +
                Info.projekt_szallito_nyilv.egysegar,
            Info.szallito_nyilv.egysegar_brutto + Info.szamla_nyilv.egysegar_brutto +
                Info.projekt_szallito_nyilv.egysegar_brutto);

    q = run(Revenue(m));
    Info.bevetel = Huf(FloatField(*q, "osszeg"), FloatField(*q, "brutto"));
    q = run(Cost(m));
    Info.koltseg = Huf(FloatField(*q, "osszeg"), FloatField(*q, "brutto"));
    q = run(Bookings(m, 4));
    Info.konyveles_4 = FloatField(*q, "osszeg");
    q = run(Bookings(m, 5));
    Info.konyveles_5 = FloatField(*q, "osszeg");
}

void Projects::GetMaxMinProjektDatum(int Kod, TProjektDatum& Datum) {
    Datum.datum1 = 0;
    Datum.datum2 = 0;
    const std::string name = "GetMaxMinProjektDatumSQL";
    const db::ParamValues key = {{"kod", Kod}};
    if (Kod != 0) {
        auto q = OpenQuery(dm_.ZConnection, name,
                           {"SELECT *", " from projektek", " where kod = :kod"}, key);
        if (!q->IsEmpty()) {
            Datum.datum1 = q->FieldByName("datum1").AsDateTime();
            Datum.datum2 = q->FieldByName("datum2").AsDateTime();
        }
    } else {
        auto q = OpenQuery(dm_.ZConnection, name,
                           {"SELECT MIN(datum1) as datum1, MAX(datum2) as datum2",
                            " from projektek", " where kod <> 0"});
        Datum.datum1 = q->FieldByName("datum1").AsDateTime();
        Datum.datum2 = q->FieldByName("datum2").AsDateTime();
    }
    const auto widen = [&](const db::DataSet& q) {
        const TDateTime first = q.FieldByName("datum1").AsDateTime();
        const TDateTime last = q.FieldByName("datum2").AsDateTime();
        // A start date still unknown takes the first booking or document date.
        if (first != 0 && (Datum.datum1 == 0 || first < Datum.datum1))
            Datum.datum1 = first;
        if (last > Datum.datum2)
            Datum.datum2 = last;
    };
    const std::string where = Kod != 0 ? " where projekt = :kod" : "";
    const db::ParamValues params = Kod != 0 ? key : db::ParamValues{};
    {
        auto q = OpenQuery(dm_.ZConnection, name,
                           {"SELECT min(datum) as datum1, max(datum) as datum2",
                            " from projektek_konyveles", where},
                           params);
        widen(*q);
    }
    {
        auto q = OpenQuery(dm_.ZConnection, name,
                           {"SELECT min(datum) as datum1, max(datum) as datum2, max(fiz_hatarido) "
                            "as datum3 ",
                            " from raktar_mozgas_fej", where},
                           params);
        widen(*q);
        const TDateTime due = q->FieldByName("datum3").AsDateTime();
        if (due > Datum.datum2)
            Datum.datum2 = due;
    }
    if (Datum.datum1 == 0 || Datum.datum2 == 0) {
        const TDateTime today = dm_.GetDate();
        if (Datum.datum1 == 0)
            Datum.datum1 = today;
        if (Datum.datum2 == 0)
            Datum.datum2 = today;
    }
    if (Datum.datum1 > Datum.datum2)
        Datum.datum1 = Datum.datum2;
}

bool Projects::SetProjectKod(int FejKod, int ProjektKod) {
    const bool result =
        dm_.ExecSQL("update raktar_mozgas_fej set projekt = :projekt where kod = :kod",
                    {{"projekt", ProjektKod}, {"kod", FejKod}});
    if (result) {
        dm_.AddLogItem("PROJEKT BESOROLÁS", "Módosítás: " + std::to_string(FejKod) +
                                                " új projekt szám: " + std::to_string(ProjektKod));
    }
    return result;
}

void Projects::GetNevViaKod(const std::string& Table, int Kod, std::string& Text) {
    Text.clear();
    if (!PlainIdentifier(Table))
        throw std::invalid_argument("invalid table name '" + Table + "'");
    auto q =
        OpenQuery(dm_.ZConnection, "GetNevViaKodSQL",
                  {"SELECT *", " from " + db::QuoteIdent(AsciiLower(Table)), " where kod = :kod"},
                  {{"kod", Kod}});
    if (q->FindField("lang_0000040e") != nullptr)
        Text = TextField(*q, "lang_0000040e");
    else if (q->FindField("Nev") != nullptr)
        Text = TextField(*q, "Nev");
    if (q->FindField("Hasznalatban") != nullptr && IntField(*q, "Hasznalatban") != 1)
        Text += " (megszünt)";
}

void Projects::GetProjekt_utemezesNev(int Kod, std::string& Text) {
    GetNevViaKod("projekt_utemezes", Kod, Text);
}

void Projects::GetProjekt_besorolasNev(int Kod, std::string& Text) {
    GetNevViaKod("projekt_besorolas", Kod, Text);
}

void Projects::GetProjekt_statuszNev(int Kod, std::string& Text) {
    GetNevViaKod("projekt_statusz", Kod, Text);
}

}  // namespace dorvan
