// Document numbering against the demo database: the printed shapes, the number register
// (first serial, no date, letters per kind, many clients at once), the next code of a column
// and the kind of a stored or snapshot header.

#include <set>

#include "datamodule/documents/numbering.h"
#include "db/date_time.h"
#include "db/errors.h"
#include "db/transaction.h"
#include "documents_fixture.h"

namespace dorvan {
namespace {

class NumberingTest : public test::DocumentsTest {
  protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        lastDemoRow = Int("select max(kod) from szszb");
    }
    void TearDown() override {
        Exec("delete from szszb where kod > :kod", {{"kod", lastDemoRow}});
        Exec("drop table if exists kodteszt");
    }
    int lastDemoRow = 0;
};

TEST(NumberShapes, BizszamAndCodes) {
    struct Case {
        const char* letters;
        int year, serial;
        bool yearFirst, fill;
        const char* expected;
    };
    const Case kCases[] = {
        {"SZ", 2026, 1, true, true, "SZ2026/0000001"},
        {"SZ", 2026, 42, true, false, "SZ2026/42"},
        {"SZ", 2026, 42, false, true, "SZ0000042/2026"},
        {"", 2026, 7, false, false, "7/2026"},
        {"FO", 0, 3, true, true, "FO0/0000003"},
        {"SZ", 2026, 123456789, true, true, "SZ2026/3456789"},  // keeps the last 7 digits
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatBizszam(c.letters, c.year, c.serial, c.yearFirst, c.fill), c.expected);
    }

    struct CodeCase {
        const char* maximum;
        int year;
        const char* expected;
    };
    const CodeCase kYearCodes[] = {
        {"", 2026, "2026/0000001"},              // empty table
        {"2026/0000041", 2026, "2026/0000042"},  // next serial
        {"2025/0000041", 2026, "2026/0000001"},  // a new year restarts
        {"2027/0000041", 2026, "2026/0000042"},  // a later year's sequence goes on
        {"2026/abcdefg", 2026, "2026/0000001"},  // a non-numeric serial counts as 0
    };
    for (const CodeCase& c : kYearCodes) {
        SCOPED_TRACE(c.maximum);
        EXPECT_EQ(NextYearCode(c.maximum, c.year), c.expected);
    }
    EXPECT_THROW(NextYearCode("ABCD/0000041", 2026), db::ValueConversionError);

    const CodeCase kBarcodes[] = {
        {"", 0, "00001"}, {"ABC00041", 0, "ABC00042"}, {"ÁBC0004x", 0, "ÁBC00001"}};
    for (const CodeCase& c : kBarcodes) {
        SCOPED_TRACE(c.maximum);
        EXPECT_EQ(NextBarcode(c.maximum), c.expected);
    }
}

TEST_F(NumberingTest, RegisterHandsOutTheNextSerialOfAKindAndYear) {
    struct Case {
        const char* name;
        int kind;
        TDateTime date;
        bool yearFirst, fill;
        const char* expected;
    };
    const Case kCases[] = {
        {"first invoice of a year", 5, db::EncodeDate(2031, 5, 2), true, true, "SZ2031/0000001"},
        {"second invoice", 5, db::EncodeDate(2031, 12, 31), true, true, "SZ2031/0000002"},
        {"serial first, plain", 5, db::EncodeDate(2031, 1, 1), false, false, "SZ3/2031"},
        {"next after the demo's", 5, db::EncodeDate(2026, 12, 9), true, true, "SZ2026/0000007"},
        {"no date: year 0", 4, 0, true, true, "SL0/0000001"},
        {"kind 57 has letters", 57, db::EncodeDate(2031, 1, 1), true, true, "FO2031/0000001"},
        {"kind 21 has none", 21, db::EncodeDate(2031, 1, 1), true, true, "2031/0000001"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dm.AddNewBizszam(c.kind, c.yearFirst, c.date, c.fill), c.expected);
    }
    EXPECT_EQ(Int("select count(*) from szszb where bizonylat_fajta = 4 and ev = 0"), 1);
    EXPECT_EQ(dm.GetBetujel(1), "RM");
    EXPECT_EQ(dm.GetBetujel(58), "");
}

TEST_F(NumberingTest, RolledBackSerialIsHandedOutAgain) {
    const TDateTime date = db::EncodeDate(2032, 1, 1);
    {
        db::Transaction tx(dm.ZConnection);
        EXPECT_EQ(dm.AddNewBizszam(5, true, date, true), "SZ2032/0000001");
    }
    EXPECT_EQ(dm.AddNewBizszam(5, true, date, true), "SZ2032/0000001");
    // A row stored by a client that took no lock is met by the key and passed by.
    Exec("insert into szszb (bizonylat_fajta, ev, szam) values (5, 2032, 2)");
    EXPECT_EQ(dm.AddNewBizszam(5, true, date, true), "SZ2032/0000003");
}

