// Document reversal against the demo database: record copying and constraint texts, the
// reversal of the demo's invoice, of a partly and of a fully invoiced delivery note, of an
// invoice with identified pieces and cash, of an invoice made from a delivery note, dates,
// numbers and source links, the overrun and the constraint failure (nothing left behind in a
// transaction), several clients reversing one document, and a connection lost midway.

#include <atomic>
#include <chrono>
#include <cmath>
#include <optional>
#include <thread>

#include "datamodule/documents/reversal.h"
#include "datamodule/silent_abort.h"
#include "db/date_time.h"
#include "db/transaction.h"
#include "documents_fixture.h"

namespace dorvan {
namespace {

constexpr const char* kRowCounts =
    "select (select count(*) from raktar_mozgas_fej) || '/' || (select count(*) from "
    "raktar_mozgas) || '/' || (select count(*) from raktar_mozgas_egyedi) || '/' || (select "
    "count(*) from bizonylatszoveg_fej) || '/' || (select count(*) from bizonylatszoveg) || '/' "
    "|| (select count(*) from penzeszkoz_iktato) || '/' || (select count(*) from szszb) || '/' "
    "|| (select count(*) from penztar_bizonylat_szam)";

// Each test works inside a transaction of its own that is rolled back at the end, so every
// test finds the demo documents as they are.
class ReversalTest : public test::DocumentsTest {
  protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        tx.emplace(dm.ZConnection);
        dm.SetSetup(MainTable().UserID);
    }
    void TearDown() override { tx.reset(); }

    std::string Header(int kod, const std::string& columns) {
        return Value("select " + columns + " from raktar_mozgas_fej where kod = :kod",
                     {{"kod", kod}});
    }
    // An invoice made from a delivery note: delivery line 730101 (quantity `m`, `n` invoiced),
    // invoice 7302 with an ordinary line and a line of `q` from the delivery note.
    void InvoiceFromDeliveryNote(double m, double n, double q) {
        dm.ExecSQLList({
            "insert into raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, "
            "  raktar_mozgas_bizonylat, datum, ido, kelte, mozgasnem_kod) values",
            "  (7301, 4, 'SL2026/0000091', 'RM2026/0000091', '2026-12-01', '08:00', '2026-12-01', "
            "7),",
            "  (7302, 5, 'SZ2026/0000091', null, '2026-12-02', '08:00', '2026-12-02', 3);",
        });
        Exec(
            "insert into raktar_mozgas (kod, fej_kod, tetel_kod, mennyiseg, mennyiseg_szamlazva, "
            "szallito_szama, szallitos_tetel_kod) values (730101, 7301, 6, :m, :n, null, 0), "
            "(730201, 7302, 6, 1, 0, null, 0), (730202, 7302, 6, :q, 0, 'SL2026/0000091', 730101)",
            {{"m", m}, {"n", n}, {"q", q}});
    }

