// Unit-price maintenance: the automatic price lists recomputed from the last purchase price
// by kind and mode, in forints and in another currency; a missing rate changes nothing;
// single price rows and price-list records.

#include <gtest/gtest.h>

#include <string>

#include "datamodule/silent_abort.h"
#include "dm_projects_support.h"

namespace dorvan::test {
namespace {

// Item 1: markup 25 %, minimum markup 10 %, VAT 27 %. Lists: 1 kind "2" in forints, 2 kind
// "1" in EUR (rate 400), 3 kind "3" in forints, 4 kept by hand, 5 kind "1" in USD (no rate).
constexpr const char* kPrices = R"SQL(
TRUNCATE afa_kulcs, tetel, egysegarak, tetel_egysegar, deviza, deviza_arfolyam RESTART IDENTITY;
INSERT INTO afa_kulcs (kod, lang_0000040e, afakulcs) VALUES (1, '27%', 27), (2, '5%', 5);
INSERT INTO deviza (nev, megjegyzes) VALUES ('HUF', 'Magyar forint'), ('EUR', 'Euró'), ('USD', 'Dollár');
INSERT INTO deviza_arfolyam (deviza_nev, datum, huf_ertek) VALUES
  ('HUF', '1900-01-01', 1), ('EUR', '2020-01-01', 400);
INSERT INTO tetel (kod, lang_0000040e, tetel_tipus, afa_kulcs, haszonkulcs, minimum_haszonkulcs,
  utolsobeszerzesiar) VALUES
  (1, 'Festék', 1, 1, 25, 10, 0), (2, 'Szolgáltatás', 0, 1, 25, 10, 0),
  (3, 'Ecset', 1, 1, 0, 0, 200);
INSERT INTO egysegarak (kod, lang_0000040e, automatikus_ertek, deviza_nev) VALUES
  (1, 'Bolti', 2, 'HUF'), (2, 'Export', 1, 'EUR'), (3, 'Minimum', 3, 'HUF'),
  (4, 'Kézi', 0, 'HUF'), (5, 'Dollár', 1, 'USD');
INSERT INTO tetel_egysegar (tetel_kod, egysegar_kod, egysegar, egysegar_brutto, afa_kulcs) VALUES
  (1, 1, 1, 1, 0), (1, 2, 1, 1, 0), (1, 3, 1, 1, 0), (1, 4, 500, 600, 0),
  (2, 1, 7, 7, 0), (3, 1, 300, 300, 0), (3, 5, 1, 1, 0);
)SQL";

class UnitPricesTest : public DmAreaTest {
  protected:
    void SetUp() override {
        DmAreaTest::SetUp();
        Exec(kPrices);
    }
    // "net/gross/VAT key" of an item's row in a list.
    std::string Row(int item, int list) {
        return Scalar(
            "select egysegar || '/' || egysegar_brutto || '/' || afa_kulcs from "
            "tetel_egysegar where tetel_kod = " +
            std::to_string(item) + " and egysegar_kod = " + std::to_string(list));
    }
};

TEST_F(UnitPricesTest, NewPurchasePriceRecomputesTheAutomaticLists) {
    EXPECT_EQ(dm->SetTetelUtolsoBeszerzesiAr(1, 1000, db::EncodeDate(2026, 12, 1)), 1);
    EXPECT_EQ(Scalar("select utolsobeszerzesiar || ' ' || utolsobeszerzesiardatuma from tetel "
                     "where kod = 1"),
              "1000 2026-12-01");
    struct Case {
        int list;
        double net, gross;
        int afa;
    };
    const Case cases[] = {
        {1, 1250, 1587.5, 1},  // 1000 + 25 %, + 27 % VAT
        {2, 2.5, 3.175, 1},    // 1000 HUF at 400 per EUR
        {3, 1100, 1397, 1},    // minimum markup 10 %
        {4, 500, 600, 0},      // kept by hand
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        auto q = dm->GetSQLResultTable(
            "select * from tetel_egysegar where tetel_kod = 1 and egysegar_kod = " +
            std::to_string(c.list));
        EXPECT_DOUBLE_EQ(q->FieldByName("egysegar").AsFloat(), c.net);
        EXPECT_DOUBLE_EQ(q->FieldByName("egysegar_brutto").AsFloat(), c.gross);
        EXPECT_EQ(q->FieldByName("afa_kulcs").AsInteger(), c.afa);
    }
    EXPECT_EQ(dm->SetTetelUtolsoBeszerzesiAr(404, 1000, 0), 0);
}

TEST_F(UnitPricesTest, ModesDecideWhichListsAndWhichPricesChange) {
    Exec("update tetel set utolsobeszerzesiar = 1000 where kod = 1");
    struct Case {
        int mode;
        const char* list1;
        const char* list2;
        const char* list3;
        int result;
    };
    const Case cases[] = {
        // Mode 0: only the gross price and the VAT key follow the item.
        {0, "1/1.27/1", "1/1.27/1", "1/1.27/1", 1},
        {2, "1250/1587.5/1", "1/1/0", "1/1/0", 1},
        {3, "1/1/0", "1/1/0", "1100/1397/1", 1},
        {9, "1250/1587.5/1", "2.5/3.175/1", "1100/1397/1", 1},
        {7, "1/1/0", "1/1/0", "1/1/0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Exec(
            "update tetel_egysegar set egysegar = 1, egysegar_brutto = 1, afa_kulcs = 0 "
            "where tetel_kod = 1 and egysegar_kod <> 4");
        EXPECT_EQ(dm->RefreshEgysegAr(1, c.mode), c.result);
        EXPECT_EQ(Row(1, 1), c.list1);
        EXPECT_EQ(Row(1, 2), c.list2);
        EXPECT_EQ(Row(1, 3), c.list3);
        EXPECT_EQ(Row(1, 4), "500/600/0");
    }
}

TEST_F(UnitPricesTest, ZeroMarkupAndServiceItemsKeepTheirNetPrices) {
    // Markup 0: the net price stays, the gross price and VAT key follow the item.
    EXPECT_EQ(dm->RefreshEgysegAr(3, 2), 1);
    EXPECT_EQ(Row(3, 1), "300/381/1");
    // Item type 0: nothing written, yet it has a row in a visited list.
    EXPECT_EQ(dm->RefreshEgysegAr(2, 1), 1);
    EXPECT_EQ(Row(2, 1), "7/7/0");
    // No row in any visited list.
    Exec("INSERT INTO tetel (kod, lang_0000040e, tetel_tipus) VALUES (4, 'Új', 1)");
    EXPECT_EQ(dm->RefreshEgysegAr(4, 1), 0);
}

TEST_F(UnitPricesTest, AMissingRateChangesNothing) {
    // Item 3 has rows in a forint list (refreshed first) and in the USD list, which has no
    // rate: the refresh aborts silently and every row, and the purchase price, stay.
    const std::string before1 = Row(3, 1);
    const std::string before5 = Row(3, 5);
    EXPECT_THROW(dm->SetTetelUtolsoBeszerzesiAr(3, 5000, db::EncodeDate(2026, 12, 1)), SilentAbort);
    EXPECT_EQ(Row(3, 1), before1);
    EXPECT_EQ(Row(3, 5), before5);
    EXPECT_EQ(Scalar("select utolsobeszerzesiar || '/' || coalesce(utolsobeszerzesiardatuma::text, "
                     "'-') from tetel where kod = 3"),
              "200/-");
    EXPECT_THROW(dm->RefreshEgysegAr(3, 1), SilentAbort);
    EXPECT_EQ(Row(3, 1), before1);
    EXPECT_EQ(Row(3, 5), before5);
    // The module's connection is usable afterwards: no transaction left open.
    EXPECT_FALSE(dm->ZConnection.InTransaction());
    EXPECT_EQ(dm->SetNewEgysegar(3, 1, 10, 12.7), 1);
    EXPECT_EQ(Row(3, 1), "10/12.7/0");
}

TEST_F(UnitPricesTest, SinglePriceRowsAndPriceListRecords) {
    EXPECT_EQ(dm->SetNewEgysegar(1, 4, 510, 647.7), 1);
    EXPECT_EQ(Row(1, 4), "510/647.7/0");
    EXPECT_EQ(dm->SetNewEgysegar(2, 4, 1, 1), 0);
    EXPECT_EQ(Count("select count(*) from tetel_egysegar where tetel_kod = 2 and egysegar_kod = 4"),
              0);

    TEgysegarInfo info;
    dm->GetEgysegarInfo(2, info);
    EXPECT_EQ(info.kod, 2);
    EXPECT_EQ(info.nev, "Export");
    EXPECT_EQ(info.automatikus_ertek, "1");
    EXPECT_EQ(info.deviza_nev, "EUR");
    dm->GetEgysegarInfo(404, info);
    EXPECT_EQ(info.nev, "");
    EXPECT_EQ(info.kod, 2) << "only the name is emptied";
}

}  // namespace
}  // namespace dorvan::test