TEST_F(NumberingTest, ManyClientsGetDistinctSerialsWithoutGaps) {
    constexpr int kClients = 8;
    constexpr int kEach = 200;
    std::vector<std::vector<std::string>> got(kClients);
    RunClients(kClients, [&](int i, TDM& client) {
        for (int n = 0; n < kEach; ++n)
            got[static_cast<std::size_t>(i)].push_back(
                client.AddNewBizszam(9, true, db::EncodeDate(2040, 6, 1), true));
    });
    std::set<std::string> all;
    for (const auto& list : got)
        all.insert(list.begin(), list.end());
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kClients * kEach));
    EXPECT_EQ(*all.begin(), "PF2040/0000001");
    EXPECT_EQ(*all.rbegin(), "PF2040/0001600");
    EXPECT_EQ(Int("select count(distinct szam) from szszb where bizonylat_fajta = 9 and ev = 2040 "
                  "and szam between 1 and 1600"),
              kClients * kEach);
}

TEST_F(NumberingTest, NextCodeOfAColumn) {
    Exec(
        "create table kodteszt (kod serial primary key, szam integer, kod_szoveg varchar(12), "
        "vonalkod varchar(8), datum date, irany integer)");
    auto q = std::make_unique<db::Query>(dm.ZConnection, "kodteszt");
    q->SetSql({"select *", "  from kodteszt"});
    q->Open();

    // An empty table.
    q->Append();
    q->FieldByName("datum").SetAsDateTime(db::EncodeDate(2026, 3, 4));
    dm.NextCodeGen(*q, "szam", "", "");
    dm.NextCodeGen(*q, "kod_szoveg", "datum", "");
    dm.NextCodeGen(*q, "vonalkod", "", "");
    EXPECT_EQ(q->FieldByName("szam").AsInteger(), 1);
    EXPECT_EQ(q->FieldByName("kod_szoveg").AsString(), "2026/0000001");
    EXPECT_EQ(q->FieldByName("vonalkod").AsString(), "00001");
    q->Cancel();

    // One sequence per filtered group; the filter's values are bound.
    Exec(
        "insert into kodteszt (szam, kod_szoveg, vonalkod, irany) values (7, '2026/0000009', "
        "'HUA00041', 1), (3, '2025/0000002', 'HUA00002', 2)");
    struct Case {
        int irany;
        int szam;
        const char* kod;
    };
    const Case kCases[] = {{1, 8, "2026/0000010"}, {2, 4, "2026/0000001"}, {3, 1, "2026/0000001"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.irany);
        q->Append();
        q->FieldByName("datum").SetAsDateTime(db::EncodeDate(2026, 3, 4));
        dm.NextCodeGen(*q, "szam", "", "(irany = :irany)", {{"irany", c.irany}});
        dm.NextCodeGen(*q, "kod_szoveg", "datum", "(irany = :irany)", {{"irany", c.irany}});
        EXPECT_EQ(q->FieldByName("szam").AsInteger(), c.szam);
        EXPECT_EQ(q->FieldByName("kod_szoveg").AsString(), c.kod);
        q->Cancel();
    }
    q->Append();
    dm.NextCodeGen(*q, "vonalkod", "", "");
    EXPECT_EQ(q->FieldByName("vonalkod").AsString(), "HUA00042");
    q->Cancel();

    // A query over two tables is refused with a message.
    auto two = std::make_unique<db::Query>(dm.ZConnection, "ketto");
    two->SetSql({"select a.*", "  from kodteszt a, kodteszt b", "  where a.kod = b.kod"});
    two->Open();
    two->Append();
    dm.NextCodeGen(*two, "szam", "", "");
    EXPECT_TRUE(two->FieldByName("szam").IsNull());
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].caption, "Újkód generálási hiba");
    EXPECT_EQ(ui.messages[0].text, "Csak egyszerű adattábla Query-nél alkalmazható!");
}

TEST_F(NumberingTest, KindOfAStoredOrSnapshotHeader) {
    Exec("insert into _prev_raktar_mozgas_fej (kod, bizonylat_fajta) values (7801, 9)");
    struct Case {
        int kod, tableSwitch, expected;
    };
    const Case kCases[] = {{4317, 0, 5}, {4317, 1, 5}, {4310, 0, 4},  {7801, 0, 0},
                           {7801, 1, 9}, {7801, 2, 0}, {999999, 0, 0}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.kod) + "/" + std::to_string(c.tableSwitch));
        EXPECT_EQ(dm.GetRaktarBizonylatFajta(c.kod, c.tableSwitch), c.expected);
    }
    Exec("delete from _prev_raktar_mozgas_fej where kod = 7801");
}

TEST_F(NumberingTest, PriceOfAnItemInANamedList) {
    struct Case {
        const char* list;
        int item;
        double net;
        int afa;  // 77: the record's own value, untouched
    };
    const Case kCases[] = {{"Lista ár", 1, 4990, 1}, {"Nincs ilyen lista", 1, -99999999.0, 77}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.list);
        TEgysegar price;
        price.afa_kulcs = 77;
        dm.GetValtozoErtek(c.list, c.item, price);
        EXPECT_EQ(price.egysegar, c.net);
        EXPECT_EQ(price.afa_kulcs, c.afa);
        if (c.afa == 77) {
            EXPECT_EQ(price.egysegar_brutto, -99999999.0);
        }
    }
}

}  // namespace
}  // namespace dorvan