    std::optional<db::Transaction> tx;
};

TEST(ReversalRoutines, ConstraintMessages) {
    const std::string item =
        "A művelet hatására a szabadkészlet negatívba lépne az egyik tétel esetén.";
    const std::string piece =
        "A művelet hatására a szabadkészlet negatívba lépne az egyik tétel egyednyilvántartásán "
        "belül.";
    struct Case {
        const char* error;
        std::string expected;
    };
    const Case kCases[] = {
        {"new row violates check constraint \"tetel_raktar_ch1\"", item},
        {"violates check constraint \"tetel_raktar_ch3\"", item},
        {"violates check constraint \"tetel_raktar_egyedi_ch2\"", piece},
        {"violates check constraint \"raktar_mozgas_ch1\"", item},
        {"tetel_raktar_egyedi_ch1 and raktar_mozgas_ch1", item},  // the later rule wins
        {"connection lost", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(lib_constraintMessage(c.error), c.expected);
    }
}

TEST_F(ReversalTest, CopyFieldsKeepsItsRules) {
    auto source = std::make_unique<db::Query>(dm.ZConnection, "forras");
    source->SetSql({"select 5 as kod, 7 as fej_kod, 2.5::float8 as netto_arbevetel,",
                    "  -3.5::float8 as netto_egysegar, 4.0::float8 as forras_raktar_atlagar,",
                    "  null::float8 as netto_kedvezmeny, 'O''Neill' as megjegyzes,",
                    "  -2.0::float8 as mennyiseg, 1 as nincs_ilyen"});
    source->Open();
    auto target = std::make_unique<db::Query>(dm.ZConnection, "cel");
    target->SetSql({"select *", "  from raktar_mozgas", "  where kod = 0"});
    target->Open();
    target->FieldByName("kod").SetRequired(true);
    target->Append();
    lib_copyFields(*source, *target, -1);
    EXPECT_FALSE(target->FieldByName("kod").Required());
    struct Case {
        const char* field;
        db::Value expected;
    };
    const Case kCases[] = {
        {"kod", db::Value()},                  // never copied
        {"fej_kod", db::Value(7LL)},           // integers as they are
        {"netto_arbevetel", db::Value(-2.5)},  // amounts with the sign
        {"mennyiseg", db::Value(2.0)},
        {"netto_egysegar", db::Value(-3.5)},  // unit prices and costs keep theirs
        {"forras_raktar_atlagar", db::Value(4.0)},
        {"megjegyzes", db::Value("O'Neill")},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(target->FieldByName(c.field).AsValue(),
                  target->FieldByName(c.field).Coerce(c.expected));
    }
    EXPECT_TRUE(target->FieldByName("netto_kedvezmeny").IsNull());  // a null is never written
}

TEST_F(ReversalTest, DemoInvoice) {
    const int before = Int("select count(*) from szszb where bizonylat_fajta = 5");
    const int kod = dm.BizonylatSztorno(4317, false, true, false);
    ASSERT_GT(kod, 0);
    EXPECT_EQ(Header(kod,
                     "bizonylat_fajta || '|' || bizonylatszam || '|' || "
                     "raktar_mozgas_bizonylat || '|' || mozgasnem_kod || '|' || "
                     "sztornozott_bizonylat || '|' || sztornozott_bizonylat_kod || '|' || "
                     "sztornozo_bizonylat_kod || '|' || c_userid"),
              "5|SZ2026/0000007|RM2026/0000010|4|RM2026/0000003|4317|0|tesztelo");
    EXPECT_EQ(Header(4317, "sztornozo_bizonylat || '|' || sztornozo_bizonylat_kod"),
              "RM2026/0000010|" + std::to_string(kod));
    EXPECT_EQ(Float("select n.brutto_arbevetel_vegosszeg + o.brutto_arbevetel_vegosszeg from "
                    "raktar_mozgas_fej n, raktar_mozgas_fej o where n.kod = :k and o.kod = 4317",
                    {{"k", kod}}),
              0);
    EXPECT_EQ(Int("select count(*) from szszb where bizonylat_fajta = 5"), before + 1);
    // Dated by the server's clock, never before the newest document or the latest invoice.
    EXPECT_EQ(Int("select count(*) from raktar_mozgas_fej where kod = :k and datum = "
                  "greatest(current_date, '2026-12-08') and kelte = greatest(current_date, "
                  "'2026-12-08')",
                  {{"k", kod}}),
              1);

    // Lines negated, the returned line (negative) first; pieces and texts copied.
    EXPECT_EQ(Value("select string_agg(mennyiseg::text, ',' order by kod) from raktar_mozgas "
                    "where fej_kod = :k",
                    {{"k", kod}}),
              "1,-3,-2,-5,-4,-10,-12,-2.5,-2,-1");
    EXPECT_EQ(Value("select string_agg(e.egyedi_azonosito_kod || ':' || e.mennyiseg, ',' order by "
                    "e.kod) from raktar_mozgas_egyedi e join raktar_mozgas rm on rm.kod = e.rm_kod "
                    "where rm.fej_kod = :k",
                    {{"k", kod}}),
              "1:-1,2:-1,11:-3,12:-2");
    EXPECT_EQ(Int("select count(*) from bizonylatszoveg b join raktar_mozgas rm on rm.kod = "
                  "b.sor_kod where rm.fej_kod = :k and b.nev is not null",
                  {{"k", kod}}),
              10);
    EXPECT_EQ(Value("select partner_nev || '|' || mozgasnem_nev from bizonylatszoveg_fej where "
                    "fej_kod = :k",
                    {{"k", kod}}),
              Value("select partner_nev from bizonylatszoveg_fej where fej_kod = 4317") +
                  "|Értékesítés sztornó");
    EXPECT_TRUE(ui.messages.empty());

    // Neither the reversed document nor its reversal can be reversed again.
    EXPECT_EQ(dm.BizonylatSztorno(4317, false, true, false), 0);
    EXPECT_EQ(dm.BizonylatSztorno(kod, false, false, false), 0);
    EXPECT_EQ(dm.BizonylatSztorno(999999, false, true, false), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReversalTest, PartlyInvoicedDeliveryNote) {
    const int kod = dm.BizonylatSztorno(4310, false, false, false);
    ASSERT_GT(kod, 0);
    EXPECT_EQ(Value("select string_agg(mennyiseg::text, ',' order by kod) from raktar_mozgas "
                    "where fej_kod = :k",
                    {{"k", kod}}),
              "-15,-10");
    // Totals of the recomputed lines, the gross ones rounded to whole forints.
    EXPECT_EQ(Header(kod,
                     "netto_arbevetel_vegosszeg || '|' || brutto_arbevetel_vegosszeg || "
                     "'|' || bizonylatszam"),
              Value("select sum(-(mennyiseg - mennyiseg_szamlazva) * netto_egysegar) || '|' || "
                    "round(sum(-(mennyiseg - mennyiseg_szamlazva) * brutto_egysegar)::numeric) "
                    "|| '|SL2026/0000002' from raktar_mozgas where fej_kod = 4310"));
    const std::string note = Header(kod, "megjegyzes");
    EXPECT_EQ(note, Header(4310, "megjegyzes") +
                        " {Az eredeti szállító alapján a következő számlák készültek el: "
                        "SZ2026/0000001. Ezért a szállító nem számlázott része került "
                        "sztornózásra.}");
    EXPECT_EQ(dm.SzallitoSzamlaLista, std::vector<std::string>{"SZ2026/0000001"});
    // The delivery note's own counts stay; the reversal's lines carry the negated count.
    EXPECT_EQ(Float("select mennyiseg_szamlazva from raktar_mozgas where kod = 431001"), 25);
}

TEST_F(ReversalTest, RoundingOfADeliveryNoteReversalIsTheRoundedTotalLessItsLines) {
    // A delivery note of 3 at a gross 33.50 (100.50, printed as 100, rounding -0.50) at a rate
    // of 1.5, nothing invoiced: reversed in full.
    dm.ExecSQLList({
        "insert into raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, datum, ido, kelte,",
        "  mozgasnem_kod, deviza_nev, deviza_arfolyam, netto_arbevetel_vegosszeg,",
        "  brutto_arbevetel_vegosszeg, kerekites, netto_arbevetel_vegosszeg_huf,",
        "  brutto_arbevetel_vegosszeg_huf, kerekites_huf) values (7320, 4, 'SL2026/0000092',",
        "  '2026-12-01', '08:00', '2026-12-01', 7, 'EUR', 1.5, 79.2, 100, -0.5, 118.8, 151, 0.25);",
        "insert into raktar_mozgas (kod, fej_kod, tetel_kod, mennyiseg, mennyiseg_szamlazva,",
        "  netto_egysegar, brutto_egysegar, netto_arbevetel, brutto_arbevetel) values",
        "  (732001, 7320, 6, 3, 0, 26.4, 33.5, 79.2, 100.5);",
    });
    struct Case {
        int kod;
        const char* what;
    };
    const Case kCases[] = {{4310, "partly invoiced"}, {7320, "nothing invoiced, odd amounts"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const int kod = dm.BizonylatSztorno(c.kod, false, true, false);
        ASSERT_GT(kod, 0);
        const double lines = Float(
            "select sum(brutto_arbevetel) from raktar_mozgas where fej_kod = :k", {{"k", kod}});
        const double linesHuf = Float(
            "select sum(brutto_arbevetel_huf) from raktar_mozgas where fej_kod = :k", {{"k", kod}});
        const double total = Float(
            "select brutto_arbevetel_vegosszeg from raktar_mozgas_fej "
            "where kod = :k",
            {{"k", kod}});
        const double totalHuf = Float(
            "select brutto_arbevetel_vegosszeg_huf from "
            "raktar_mozgas_fej where kod = :k",
            {{"k", kod}});
        EXPECT_DOUBLE_EQ(total, std::nearbyint(lines));
        EXPECT_DOUBLE_EQ(
            Float("select kerekites from raktar_mozgas_fej where kod = :k", {{"k", kod}}),
            total - lines);
        EXPECT_DOUBLE_EQ(
            Float("select kerekites_huf from raktar_mozgas_fej where kod = :k", {{"k", kod}}),
            totalHuf - linesHuf);
    }
    // The odd one: -100.50 rounds to -100 (halves to even), -150.75 to -151.
    EXPECT_EQ(Value("select brutto_arbevetel_vegosszeg || '|' || kerekites || '|' || "
                    "brutto_arbevetel_vegosszeg_huf || '|' || kerekites_huf from "
                    "raktar_mozgas_fej where sztornozott_bizonylat_kod = 7320"),
              "-100|0.5|-151|-0.25");
    EXPECT_DOUBLE_EQ(Float("select kerekites from raktar_mozgas_fej where "
                           "sztornozott_bizonylat_kod = 4310"),
                     0);
}

TEST_F(ReversalTest, FullyInvoicedDeliveryNoteEndsSilently) {
    InvoiceFromDeliveryNote(5, 5, 5);
    const std::string counts = Value(kRowCounts);
    EXPECT_THROW(dm.BizonylatSztorno(7301, false, true, false), SilentAbort);
    EXPECT_EQ(Value(kRowCounts), counts);
    EXPECT_EQ(dm.SzallitoSzamlaLista, std::vector<std::string>{"SZ2026/0000091"});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReversalTest, InvoiceFromADeliveryNoteGivesTheQuantityBack) {
    const int kod = dm.BizonylatSztorno(4311, false, true, false);
    ASSERT_GT(kod, 0);
    EXPECT_EQ(Float("select mennyiseg_szamlazva from raktar_mozgas where kod = 431001"), 0);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].caption, "Szállító rendezés");
    EXPECT_EQ(ui.messages[0].text,
              "A bizonylat megjegyzésében felsorolt szállítók érintett tételei újra számlázhatóvá "
              "váltak!");
    // 4311 has no movement number: its reversal has none either.
    EXPECT_EQ(Header(kod, "coalesce(raktar_mozgas_bizonylat, 'null')"), "null");
}

TEST_F(ReversalTest, PiecesAndCashPostings) {
    Exec(
        "insert into penzeszkoz_iktato (partner_kod, datum, bizonylatszam, forras_penzeszkoz, "
        "cel_penzeszkoz, osszeg, raktar_mozgas_fej_kod, penztar_bizonylat_irany, "
        "penztar_bizonylat) values (3, '2026-12-04', 'SZ2026/0000003', 0, 3, 1140.5, 4318, 1, "
        "'2026/0000002')");
    dm.SetLastSignTime(db::ComposeDateTime(db::EncodeDate(2099, 3, 4), db::EncodeTime(10, 0, 0)));
    const int kod = dm.BizonylatSztorno(4318, false, true, false);
    ASSERT_GT(kod, 0);
    EXPECT_EQ(Header(kod, "kelte"), "2099-03-04");  // the last presence signal's date
    EXPECT_EQ(Value("select string_agg(e.egyedi_azonosito_kod || ':' || e.mennyiseg, ',' order by "
                    "e.kod) from raktar_mozgas_egyedi e join raktar_mozgas rm on rm.kod = e.rm_kod "
                    "where rm.fej_kod = :k",
                    {{"k", kod}}),
              "3:-1,4:-1,5:-1");
    EXPECT_EQ(Value("select osszeg || '|' || datum || '|' || penztar_bizonylat_irany || '|' || "
                    "penztar_bizonylat || '|' || bizonylatszam || '|' || megjegyzes from "
                    "penzeszkoz_iktato where raktar_mozgas_fej_kod = :k",
                    {{"k", kod}}),
              "-1140.5|2099-03-04|1|2099/0000001|SZ2099/0000001|SZ2099/0000001 számú sztornó "
              "Számlás eladás bizonylathoz kapcsolódó pénzmozgás");
    // The exchange rate and unit prices keep their sign.
    EXPECT_EQ(Header(kod, "deviza_arfolyam"), "389.6");
    EXPECT_EQ(
        Value("select min(netto_egysegar) from raktar_mozgas where fej_kod = :k", {{"k", kod}}),
        "12.9");
}

TEST_F(ReversalTest, DatesNumbersAndSourceLinks) {
    dm.ExecSQLList({
        "insert into raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, datum, ido, kelte,",
        "  forras_bizonylat, forras_bizonylat_kod, forras_bizonylat_fajta, mozgasnem_kod) values",
        "  (7501, 5, null, '2026-12-01', '23:59:59', '2026-12-01', null, 0, 0, 3),",
        "  (7502, 5, 'SZ2026/0000092', '2026-12-01', '08:00', '2026-12-01', 'PR2026/0000001', "
        "4306, 9, 3);",
    });
    const int before = Int("select count(*) from szszb where bizonylat_fajta = 5");
    // Kept time: the reversed document's date, one second later (a number of its own is not
    // made without a number to replace).
    const int kept = dm.BizonylatSztorno(7501, false, true, true);
    ASSERT_GT(kept, 0);
    EXPECT_EQ(Header(kept, "datum || ' ' || ido || '|' || coalesce(bizonylatszam, 'null')"),
              "2026-12-02 00:00:00|null");
    EXPECT_EQ(Int("select count(*) from szszb where bizonylat_fajta = 5"), before);

    // A document dated after today: the reversal takes its date and time.
    Exec(
        "insert into raktar_mozgas_fej (kod, bizonylat_fajta, datum, ido) values (7503, 1, "
        "'2099-01-01', '10:00:00')");
    const int linked = dm.BizonylatSztorno(7502, false, true, false);
    ASSERT_GT(linked, 0);
    EXPECT_EQ(Header(linked, "datum || ' ' || ido"), "2099-01-01 10:00:00");
    // Made from a proforma invoice: the link is dropped, the proforma can be used again.
    EXPECT_EQ(Header(7502,
                     "coalesce(forras_bizonylat, '') || '|' || forras_bizonylat_kod || "
                     "'|' || forras_bizonylat_fajta"),
              "|0|0");
    EXPECT_EQ(Header(linked, "coalesce(forras_bizonylat, '') || '|' || forras_bizonylat_kod"),
              "|0");

    // Stopped by the user.
    EXPECT_EQ(dm.BizonylatSztorno(4317, true, true, false), 0);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].caption, "Sztornózás leállítva");
    EXPECT_EQ(ui.messages[0].text, "A sztornózás felhasználói megszakítás miatt nem folytatódik.");
}

