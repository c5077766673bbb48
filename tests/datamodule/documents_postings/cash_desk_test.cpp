// Cash-desk postings against the demo database: numbers per direction, given numbers,
// numbers across a year boundary and beside numbers given by hand, postings without a
// cash-desk document, the reversal of a cash-desk document, the latest
// date of a direction, and clients posting in one direction at the same moment.

#include <chrono>
#include <set>
#include <thread>

#include "db/date_time.h"
#include "documents_fixture.h"

namespace dorvan {
namespace {

class CashDeskTest : public test::DocumentsTest {
  protected:
    void TearDown() override {
        dm.ExecSQLList({
            "delete from penzeszkoz_iktato where kod > 3;",
            "delete from penztar_bizonylat_szam where penztar_bizonylat_irany >= 5;",
        });
    }
    std::string Post(int irany, const std::string& szam = "", double osszeg = 1000,
                     TDateTime datum = db::EncodeDate(2026, 3, 1)) {
        return dm.AddNew_PenzeszkozValt(2, "SZ2026/0000002", datum, 0, 1, osszeg,
                                        "Befizetés O'Neill részére", "381", 4317, 0, irany, szam);
    }
};

TEST_F(CashDeskTest, NumbersPerDirection) {
    struct Case {
        const char* name;
        int irany;
        const char* given;
        const char* expected;
    };
    const Case kCases[] = {
        {"first of a direction", 5, "", "2026/0000001"},
        {"second", 5, "", "2026/0000002"},
        {"another direction has its own", 6, "", "2026/0000001"},
        {"given number", 5, "2026/0000002", "2026/0000002"},
        {"after the demo's", 1, "", "2026/0000003"},
        {"no direction, no number", 0, "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Post(c.irany, c.given), c.expected);
    }
    EXPECT_EQ(Int("select count(*) from penzeszkoz_iktato where penztar_bizonylat_irany = 5 and "
                  "penztar_bizonylat = '2026/0000002'"),
              2);
    EXPECT_EQ(Value("select megjegyzes || '|' || fokonyviszam || '|' || c_userid from "
                    "penzeszkoz_iktato where penztar_bizonylat_irany = 6"),
              "Befizetés O'Neill részére|381|tesztelo");
    EXPECT_EQ(Value("select coalesce(penztar_bizonylat, 'null') from penzeszkoz_iktato where "
                    "kod = (select max(kod) from penzeszkoz_iktato)"),
              "null");
    // A new year restarts the sequence.
    EXPECT_EQ(Post(5, "", 10, db::EncodeDate(2027, 1, 2)), "2027/0000001");

    EXPECT_EQ(dm.GetLastPenztBizKelt(5), db::EncodeDate(2027, 1, 2));
    EXPECT_EQ(dm.GetLastPenztBizKelt(9), 0);
}

TEST_F(CashDeskTest, NumbersAcrossTheYearAndNumbersGivenByHand) {
    struct Case {
        const char* name;
        const char* given;
        TDateTime datum;
        const char* expected;
    };
    const Case kCases[] = {
        {"December", "", db::EncodeDate(2026, 12, 30), "2026/0000001"},
        {"January", "", db::EncodeDate(2027, 1, 2), "2027/0000001"},
        {"December entered in January", "", db::EncodeDate(2026, 12, 31), "2026/0000002"},
        {"January goes on", "", db::EncodeDate(2027, 1, 3), "2027/0000002"},
        {"given by hand", "K-17", db::EncodeDate(2027, 1, 3), "K-17"},
        {"after a number given by hand", "", db::EncodeDate(2027, 1, 4), "2027/0000003"},
        {"given by hand with the year's prefix", "2026/K-9", db::EncodeDate(2026, 12, 31),
         "2026/K-9"},
        {"given by hand, six digits", "2026/999999", db::EncodeDate(2026, 12, 31), "2026/999999"},
        {"December after them", "", db::EncodeDate(2026, 12, 31), "2026/0000003"},
        {"a later year's number given", "2028/0000050", db::EncodeDate(2028, 1, 1), "2028/0000050"},
        {"that year goes on from it", "", db::EncodeDate(2028, 1, 2), "2028/0000051"},
        {"December still after them", "", db::EncodeDate(2026, 12, 31), "2026/0000004"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Post(5, c.given, 100, c.datum), c.expected);
    }
    // The reversal of a December cash-desk document in January's books stays in its year.
    EXPECT_EQ(dm.PenzeszkozSztorno("2026/0000001", 5, db::EncodeDate(2026, 12, 31)),
              "2026/0000005");
    EXPECT_EQ(dm.PenzeszkozSztorno("K-17", 5, db::EncodeDate(2027, 1, 5)), "2027/0000004");
}

TEST_F(CashDeskTest, ReversalOfACashDeskDocument) {
    const std::string szam = Post(5, "", 100);
    Post(5, szam, 200);
    Post(5, szam, 300);
    const TDateTime datum = db::EncodeDate(2026, 3, 5);
    EXPECT_EQ(dm.PenzeszkozSztorno(szam, 5, datum), "2026/0000002");
    EXPECT_EQ(Value("select string_agg(osszeg::text, ',' order by kod) from penzeszkoz_iktato "
                    "where penztar_bizonylat = '2026/0000002' and penztar_bizonylat_irany = 5"),
              "-100,-200,-300");
    // Each reversed row points to its own reversing row and back.
    EXPECT_EQ(Int("select count(*) from penzeszkoz_iktato s join penzeszkoz_iktato r on "
                  "r.kod = s.sztornozo_bizonylat_kod and r.sztornozott_bizonylat_kod = s.kod "
                  "where s.penztar_bizonylat = :szam and s.penztar_bizonylat_irany = 5 and "
                  "r.datum = '2026-03-05' and r.sztornozo_bizonylat_kod = 0",
                  {{"szam", szam}}),
              3);

    struct Case {
        const char* name;
        std::string szam;
        int irany;
    };
    const Case kCases[] = {
        {"already reversed", szam, 5},
        {"direction 0", szam, 0},
        {"no such number in the direction", szam, 6},
        {"no such number", "2026/0000099", 5},
    };
    const int rows = Int("select count(*) from penzeszkoz_iktato");
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dm.PenzeszkozSztorno(c.szam, c.irany, datum), "");
    }
    EXPECT_EQ(Int("select count(*) from penzeszkoz_iktato"), rows);
}

TEST_F(CashDeskTest, ClientsPostingInOneDirectionGetDistinctNumbers) {
    constexpr int kClients = 8;
    constexpr int kEach = 10;
    std::vector<std::vector<std::string>> got(kClients);
    RunClients(kClients, [&](int i, TDM& client) {
        for (int n = 0; n < kEach; ++n)
            got[static_cast<std::size_t>(i)].push_back(client.AddNew_PenzeszkozValt(
                2, "", db::EncodeDate(2026, 4, 1), 0, 1, 5, "", "", 0, 0, 7, ""));
    });
    std::set<std::string> all;
    for (const auto& list : got)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kClients * kEach));
    EXPECT_EQ(*all.rbegin(), "2026/0000080");
}

TEST_F(CashDeskTest, NumberTakenMeanwhileIsPassedBy) {
    // Another client has posted 2026/0000001 of direction 8 and not yet committed.
    db::Connection other("other");
    other.SetParams(test::DatabaseParams());
    other.Connect();
    other.StartTransaction();
    other.Execute(
        "insert into penzeszkoz_iktato (datum, penztar_bizonylat_irany, penztar_bizonylat) "
        "values ('2026-05-01', 8, '2026/0000001');"
        "insert into penztar_bizonylat_szam (penztar_bizonylat_irany, penztar_bizonylat) values "
        "(8, '2026/0000001')");
    std::string got;
    std::thread poster([&] { got = Post(8, "", 1, db::EncodeDate(2026, 5, 1)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    other.Commit();
    poster.join();
    EXPECT_EQ(got, "2026/0000002");
}

}  // namespace
}  // namespace dorvan
