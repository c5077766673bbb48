// Stock figures against the database's own running totals and average costs: the stock on a
// date, identified pieces, the latest average cost.

#include <gtest/gtest.h>

#include <string>

#include "db/date_time.h"
#include "stock_system_fixture.h"

namespace dorvan::test {
namespace {

// Documents of the tests (keys chosen here; items 101-110 exist only in these lines).
constexpr const char* kMovements = R"SQL(
INSERT INTO raktar_mozgas_fej (kod, datum, ido, c_date) VALUES
    (1, '2026-03-01', '08:00', '2026-03-01'),
    (2, '2026-03-05', '09:00', '2026-03-05'),
    (3, '2026-03-10', '07:00', '2026-03-02'),   -- entered on 2 March, dated 10 March
    (4, '2026-03-06', '10:00', '2026-03-06'),
    (5, '2026-04-01', '10:00', '2026-04-01'),
    (6, '2026-04-01', '10:00', '2026-04-01'),
    (7, '2026-04-02', '08:00', '2026-04-02'),
    (8, '2026-04-01', '23:00', '2026-04-01'),
    (9, '2026-04-01', '09:00', '2026-04-01'),
    (10, '2026-04-01', '11:00', '2026-04-01'),
    (11, NULL, NULL, NULL),
    (12, '2026-01-01', '08:00', '2026-01-01');
INSERT INTO raktar_mozgas (kod, fej_kod, tetel_kod, forras_raktar_kod, cel_raktar_kod, mennyiseg) VALUES
    -- item 101: 10 in on 1 March, 4 moved to warehouse 2 on 5 March, 3 more dated 10 March,
    -- 2 moved within warehouse 1 on 6 March
    (1, 1, 101, 0, 1, 10),
    (2, 2, 101, 1, 2, 4),
    (3, 3, 101, 0, 1, 3),
    (4, 4, 101, 1, 1, 2),
    -- item 102: two identified pieces into warehouse 1
    (5, 1, 102, 0, 1, 2),
    -- average costs: same date and time (item 104), date before key (105), time before
    -- key (106), both sides of a transfer (107), a header without date (108)
    (50, 5, 104, 0, 1, 1),
    (51, 6, 104, 0, 1, 1),
    (52, 6, 104, 0, 1, 1),
    (40, 7, 105, 0, 1, 1),
    (60, 8, 105, 0, 1, 1),
    (70, 9, 106, 0, 1, 1),
    (65, 10, 106, 0, 1, 1),
    (89, 12, 107, 0, 1, 5),
    (90, 5, 107, 1, 2, 1),
    (91, 6, 107, 1, 1, 1),
    (92, 12, 109, 0, 1, 5),
    (93, 5, 109, 1, 2, 1),
    (80, 11, 108, 0, 1, 1),
    (81, 12, 108, 0, 1, 1);
UPDATE raktar_mozgas SET cel_raktar_atlagar = kod * 10 WHERE tetel_kod IN (104, 105, 106, 108);
UPDATE raktar_mozgas SET forras_raktar_atlagar = 7, cel_raktar_atlagar = 8 WHERE kod IN (90, 93);
UPDATE raktar_mozgas SET forras_raktar_atlagar = 9, cel_raktar_atlagar = 10 WHERE kod = 91;
INSERT INTO tetel_egyedi (kod, tetel_kod, egyedi_azonosito) VALUES
    (1, 102, 'SN-1'),
    (2, 103, 'SN-2'),
    (3, 102, 'O''Brien-7');
INSERT INTO raktar_mozgas_egyedi (rm_kod, egyedi_azonosito_kod, mennyiseg) VALUES
    (5, 1, 1),
    (5, 3, 1);
UPDATE tetel_raktar_egyedi SET foglalt = 1, szabad = 0 WHERE egyedi_azonosito_kod = 3;
)SQL";

class StockTest : public ModuleTest {
  protected:
    static void SetUpTestSuite() { RunScript(Server(), DatabaseName(), kMovements); }
};

TEST_F(StockTest, QuantityOnADate) {
    struct Case {
        int warehouse;
        db::TDateTime date;
        double expected;
    };
    const db::TDateTime march5 = db::EncodeDate(2026, 3, 5);
    const Case cases[] = {
        {1, db::EncodeDate(2026, 2, 28), 0},
        {1, db::EncodeDate(2026, 3, 3), 10},
        {1, march5, 6},
        {1, march5 + db::EncodeTime(23, 59, 0), 6},  // the time of day does not matter
        {2, march5, 4},
        {2, db::EncodeDate(2026, 3, 1), 0},
        {1, db::EncodeDate(2026, 3, 6), 6},  // a move within the warehouse adds nothing
        {1, db::EncodeDate(2026, 3, 9), 6},  // entered on 2 March, dated 10 March
        {1, db::EncodeDate(2026, 3, 10), 9},
        {3, db::EncodeDate(2026, 12, 31), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("warehouse " + std::to_string(c.warehouse) + " day " + std::to_string(c.date));
        EXPECT_DOUBLE_EQ(dm->Get_Keszlet(101, c.warehouse, c.date), c.expected);
    }
}

TEST_F(StockTest, FreeQuantityNow) {
    struct Case {
        int item;
        int warehouse;
        double expected;
    };
    const Case cases[] = {{101, 1, 9}, {101, 2, 4}, {101, 3, 0}, {999, 1, 0}, {102, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.item) + "/" + std::to_string(c.warehouse));
        EXPECT_DOUBLE_EQ(dm->GetKeszlet(c.item, c.warehouse), c.expected);
    }
    // Another workstation's line is seen by the next lookup.
    EXPECT_DOUBLE_EQ(dm->GetKeszlet(110, 3), 0);
    Exec(
        "INSERT INTO raktar_mozgas (kod, fej_kod, tetel_kod, cel_raktar_kod, mennyiseg) "
        "VALUES (94, 12, 110, 3, 5)");
    EXPECT_DOUBLE_EQ(dm->GetKeszlet(110, 3), 5);
}

TEST_F(StockTest, IdentifiedPieces) {
    struct Case {
        const char* id;
        int item;
        int warehouse;
        TEgyediKeszlet expected;
    };
    const Case cases[] = {
        {"SN-1", 102, 1, {1, 0, 1}},       {"O'Brien-7", 102, 1, {1, 1, 0}},
        {"SN-1", 102, 2, {-1, 55, 66}},     // exists, not in that warehouse
        {"SN-2", 102, 1, {-1, 55, 66}},     // exists, for another item
        {"NO-SUCH", 102, 1, {-2, 55, 66}},  // the other fields keep the caller's values
        {"sn-1", 102, 1, {-2, 55, 66}},     // identifiers are exact
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        TEgyediKeszlet k{0, 55, 66};
        dm->GetTetelEgyediKeszlet(c.id, c.item, c.warehouse, k);
        EXPECT_DOUBLE_EQ(k.mennyiseg, c.expected.mennyiseg);
        EXPECT_DOUBLE_EQ(k.foglalt, c.expected.foglalt);
        EXPECT_DOUBLE_EQ(k.szabad, c.expected.szabad);
    }

    TEgyediKeszlet all{9, 9, 9};
    dm->GetTetelEgyediOsszesKeszlet(102, all);
    EXPECT_DOUBLE_EQ(all.mennyiseg, 2);
    EXPECT_DOUBLE_EQ(all.foglalt, 1);
    EXPECT_DOUBLE_EQ(all.szabad, 1);
    dm->GetTetelEgyediOsszesKeszlet(999, all);
    EXPECT_DOUBLE_EQ(all.mennyiseg, 0);
    EXPECT_DOUBLE_EQ(all.foglalt, 0);
    EXPECT_DOUBLE_EQ(all.szabad, 0);
}

TEST_F(StockTest, LatestAverageCost) {
    struct Case {
        const char* what;
        int item;
        int warehouse;
        double expected;
    };
    const Case cases[] = {
        {"same date and time: higher line key", 104, 1, 520},
        {"later date before higher key", 105, 1, 400},
        {"later time before higher key", 106, 1, 650},
        {"target side of a transfer", 107, 2, 8},
        {"source side of a transfer", 109, 1, 7},
        {"both sides: the target wins", 107, 1, 10},
        {"a header without date is not the latest", 108, 1, 810},
        {"never moved there", 104, 2, 0},
        {"unknown item", 999, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DOUBLE_EQ(dm->GetUtolsoAtlagar(c.item, c.warehouse), c.expected);
    }
}

}  // namespace
}  // namespace dorvan::test