TEST_F(ReversalTest, OverrunUndoesTheWorkInATransaction) {
    struct Case {
        bool useTransaction;
        int headersLeft;
        bool signedIn;
    };
    // Nobody signed in (no settings row): the message is still the overrun's, in Hungarian.
    const Case kCases[] = {{true, 0, true}, {false, 1, true}, {true, 0, false}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.useTransaction) + (c.signedIn ? " signed in" : " nobody"));
        if (!c.signedIn) {
            MainTable().UserID.clear();
            dm._setupSQL.Close();
        }
        db::Transaction inner(dm.ZConnection);
        // A delivery line corrected to 0 after invoicing takes nothing back.
        InvoiceFromDeliveryNote(0, 5, 5);
        ui.messages.clear();
        const std::string counts = Value(kRowCounts);
        const int headers = Int("select count(*) from raktar_mozgas_fej");
        EXPECT_EQ(dm.BizonylatSztorno(7302, false, c.useTransaction, false), 0);
        ASSERT_EQ(ui.messages.size(), 1U);
        EXPECT_EQ(ui.messages[0].caption, "Dorvan dialog");
        EXPECT_EQ(ui.messages[0].text, "Szállítólevélen feltüntetett készlet túllépése!");
        EXPECT_EQ(Int("select count(*) from raktar_mozgas_fej"), headers + c.headersLeft);
        if (c.useTransaction) {
            EXPECT_EQ(Value(kRowCounts), counts);
        }
        // Not marked as reversed either way: it can be reversed once the count allows.
        EXPECT_EQ(Header(7302, "sztornozo_bizonylat_kod"), "0");
        EXPECT_EQ(Float("select mennyiseg_szamlazva from raktar_mozgas where kod = 730101"), 5);
    }
}

