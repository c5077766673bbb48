// The start-up checks on damaged copies of the demo database: the category self test and its
// fix-ups, the owner's own partner row, and workstations starting at the same moment.

#include <gtest/gtest.h>

#include <barrier>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "config/main_table.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {
namespace {

std::unique_ptr<TDM> ConnectedDm() {
    auto dm = std::make_unique<TDM>();
    dm->ConnectLocal(DatabaseParams());
    return dm;
}

class StartupChecksTest : public ::testing::Test {
  protected:
    void SetUp() override { dm = ConnectedDm(); }

    void Exec(const std::string& sql) { dm->ExecSQLList({sql}, dm->ZConnection_behind); }
    std::string Scalar(const std::string& sql) {
        return dm->GetSQLResult(sql, dm->ZConnection_behind);
    }
    int Int(const std::string& sql) { return std::stoi(Scalar(sql)); }

    std::unique_ptr<TDM> dm;
};

TEST_F(StartupChecksTest, CategorySelfTestRepairsTheCategories) {
    // Category 4 lost its "< üres >" row (and the references to it), category 5's row is
    // not marked, some items and rules have empty category columns.
    Exec(
        "UPDATE tetel SET fajta4 = NULL WHERE fajta4 = 4;"
        "UPDATE partner_csoport_egysegarak SET fajta4 = NULL WHERE fajta4 = 4;"
        "DELETE FROM tetel_fajtak WHERE kod = 4;"
        "UPDATE tetel_fajtak SET ures = 0 WHERE kod = 5;"
        "UPDATE tetel SET fajta1 = NULL, fajta6 = NULL WHERE kod = 3;"
        "UPDATE partner_csoport_egysegarak SET fajta5 = NULL, fajta6 = NULL WHERE kod = 3;");
    const int emptyFajta4 = Int("SELECT count(*) FROM tetel WHERE fajta4 IS NULL");
    ASSERT_GT(emptyFajta4, 0);

    dm->OnStartupChecks();

    const int k4 =
        Int("SELECT kod FROM tetel_fajtak WHERE fajta_kod = 4 AND "
            "lang_0000040e = '< üres >'");
    EXPECT_EQ(MainTable().CategoryKeys, (std::array<int, 7>{0, 1, 2, 3, k4, 5, 6}));
    const std::string k4s = std::to_string(k4);
    const struct {
        const char* what;
        std::string sql;
        std::string expected;
    } kChecks[] = {
        {"one empty row per category",
         "SELECT string_agg(fajta_kod || ':' || count, ',' ORDER BY fajta_kod) FROM (SELECT "
         "fajta_kod, count(*) FROM tetel_fajtak WHERE lang_0000040e = '< üres >' GROUP BY "
         "fajta_kod) s",
         "1:1,2:1,3:1,4:1,5:1,6:1"},
        {"every empty row marked",
         "SELECT count(*) FROM tetel_fajtak WHERE lang_0000040e = '< üres >' AND ures = 1", "6"},
        {"new row of category 4", "SELECT ures FROM tetel_fajtak WHERE kod = " + k4s, "1"},
        {"items with an empty category 4", "SELECT count(*) FROM tetel WHERE fajta4 = " + k4s,
         std::to_string(emptyFajta4)},
        {"no empty item column",
         "SELECT count(*) FROM tetel WHERE num_nulls(fajta1, fajta2, fajta3, fajta4, fajta5, "
         "fajta6) > 0",
         "0"},
        {"item 3", "SELECT fajta1 || ',' || fajta6 FROM tetel WHERE kod = 3", "1,6"},
        {"rule 3",
         "SELECT fajta4 || ',' || fajta5 || ',' || fajta6 FROM "
         "partner_csoport_egysegarak WHERE kod = 3",
         k4s + ",5,6"},
        {"rules of category 4",
         "SELECT count(*) FROM partner_csoport_egysegarak WHERE fajta4 IS NULL", "0"},
    };
    for (const auto& c : kChecks) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Scalar(c.sql), c.expected);
    }
    // The forint rows are there.
    EXPECT_EQ(Scalar("SELECT count(*) FROM deviza WHERE nev = 'HUF'"), "1");
    EXPECT_EQ(dm->GetArfolyam("HUF", true, db::EncodeDate(1900, 1, 1)), 1);
}

