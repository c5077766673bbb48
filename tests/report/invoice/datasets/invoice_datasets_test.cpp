// The invoice's header, line and sign datasets over the demo documents.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "db/errors.h"
#include "invoice_data_fixture.h"

namespace dorvan::test {
namespace {

using Signs = std::vector<std::pair<int, long long>>;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Invoice 4317 in dataset order: VAT key, then sign (descending), then line key.
const std::vector<int> k4317Lines = {431701, 431702, 431703, 431707, 431708,
                                     431709, 431710, 431705, 431706, 431704};

TEST_F(InvoiceDataTest, Invoice4317ByKeyAndByNumber) {
    struct Case {
        const char* name;
        int fej_kod;
        const char* bizonylatszam;
    };
    const Case cases[] = {
        {"by key", 4317, ""},
        {"by number", 4317, "SZ2026/0000002"},
        {"by number, key left 0", 0, "SZ2026/0000002"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        props.fej_kod = c.fej_kod;
        props.bizonylatszam = c.bizonylatszam;
        data->ReopenAll();

        ASSERT_FALSE(data->HeaderEmpty());
        EXPECT_EQ(Fej().RecordCount(), 1);
        EXPECT_EQ(Fej().FieldByName("kod").AsInteger(), 4317);
        EXPECT_EQ(FejText("Bizonylatszam"), "SZ2026/0000002");
        EXPECT_EQ(FejText("nev"), "Kovács és Társa Bt.");
        EXPECT_EQ(FejText("egyedi_zaradek"), "Köszönjük, hogy nálunk vásárolt!");
        // The closing clauses, through the data module.
        EXPECT_NE(FejText("zaradek").find("A fenti összegek magyar forintban értendők!\r"
                                          "Fizetendő végösszeg: "),
                  std::string::npos)
            << FejText("zaradek");
        EXPECT_EQ(FejText("_prev_bizonylat"), "????????");
        EXPECT_EQ(FejText("sztorno_megjegyzes"), "");
        EXPECT_TRUE(Fej().FieldByName("forras_bizonylat_leiras").IsNull());
        EXPECT_TRUE(Fej().FieldByName("fizetesmod_szla_langtext").IsNull());

        // The lines follow the header that was found, rewound to the first line.
        EXPECT_FALSE(Tetel().Eof());
        EXPECT_EQ(Tetel().RecNo(), 1);
        EXPECT_EQ(LineKeys(), k4317Lines);
        EXPECT_FALSE(data->GyujtoszamlaGroupEnabled());
    }
}

TEST_F(InvoiceDataTest, OpeningTheLinesFirstOpensTheHeader) {
    // The header's closing clauses open the lines themselves while the lines are opening.
    props.fej_kod = 4311;
    Tetel().Open();
    EXPECT_TRUE(Fej().Active());
    EXPECT_EQ(Fej().FieldByName("kod").AsInteger(), 4311);
    EXPECT_FALSE(FejText("zaradek").empty());
    EXPECT_TRUE(data->GyujtoszamlaGroupEnabled());
    EXPECT_EQ(LineKeys(), (std::vector<int>{431102, 431101}));
    Tetel().First();
    EXPECT_FALSE(LineText("Masodik_sor").empty());
}

TEST_F(InvoiceDataTest, SignsAndCollectiveCountFollowTheSelectedDocument) {
    // VAT key 1 has supplied lines and a returned one; keys 2 and 3 one sign each.
    props.fej_kod = 4317;
    EXPECT_EQ(data->ReopenSigns(), (Signs{{1, 2}, {2, 1}, {3, 1}}));

    // Selected by number, every dataset reads the numbered document, whatever `fej_kod` says.
    struct Case {
        int fej_kod;
        const char* bizonylatszam;
        int key;
        bool signFooter;
        bool collective;
    };
    const Case cases[] = {
        {0, "SZ2026/0000002", 4317, true, false},
        {4317, "SZ2026/0000001", 4311, false, true},
        {4311, "SZ2026/0000002", 4317, true, false},
        {4317, "NINCS/0000001", 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bizonylatszam);
        props.fej_kod = c.fej_kod;
        props.bizonylatszam = c.bizonylatszam;
        EXPECT_EQ(data->SelectedKey(), c.key);
        EXPECT_EQ(data->ReopenAll(), c.signFooter);
        EXPECT_EQ(data->SignFooterEnabled(), c.signFooter);
        EXPECT_EQ(data->GyujtoszamlaGroupEnabled(), c.collective);
        EXPECT_EQ(Fej().IsEmpty() ? 0 : Fej().FieldByName("kod").AsInteger(), c.key);
    }

    // A zero-value line next to positive ones counts as a second sign.
    props.fej_kod = 4317;
    props.bizonylatszam.clear();
    Exec("update raktar_mozgas set netto_arbevetel = 0 where kod = 431704");
    Exec(
        "insert into raktar_mozgas (fej_kod, tetel_kod, afakulcs, netto_arbevetel)"
        " values (4317, 3, 3, 100)");
    EXPECT_EQ(data->ReopenSigns(), (Signs{{1, 2}, {2, 1}, {3, 2}}));
}

TEST_F(InvoiceDataTest, NumberWithApostropheIsABoundValue) {
    Exec("update raktar_mozgas_fej set bizonylatszam = :n where kod = 4317",
         {{"n", "SZ'2026/0000002"}});
    props.bizonylatszam = "SZ'2026/0000002";
    data->ReopenAll();
    ASSERT_FALSE(data->HeaderEmpty());
    EXPECT_EQ(Fej().FieldByName("kod").AsInteger(), 4317);
    EXPECT_EQ(Tetel().RecordCount(), 10);
}

TEST_F(InvoiceDataTest, PrevReadsTheSnapshotTables) {
    // The snapshot differs from the stored document in every table the datasets read.
    Exec("update _prev_raktar_mozgas_fej set hivszam = 'ELŐNÉZET' where kod = 4317");
    Exec(
        "update _prev_bizonylatszoveg_fej set partner_nev = 'Kovács és Társa (módosítás)'"
        " where fej_kod = 4317");
    Exec("update _prev_bizonylatszoveg set nev_teljes = 'Javított sor' where sor_kod = 431701");
    Exec("delete from _prev_raktar_mozgas where kod = 431710");
    Exec("delete from _prev_raktar_mozgas_egyedi where rm_kod = 431702 and kod = 4317022");
    // Line 431701 becomes a delivery-note line of the collective layout, in the copy only.
    Exec(
        "update _prev_raktar_mozgas set eredeti_szallito_telj_datum = '2026-11-30'"
        " where kod = 431701");
    Exec(
        "update _prev_bizonylatszoveg_fej set gyujtoszamla_formatum_szallito = 1"
        " where fej_kod = 4317");
    Exec("update bizonylatszoveg_fej set gyujtoszamla_formatum_szallito = 1 where fej_kod = 4317");

    props.fej_kod = 4317;
    struct Case {
        int prev;
        const char* hivszam;
        const char* nev;
        std::size_t lines;
        const char* line1;
        bool signFooter;
        bool collective;
    };
    const Case cases[] = {
        {0, "MR-4471", "Kovács és Társa Bt.", 10, "", true, false},
        {1, "ELŐNÉZET", "Kovács és Társa (módosítás)", 9, "Javított sor", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prev);
        props.prev = c.prev;
        data->ReopenAll();
        EXPECT_EQ(FejText("hivszam"), c.hivszam);
        EXPECT_EQ(FejText("nev"), c.nev);
        EXPECT_EQ(FejText("_prev_bizonylat"), "????????");
        EXPECT_EQ(LineKeys().size(), c.lines);
        GoToLine(431701);
        EXPECT_EQ(LineText("nev_teljes"), c.line1);
        EXPECT_EQ(data->SignFooterEnabled(), c.signFooter);
        EXPECT_EQ(data->GyujtoszamlaGroupEnabled(), c.collective);
        // The individual units come from the same copy as the line.
        GoToLine(431702);
        const std::string egyed = LineText("egyed_info");
        EXPECT_EQ(egyed.find(", ") != std::string::npos, c.prev == 0) << egyed;
        EXPECT_TRUE(EndsWith(LineText("Masodik_sor"), egyed)) << LineText("Masodik_sor");
    }
}

TEST_F(InvoiceDataTest, PrevWithoutSnapshotTableFailsAtOpening) {
    Exec("drop table _prev_bizonylatszoveg_fej");
    props.fej_kod = 4317;
    props.prev = 1;
    EXPECT_THROW(data->ReopenAll(), db::DbError);
}

TEST_F(InvoiceDataTest, MasodikSor) {
    Exec("update raktar_mozgas set megjegyzes = '  a helyszínen  ' where kod in (431707, 431708)");
    props.fej_kod = 4317;
    data->ReopenAll();

    // A stored full text is printed as it stands, with the trimmed note right after it.
    GoToLine(431707);
    EXPECT_EQ(LineText("Masodik_sor"),
              "Helyszíni szerelés és beüzemelés (2026.12.03., 2,5 óra)a helyszínen ");

    // Without one, the item name by the invoice's name layout, the note and the units.
    GoToLine(431708);
    const std::string text = LineText("Masodik_sor");
    EXPECT_EQ(text.rfind(LineText("nev"), 0), 0u) << text;
    EXPECT_TRUE(EndsWith(text, "a helyszínen ")) << text;
    GoToLine(431702);
    const std::string egyed = LineText("egyed_info");
    ASSERT_FALSE(egyed.empty());
    EXPECT_EQ(LineText("Masodik_sor").rfind(LineText("nev"), 0), 0u);
    EXPECT_TRUE(EndsWith(LineText("Masodik_sor"), " " + egyed)) << LineText("Masodik_sor");

    // A full text also takes the line's individual units after a space.
    Exec("update bizonylatszoveg set nev_teljes = 'Fúrógép bérlet' where sor_kod = 431702");
    data->ReopenAll();
    GoToLine(431702);
    EXPECT_EQ(LineText("Masodik_sor"), "Fúrógép bérlet " + egyed);
}

TEST_F(InvoiceDataTest, AmountsDiscountAndTexts) {
    // Line 431702 gets a discount of 2 x 900 below its list price; 431701 a discount that
    // eats the whole net amount before discount (no division by zero).
    Exec(
        "update raktar_mozgas set netto_arbevetel = 48000, brutto_arbevetel = 60960,"
        " netto_arbevetel_huf = 48000, brutto_arbevetel_huf = 60960, netto_kedvezmeny = 1800,"
        " lista_egysegar_netto = 1234567.891 where kod = 431702");
    Exec("update raktar_mozgas set netto_kedvezmeny = -netto_arbevetel where kod = 431701");
    Exec("update raktar_mozgas set lista_egysegar_netto = -1234.5 where kod = 431709");
    props.fej_kod = 4317;
    data->ReopenAll();

    struct Case {
        int kod;
        double kedvezmeny_szazalek;
        const char* kedv;
    };
    const Case cases[] = {
        {431702, 1800.0 / 49800.0 * 100, "3,61 %"},
        {431701, 0, "0,00 %"},
        {431710, 0, "0,00 %"},  // a returned line without discount
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kod);
        GoToLine(c.kod);
        EXPECT_NEAR(Tetel().FieldByName("kedvezmeny_szazalek").AsFloat(), c.kedvezmeny_szazalek,
                    1e-9);
        EXPECT_FALSE(std::isnan(Tetel().FieldByName("kedvezmeny_szazalek").AsFloat()));
        EXPECT_EQ(LineText("kedv"), c.kedv);
        EXPECT_EQ(LineText("deviza"), "HUF");
    }
    GoToLine(431702);
    EXPECT_DOUBLE_EQ(Tetel().FieldByName("AFA_arbevetel").AsFloat(), 12960);
    EXPECT_DOUBLE_EQ(Tetel().FieldByName("AFA_arbevetel_HUF").AsFloat(), 12960);
    EXPECT_EQ(LineText("listaar"), "1 234 567,89");
    GoToLine(431709);
    EXPECT_EQ(LineText("listaar"), "-1 234,50");
    GoToLine(431710);
    EXPECT_EQ(LineText("listaar"), "4 990,00");
    EXPECT_DOUBLE_EQ(Tetel().FieldByName("AFA_arbevetel").AsFloat(),
                     Tetel().FieldByName("brutto_arbevetel").AsFloat() -
                         Tetel().FieldByName("netto_arbevetel").AsFloat());
    EXPECT_LT(Tetel().FieldByName("AFA_arbevetel").AsFloat(), 0);
    EXPECT_EQ(Tetel().FieldByName("kedvezmeny_szazalek").DisplayFormat(), "##0.## %");
    EXPECT_EQ(Tetel().FieldByName("netto_egysegar").DisplayFormat(), "###,###,##0.00##");
    EXPECT_EQ(Tetel().FieldByName("brutto_arbevetel").DisplayFormat(), "###,###,##0.00");
    EXPECT_EQ(Fej().FieldByName("partner_kod").DisplayFormat(), "00000000");
    EXPECT_EQ(Fej().FieldByName("brutto_vegosszeg").DisplayFormat(), "###,###,###.##");

    // Every line of the stored invoice has its VAT amount.
    for (Tetel().First(); !Tetel().Eof(); Tetel().Next()) {
        SCOPED_TRACE(Tetel().FieldByName("kod").AsInteger());
        EXPECT_DOUBLE_EQ(Tetel().FieldByName("AFA_arbevetel").AsFloat(),
                         Tetel().FieldByName("brutto_arbevetel").AsFloat() -
                             Tetel().FieldByName("netto_arbevetel").AsFloat());
    }
}

TEST_F(InvoiceDataTest, SignCaptionsOnlyWhileTheSignFooterIsOn) {
    props.fej_kod = 4317;
    struct Case {
        const char* nyelv;
        bool footer;
        const char* supplied;
        const char* returned;
        const char* suppliedLang;
        const char* returnedLang;
    };
    const Case cases[] = {
        {"", false, "", "", "", ""},
        {"", true, "Teljesített tételek összesen:", "Visszavezetések összesen:", "", ""},
        {"00000409", false, "", "", "", ""},
        {"00000409", true, "Teljesített tételek összesen:", "Visszavezetések összesen:",
         "Total of items supplied:", "Total of returns:"},
        // "0" means Hungarian, as in every language argument.
        {"0", true, "Teljesített tételek összesen:", "Visszavezetések összesen:",
         "Teljesített tételek összesen:", "Visszavezetések összesen:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.nyelv) + (c.footer ? " footer on" : " footer off"));
        props.nyelv = c.nyelv;
        data->SetSignFooterEnabled(c.footer);
        data->ReopenHeaderAndLines();
        for (Tetel().First(); !Tetel().Eof(); Tetel().Next()) {
            const bool returned = Tetel().FieldByName("elojel").AsFloat() < 0;
            SCOPED_TRACE(Tetel().FieldByName("kod").AsInteger());
            EXPECT_EQ(LineText("elojel_leiras"), returned ? c.returned : c.supplied);
            EXPECT_EQ(LineText("elojel_leiras_lengtext"),
                      returned ? c.returnedLang : c.suppliedLang);
        }
    }
    // ReopenAll switches the footer on for 4317 (VAT key 1 mixes signs).
    props.nyelv.clear();
    data->SetSignFooterEnabled(false);
    data->ReopenAll();
    EXPECT_TRUE(data->SignFooterEnabled());
    GoToLine(431710);
    EXPECT_EQ(LineText("elojel_leiras"), "Visszavezetések összesen:");
}

TEST_F(InvoiceDataTest, SecondLanguageColumns) {
    props.fej_kod = 4318;
    props.nyelv = "00000409";
    data->ReopenAll();
    ASSERT_FALSE(data->HeaderEmpty());
    EXPECT_EQ(FejText("fizetesmod_szla_langtext"), "Bank transfer");
    EXPECT_FALSE(FejText("zaradek_langtext").empty());
    GoToLine(431801);
    EXPECT_EQ(LineText("masodik_sor_langtext"), "Impact drill 750 W");
    EXPECT_EQ(LineText("mee_langtext"), "pcs");
    EXPECT_EQ(LineText("afa_leiras_langtext"),
              "VAT exempt intra-Community supply (the customer is liable for tax)");
    EXPECT_EQ(LineText("deviza"), "EUR");

    // Hungarian only: the language columns stay empty.
    props.nyelv.clear();
    data->ReopenAll();
    GoToLine(431801);
    EXPECT_TRUE(Tetel().FieldByName("masodik_sor_langtext").IsNull());
    EXPECT_TRUE(Tetel().FieldByName("mee_langtext").IsNull());
    EXPECT_TRUE(Fej().FieldByName("fizetesmod_szla_langtext").IsNull());
}

TEST_F(InvoiceDataTest, ReversalAndProFormaNotes) {
    props.fej_kod = 4322;
    data->ReopenAll();
    EXPECT_EQ(FejText("sztorno_megjegyzes"),
              "Ez az okirat érvényteleníti a SZ2026/0000005 számú számlát!");
    EXPECT_TRUE(Fej().FieldByName("forras_bizonylat_leiras").IsNull());

    struct Case {
        int fajta;
        int kod;
        const char* leiras;
    };
    const Case cases[] = {
        {9, 4306,
         "Ez a számla a PF2026/0000001 számú proforma számla alapján lett kiállítva, tehát "
         "Pénzügyileg már RENDEZVE VAN!"},
        {4, 4306, nullptr},  // another kind of source document
        {9, 0, nullptr},     // no source document
    };
    props.fej_kod = 4317;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.fajta) + "/" + std::to_string(c.kod));
        Exec(
            "update raktar_mozgas_fej set forras_bizonylat = 'PF2026/0000001',"
            " forras_bizonylat_kod = :kod, forras_bizonylat_fajta = :fajta where kod = 4317",
            {{"kod", c.kod}, {"fajta", c.fajta}});
        data->ReopenAll();
        if (c.leiras)
            EXPECT_EQ(FejText("forras_bizonylat_leiras"), c.leiras);
        else
            EXPECT_TRUE(Fej().FieldByName("forras_bizonylat_leiras").IsNull());
    }
}