TEST_F(ReversalTest, ConstraintFailureLeavesNothing) {
    // The goods receipt cannot be taken back: most of it was sold since.
    const std::string counts = Value(kRowCounts);
    EXPECT_EQ(dm.BizonylatSztorno(4301, false, true, false), 0);
    EXPECT_EQ(Value(kRowCounts), counts);
    EXPECT_EQ(Header(4301, "sztornozo_bizonylat_kod"), "0");
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].caption, "Dorvan dialog");
    const std::string& text = ui.messages[0].text;
    EXPECT_EQ(text.rfind("Rögzítési hiba!\rA művelet hatására a szabadkészlet negatívba lépne az "
                         "egyik tétel esetén.\r\rTecnikai leírás:\r",
                         0),
              0U)
        << text;
}

// Several clients: no surrounding transaction, documents of their own.
class ReversalClientsTest : public test::DocumentsTest {
  protected:
    void TearDown() override {
        dm.ExecSQLList({
            "drop trigger if exists lassu_penz on penzeszkoz_iktato;",
            "delete from penzeszkoz_iktato where kod > 3;",
            "delete from bizonylatszoveg where sor_kod in (select kod from raktar_mozgas where "
            "fej_kod >= 7600);",
            "delete from bizonylatszoveg_fej where fej_kod >= 7600;",
            "delete from raktar_mozgas_egyedi where rm_kod in (select kod from raktar_mozgas where "
            "fej_kod >= 7600);",
            "delete from raktar_mozgas where fej_kod >= 7600;",
            "delete from raktar_mozgas_fej where kod >= 7600;",
        });
    }
    // An invoice without stock moves: `lines` lines with a text and a piece each, one cash
    // posting.
    void Invoice(int kod, int lines) {
        Exec(
            "insert into raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, "
            "raktar_mozgas_bizonylat, datum, ido, kelte, mozgasnem_kod, partner_kod) values (:kod, "
            "5, :szam, :rm, '2026-12-01', '08:00', '2026-12-01', 3, 2)",
            {{"kod", kod},
             {"szam", "SZ2026/" + std::to_string(kod)},
             {"rm", "RM2026/" + std::to_string(kod)}});
        Exec(
            "insert into raktar_mozgas (kod, fej_kod, tetel_kod, mennyiseg, netto_egysegar) "
            "select :kod * 10000 + n, :kod, 6, n, 100 from generate_series(1, :lines) n",
            {{"kod", kod}, {"lines", lines}});
        Exec(
            "insert into bizonylatszoveg (sor_kod, nev) select kod, 'Tétel ' || kod from "
            "raktar_mozgas where fej_kod = :kod",
            {{"kod", kod}});
        Exec(
            "insert into raktar_mozgas_egyedi (rm_kod, egyedi_azonosito_kod, mennyiseg) select "
            "kod, 900, 1 from raktar_mozgas where fej_kod = :kod",
            {{"kod", kod}});
        Exec("insert into bizonylatszoveg_fej (fej_kod, partner_nev) values (:kod, 'O''Neill')",
             {{"kod", kod}});
        Exec(
            "insert into penzeszkoz_iktato (partner_kod, datum, osszeg, raktar_mozgas_fej_kod, "
            "penztar_bizonylat_irany, penztar_bizonylat) values (2, '2026-12-01', 500, :kod, 2, "
            "'2026/0000001')",
            {{"kod", kod}});
    }
};