TEST_F(StartupChecksTest, OwnerGetsItsOwnPartner) {
    const struct {
        const char* name;
        const char* partnerKod;
        bool creates;
    } kCases[] = {
        {"partner deleted", "9999", true},
        {"key 0", "0", true},
        {"no key", "NULL", true},
        {"existing partner kept", "1", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Exec(std::string("UPDATE tulajdonos SET partner_kod = ") + c.partnerKod);
        dm = ConnectedDm();
        dm->OwnerRecord();
        const int before = Int("SELECT max(kod) FROM partner");

        dm->OnStartupChecks();

        const int after = Int("SELECT max(kod) FROM partner");
        const int owner = Int("SELECT partner_kod FROM tulajdonos");
        if (c.creates) {
            EXPECT_EQ(after, before + 1);
            EXPECT_EQ(owner, after);
            EXPECT_EQ(Scalar("SELECT p.nev = t.nev1 AND p.iszam = t.iszam AND p.telepules = "
                             "t.telepules AND p.cim = t.utca FROM partner p, tulajdonos t "
                             "WHERE p.kod = t.partner_kod"),
                      "True");
            EXPECT_EQ(Scalar("SELECT orszag || ',' || hasznalatban || ',' || fizetesmod || ',' "
                             "|| partner_tipus || ',' || iso_engedely FROM partner WHERE kod = " +
                             std::to_string(owner)),
                      "Magyarország,1,1,3,1");
        } else {
            EXPECT_EQ(after, before);
            EXPECT_EQ(owner, 1);
        }
        // The module's owner record shows the key.
        EXPECT_EQ(dm->OwnerRecord().FieldByName("partner_kod").AsInteger(), owner);
    }
    Exec("UPDATE tulajdonos SET partner_kod = 1");
}

TEST_F(StartupChecksTest, WorkstationsStartingTogetherCreateEachRowOnce) {
    Exec(
        "UPDATE tetel SET fajta6 = NULL WHERE fajta6 = 6;"
        "UPDATE partner_csoport_egysegarak SET fajta6 = NULL WHERE fajta6 = 6;"
        "DELETE FROM tetel_fajtak WHERE kod = 6;"
        "DELETE FROM deviza WHERE nev = 'HUF';"
        "DELETE FROM deviza_arfolyam WHERE deviza_nev = 'HUF';"
        "UPDATE tulajdonos SET partner_kod = 0;");
    const int partners = Int("SELECT count(*) FROM partner");

    constexpr int kClients = 6;
    std::vector<std::unique_ptr<TDM>> modules;
    for (int i = 0; i < kClients; ++i)
        modules.push_back(ConnectedDm());
    std::barrier sync(kClients);
    std::vector<std::thread> clients;
    std::vector<std::string> errors(kClients);
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            TDM& own = *modules[static_cast<std::size_t>(i)];
            try {
                own.OwnerRecord();
                sync.arrive_and_wait();
                own.OnStartupChecks();
            } catch (const std::exception& e) {
                errors[static_cast<std::size_t>(i)] = e.what();
            }
        });
    }
    for (auto& t : clients)
        t.join();
    while (!modules.empty())
        modules.pop_back();  // the last one built goes first

    for (const std::string& e : errors)
        EXPECT_EQ(e, "");
    const struct {
        const char* what;
        const char* sql;
        const char* expected;
    } kChecks[] = {
        {"empty row of category 6",
         "SELECT count(*) FROM tetel_fajtak WHERE fajta_kod = 6 AND lang_0000040e = '< üres >'",
         "1"},
        {"items refer to it",
         "SELECT count(*) FROM tetel WHERE fajta6 IS NULL OR fajta6 NOT IN (SELECT kod FROM "
         "tetel_fajtak)",
         "0"},
        {"forint currency", "SELECT count(*) FROM deviza WHERE nev = 'HUF'", "1"},
        {"forint rate", "SELECT count(*) FROM deviza_arfolyam WHERE deviza_nev = 'HUF'", "1"},
        {"owner's partner exists",
         "SELECT count(*) FROM partner p JOIN tulajdonos t ON p.kod = t.partner_kod", "1"},
    };
    for (const auto& c : kChecks) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Scalar(c.sql), c.expected);
    }
    EXPECT_EQ(Int("SELECT count(*) FROM partner"), partners + 1);
}

}  // namespace
}  // namespace dorvan::test