TEST_F(InvoiceDataTest, CollectiveInvoiceSwitch) {
    struct Case {
        int fej_kod;
        int formatum;
        bool enabled;
    };
    const Case cases[] = {
        {4311, 1, true},   // invoiced from delivery note 4310, collective layout asked
        {4311, 0, false},  // the layout not asked
        {4317, 1, false},  // no line comes from a delivery note
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.fej_kod) + "/" + std::to_string(c.formatum));
        Exec(
            "update bizonylatszoveg_fej set gyujtoszamla_formatum_szallito = :f"
            " where fej_kod = :k",
            {{"f", c.formatum}, {"k", c.fej_kod}});
        props.fej_kod = c.fej_kod;
        data->ReopenAll();
        EXPECT_EQ(data->GyujtoszamlaGroupEnabled(), c.enabled);
    }
}

TEST_F(InvoiceDataTest, UnknownKeyGivesAnEmptyHeaderAndNoLines) {
    // A document first printed, then one that does not exist: nothing of the first stays.
    props.fej_kod = 4317;
    data->ReopenAll();
    ASSERT_FALSE(data->HeaderEmpty());
    ASSERT_TRUE(data->GyujtoszamlaGroupEnabled() == false);

    for (const auto& [kod, number] : {std::pair{999999, ""}, std::pair{0, "NINCS/0001"}}) {
        SCOPED_TRACE(kod);
        props.fej_kod = kod;
        props.bizonylatszam = number;
        EXPECT_NO_THROW(data->ReopenAll());
        EXPECT_TRUE(data->HeaderEmpty());
        EXPECT_TRUE(Fej().Active());
        // No row: the calculated columns are not computed.
        EXPECT_TRUE(Fej().FieldByName("zaradek").IsNull());
        EXPECT_TRUE(Fej().FieldByName("_prev_bizonylat").IsNull());
        EXPECT_EQ(Fej().FieldByName("kod").AsInteger(), 0);
        EXPECT_TRUE(Tetel().Active());
        EXPECT_TRUE(Tetel().IsEmpty());
        EXPECT_TRUE(Tetel().Eof());
        EXPECT_FALSE(data->SignFooterEnabled());
        EXPECT_FALSE(data->GyujtoszamlaGroupEnabled());
    }
}