TEST_F(ReversalClientsTest, EightClientsReverseOneDocumentOnce) {
    struct Case {
        int kod;
        bool useTransaction;
    };
    const Case kCases[] = {{7601, true}, {7602, false}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.useTransaction);
        Invoice(c.kod, 3);
        std::atomic<int> done{0};
        std::atomic<int> refused{0};
        RunClients(8, [&](int, TDM& client) {
            (client.BizonylatSztorno(c.kod, false, c.useTransaction, false) > 0 ? done : refused)++;
        });
        EXPECT_EQ(done.load(), 1);
        EXPECT_EQ(refused.load(), 7);
        EXPECT_EQ(Int("select count(*) from raktar_mozgas_fej where sztornozott_bizonylat_kod = "
                      ":k",
                      {{"k", c.kod}}),
                  1);
        EXPECT_EQ(Int("select count(*) from penzeszkoz_iktato where raktar_mozgas_fej_kod = "
                      "(select sztornozo_bizonylat_kod from raktar_mozgas_fej where kod = :k)",
                      {{"k", c.kod}}),
                  1);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(ReversalClientsTest, ReversalCutOffWithoutTransactionCanBeDoneAgain) {
    Invoice(7604, 40);
    // The reversal's lines are written slowly, one by one and committed each.
    dm.ExecSQLList({
        "create or replace function lassu_sor() returns trigger language plpgsql as",
        "$$ begin if new.mennyiseg < 0 then perform pg_sleep(0.05); end if; return new; end; $$;",
        "create trigger lassu_sor before insert on raktar_mozgas",
        "  for each row execute function lassu_sor();",
    });
    struct DropTrigger {
        TDM& dm;
        ~DropTrigger() { dm.ExecSQL("drop trigger if exists lassu_sor on raktar_mozgas"); }
    } dropTrigger{dm};

    TDM client;
    client.ConnectLocal(test::DatabaseParams());
    const int pid = std::stoi(client.GetSQLResult("select pg_backend_pid()"));
    const int negativeLines = Int("select count(*) from raktar_mozgas where mennyiseg < 0");
    int result = -1;
    // Joined also when a check below throws.
    std::jthread reversal([&] { result = client.BizonylatSztorno(7604, false, false, false); });
    // Halfway: some of its lines are written.
    bool halfway = false;
    for (int i = 0; i < 400 && !halfway; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        halfway =
            Int("select count(*) from raktar_mozgas where mennyiseg < 0") >= negativeLines + 5;
    }
    EXPECT_TRUE(halfway);
    // While it runs, nobody else reverses the document.
    TDM other;
    other.ConnectLocal(test::DatabaseParams());
    EXPECT_EQ(other.BizonylatSztorno(7604, false, false, false), 0);
    EXPECT_EQ(other.BizonylatSztorno(7604, false, true, false), 0);

    // Its connection is lost: the mark of the reversal under way stays behind.
    Value("select pg_terminate_backend(:pid)", {{"pid", pid}});
    reversal.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Value("select sztornozo_bizonylat_kod from raktar_mozgas_fej where kod = 7604"),
              "-1");

    // The document can be reversed again, once.
    dm.ExecSQL("drop trigger lassu_sor on raktar_mozgas");
    const int again = other.BizonylatSztorno(7604, false, false, false);
    EXPECT_GT(again, 0);
    EXPECT_EQ(Int("select sztornozo_bizonylat_kod from raktar_mozgas_fej where kod = 7604"), again);
    EXPECT_EQ(Int("select count(*) from raktar_mozgas_fej where sztornozott_bizonylat_kod = 7604"),
              1);
    EXPECT_EQ(Int("select count(*) from raktar_mozgas where fej_kod = :k", {{"k", again}}), 40);
    EXPECT_EQ(other.BizonylatSztorno(7604, false, false, false), 0);
    EXPECT_EQ(other.BizonylatSztorno(7604, false, true, false), 0);
}

