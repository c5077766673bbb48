// Invoicing of delivery notes against the demo database: the allowed range of the invoiced
// count, advance invoices, the outside-the-system part, identified pieces, the invoices made
// from a line, the neighbouring lookups, and eight clients invoicing one line at once.

#include <atomic>

#include "db/date_time.h"
#include "documents_fixture.h"

namespace dorvan {
namespace {

class DeliveryInvoicingTest : public test::DocumentsTest {
  protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        // A delivery note and an advance invoice, lines without warehouses (no stock moves).
        dm.ExecSQLList({
            "insert into raktar_mozgas_fej (kod, bizonylat_fajta) values (7100, 4), (7116, 16);",
            "insert into raktar_mozgas (kod, fej_kod, tetel_kod) values (710001, 7100, 1),",
            "  (711601, 7116, 1);",
            "insert into raktar_mozgas_egyedi (kod, rm_kod, egyedi_azonosito_kod, mennyiseg)",
            "  values (7100011, 710001, 6, 1), (7116011, 711601, 7, 1);",
        });
    }
    void TearDown() override {
        dm.ExecSQLList({
            "delete from raktar_mozgas_egyedi where kod >= 7000000;",
            "delete from raktar_mozgas where kod >= 700000;",
            "delete from raktar_mozgas_fej where kod >= 7000;",
            "delete from szallitoi_szamlak where kod >= 7000;",
            "delete from szerzodes_szaml_idoszak where szerzodes_kod >= 7000;",
        });
    }
    void SetLine(int kod, double m, double n) {
        Exec(
            "update raktar_mozgas set mennyiseg = :m, mennyiseg_szamlazva = :n, "
            "mennyiseg_szamlazva_bol_rendszeren_kivul = 0 where kod = :kod",
            {{"kod", kod}, {"m", m}, {"n", n}});
    }
};

TEST_F(DeliveryInvoicingTest, CountStaysWithinTheLinesQuantity) {
    struct Case {
        const char* name;
        int line;
        double m, n, q;
        bool outside;
        bool result;
        double n2, kivul;
    };
    const Case kCases[] = {
        {"up to the quantity", 710001, 10, 4, 6, false, true, 10, 0},
        {"beyond it", 710001, 10, 4, 7, false, false, 4, 0},
        {"back to 0", 710001, 10, 4, -4, false, true, 0, 0},
        {"below 0 is not limited", 710001, 10, 4, -5, false, true, -1, 0},
        {"negative line", 710001, -3, 0, -3, false, true, -3, 0},
        {"below a negative line", 710001, -3, 0, -4, false, false, 0, 0},
        {"negative line, back", 710001, -3, 0, 1, false, true, 1, 0},
        {"line of 0 refuses up", 710001, 0, 0, 1, false, false, 0, 0},
        {"line of 0 refuses down", 710001, 0, 0, -1, false, false, 0, 0},
        {"advance invoice turns the sign", 711601, 10, 0, -4, false, true, 4, 0},
        {"advance invoice, beyond", 711601, 10, 0, -11, false, false, 0, 0},
        {"outside the system", 710001, 10, 0, 3, true, true, 3, 3},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SetLine(c.line, c.m, c.n);
        EXPECT_EQ(dm.SzallitoSzamlazas(c.line, c.outside, c.q), c.result);
        EXPECT_EQ(
            Float("select mennyiseg_szamlazva from raktar_mozgas where kod = :k", {{"k", c.line}}),
            c.n2);
        EXPECT_EQ(Float("select mennyiseg_szamlazva_bol_rendszeren_kivul from raktar_mozgas "
                        "where kod = :k",
                        {{"k", c.line}}),
                  c.kivul);
    }
    EXPECT_TRUE(dm.SzallitoSzamlazas(999999, false, 1));  // no such line: nothing to refuse
}

TEST_F(DeliveryInvoicingTest, IdentifiedPieces) {
    struct Case {
        const char* name;
        int row;
        double q;
        bool result;
        double n;
    };
    const Case kCases[] = {
        {"one piece", 7100011, 1, true, 1},
        {"no second one", 7100011, 1, false, 1},
        {"advance invoice turns the sign", 7116011, -1, true, 1},
        {"missing row", 9999999, 1, false, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dm.SzallitoEgyedSzamlazas(c.row, false, c.q), c.result);
        EXPECT_EQ(Float("select mennyiseg_szamlazva from raktar_mozgas_egyedi where kod = :k",
                        {{"k", c.row}}),
                  c.n);
    }
    // By line and piece: no range test, no sign rule.
    EXPECT_TRUE(dm.SzallitoEgyedSzamlazas_str(711601, 7, true, 5));
    EXPECT_EQ(Float("select mennyiseg_szamlazva from raktar_mozgas_egyedi where kod = 7116011"), 6);
    EXPECT_EQ(Float("select mennyiseg_szamlazva_bol_rendszeren_kivul from raktar_mozgas_egyedi "
                    "where kod = 7116011"),
              5);
    EXPECT_FALSE(dm.SzallitoEgyedSzamlazas_str(711601, 8, false, 1));
}

TEST_F(DeliveryInvoicingTest, EightClientsInvoiceOneLine) {
    SetLine(710001, 5, 0);
    std::atomic<int> succeeded{0};
    RunClients(8, [&](int, TDM& client) {
        if (client.SzallitoSzamlazas(710001, false, 1))
            ++succeeded;
    });
    EXPECT_EQ(succeeded.load(), 5);
    EXPECT_EQ(Float("select mennyiseg_szamlazva from raktar_mozgas where kod = 710001"), 5);
}

TEST_F(DeliveryInvoicingTest, InvoicesOfALineAndNeighbouringRecords) {
    EXPECT_EQ(dm.GetSzamlaNev(431001), std::vector<std::string>{"SZ2026/0000001"});
    EXPECT_TRUE(dm.GetSzamlaNev(431002).empty());

    dm.SzallitoSzamlaLista = {"SZ2026/0000001", "SZ2026/0000004"};
    std::string text = "x";
    dm.GetSzallitoSzamokText(text);
    EXPECT_EQ(text, "SZ2026/0000001, SZ2026/0000004");
    dm.SzallitoSzamlaLista.clear();
    dm.GetSzallitoSzamokText(text);
    EXPECT_EQ(text, "");

    Exec(
        "insert into szallitoi_szamlak (kod, bizonylatszam, kelte, partner_kod, deviza_nev, "
        "deviza_arfolyam, brutto_vegosszeg_huf) values (7001, 'O''Neill/12', '2026-11-30', 5, "
        "'EUR', 389.6, 127000)");
    TSzallitoi_szamlakInfo info;
    dm.GetSzallitoi_szamlakInfo(7001, info);
    EXPECT_EQ(info.kod, 7001);
    EXPECT_EQ(info.bizonylatszam, "O'Neill/12");
    EXPECT_EQ(info.kelte, db::EncodeDate(2026, 11, 30));
    EXPECT_EQ(info.deviza_arfolyam, 389.6);
    EXPECT_EQ(info.brutto_vegosszeg_huf, 127000);
    dm.GetSzallitoi_szamlakInfo(7002, info);
    EXPECT_EQ(info.kod, 0);

    Exec(
        "insert into szerzodes_szaml_idoszak (szerzodes_kod, ev, honap) values (7001, 2009, 2), "
        "(7001, 2008, 11), (7001, 2008, 12), (7002, 2024, 12)");
    struct Case {
        int contract;
        TDateTime first, last;
    };
    const Case kCases[] = {
        {7001, db::EncodeDate(2008, 11, 1), db::EncodeDate(2009, 2, 28)},
        {7002, db::EncodeDate(2024, 12, 1), db::EncodeDate(2024, 12, 31)},
        {7003, 0, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.contract);
        TSzamlazottIdoszak period{1, 1};
        dm.GetSzamlazottIdoszak(c.contract, period);
        EXPECT_EQ(period.Elso, c.first);
        EXPECT_EQ(period.Utolso, c.last);
    }
}

}  // namespace
}  // namespace dorvan