TEST_F(InvoiceDataTest, MissingBoundColumnIsAnErrorAtOpening) {
    struct Case {
        const char* ddl;
        const char* column;
        bool header;
    };
    const Case cases[] = {
        {"alter table raktar_mozgas_fej drop column gyartasiszam", "gyartasiszam", true},
        {"alter table raktar_mozgas drop column akcios", "akcios", false},
    };
    props.fej_kod = 4317;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        Exec("savepoint s");
        Exec(c.ddl);
        db::Query& q = c.header ? Fej() : Tetel();
        data->ReopenSigns();
        Fej().Close();
        Tetel().Close();
        try {
            if (!c.header)
                Fej().Open();
            q.Open();
            ADD_FAILURE() << "opened without " << c.column;
        } catch (const db::FieldNotFound& e) {
            EXPECT_NE(std::string(e.what()).find(c.column), std::string::npos) << e.what();
        }
        Fej().Close();
        Tetel().Close();
        Exec("rollback to savepoint s");
    }
}

TEST_F(InvoiceDataTest, DataSetsByName) {
    EXPECT_EQ(data->DataSetByName("raktar_mozgas_fejZReadOnlyQuery"), &Fej());
    EXPECT_EQ(data->DataSetByName("Raktar_mozgasZReadOnlyQuery"), &Tetel());
    EXPECT_EQ(data->DataSetByName("ELOJELZREADONLYQUERY"), &Elojel());
    EXPECT_EQ(data->DataSetByName("Raktar_mozgasZQuery"), nullptr);
}

}  // namespace
}  // namespace dorvan::test