TEST_F(ReversalClientsTest, ConnectionLostMidwayLeavesNothing) {
    Invoice(7603, 40);
    // The reversal's cash posting, its last write, waits long enough to be cut off.
    dm.ExecSQLList({
        "create or replace function lassu_penz() returns trigger language plpgsql as",
        "$$ begin if new.osszeg < 0 then perform pg_sleep(30); end if; return new; end; $$;",
        "create trigger lassu_penz before insert on penzeszkoz_iktato",
        "  for each row execute function lassu_penz();",
    });
    const std::string counts = Value(kRowCounts);

    TDM client;
    client.ConnectLocal(test::DatabaseParams());
    const std::string pid = client.GetSQLResult("select pg_backend_pid()");
    int result = -1;
    std::thread reversal([&] { result = client.BizonylatSztorno(7603, false, true, false); });
    bool waiting = false;
    for (int i = 0; i < 200 && !waiting; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        waiting = Int("select count(*) from pg_stat_activity where pid = :pid and wait_event = "
                      "'PgSleep'",
                      {{"pid", std::stoi(pid)}}) == 1;
    }
    EXPECT_TRUE(waiting);
    Value("select pg_terminate_backend(:pid)", {{"pid", std::stoi(pid)}});
    reversal.join();

    EXPECT_EQ(result, 0);
    EXPECT_EQ(Value(kRowCounts), counts);
    EXPECT_EQ(Value("select sztornozo_bizonylat_kod from raktar_mozgas_fej where kod = 7603"), "0");
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text.rfind("Rögzítési hiba!\r", 0), 0U) << ui.messages[0].text;
}

}  // namespace
}  // namespace dorvan
