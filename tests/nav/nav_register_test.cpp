// The register of submissions against the database: claims of one document by eight
// connections at the same moment (one wins, every time), the rules of a claim and of each
// state change, and the update script that brings the table into an existing database
// (the same table as the schema's; run again it changes nothing; rows it cannot constrain
// stay).

#include <gtest/gtest.h>

#include <barrier>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "db/connection.h"
#include "db/errors.h"
#include "nav/nav_register.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::nav {
namespace {

std::unique_ptr<db::Connection> Connect() {
    auto c = std::make_unique<db::Connection>("register");
    c->SetParams(test::DatabaseParams());
    c->Connect();
    return c;
}

class NavRegisterTest : public ::testing::Test {
  protected:
    void SetUp() override { Sql("delete from nav_bekuldes"); }

    std::string Sql(const std::string& sql) {
        db::Result r = connection_->Execute(sql);
        return r && r.Rows() > 0 && r.Columns() > 0 ? r.Text(0, 0) : std::string();
    }

    static TNavClaimRequest Request(int key, const std::string& requestId, int index = 1,
                                    const std::string& operation = "CREATE") {
        TNavClaimRequest r;
        r.fejKod = key;
        r.bizonylatszam = "SZ2026/" + std::to_string(key);
        r.muvelet = operation;
        r.keresAzonosito = requestId;
        r.keresIndex = index;
        r.munkaallomas = "gep-1";
        return r;
    }

    // state|transaction|messages of the document's rows, oldest first.
    std::string Rows(int key) {
        return Sql(
            "select coalesce(string_agg(concat_ws('|', muvelet, allapot, "
            "coalesce(tranzakcio_azonosito, '-'), coalesce(jovahagyas, '-'), "
            "coalesce(uzenetek, '-')), ';' order by kod), '') from nav_bekuldes where fej_kod = " +
            std::to_string(key));
    }

    std::unique_ptr<db::Connection> connection_ = Connect();
    TNavRegister register_{*connection_};
};

TEST_F(NavRegisterTest, EightConnectionsClaimOneDocumentOnce) {
    constexpr int kClients = 8;
    constexpr int kDocuments = 40;
    std::vector<std::unique_ptr<db::Connection>> connections;
    for (int i = 0; i < kClients; ++i)
        connections.push_back(Connect());
    std::barrier start(kClients);
    std::vector<std::vector<int>> won(kClients);
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            TNavRegister mine(*connections[i]);
            for (int d = 1; d <= kDocuments; ++d) {
                start.arrive_and_wait();
                const TNavClaim claim = mine.ClaimReport(
                    Request(9000 + d, "RID" + std::to_string(i) + "X" + std::to_string(d)));
                if (claim.claimed)
                    won[i].push_back(d);
                else
                    EXPECT_TRUE(claim.row && claim.row->allapot == "SENDING");
            }
        });
    }
    for (std::thread& t : clients)
        t.join();
    std::size_t total = 0;
    for (const auto& w : won)
        total += w.size();
    EXPECT_EQ(total, static_cast<std::size_t>(kDocuments));
    EXPECT_EQ(Sql("select count(*) from nav_bekuldes"), std::to_string(kDocuments));
    EXPECT_EQ(Sql("select count(distinct fej_kod) from nav_bekuldes"), std::to_string(kDocuments));
}

TEST_F(NavRegisterTest, ClaimsAndStates) {
    // A report claimed is written before anything leaves.
    TNavClaim c = register_.ClaimReport(Request(1, "R1"));
    ASSERT_TRUE(c.claimed);
    EXPECT_EQ(c.row->allapot, "SENDING");
    EXPECT_EQ(Rows(1), "CREATE|SENDING|-|-|-");
    // In flight: no second one.
    c = register_.ClaimReport(Request(1, "R2"));
    EXPECT_FALSE(c.claimed);
    EXPECT_EQ(c.row->keresAzonosito, "R1");

    // The answer lost: still SENDING, with the reason; not lost before its time.
    register_.AnswerLost("R1", "a válasz elveszett: Empty reply");
    EXPECT_EQ(Rows(1), "CREATE|SENDING|-|-|a válasz elveszett: Empty reply");
    EXPECT_FALSE(register_.MarkLost(c.row->kod));
    Sql("update nav_bekuldes set elkuldve = elkuldve - interval '299 seconds'");
    EXPECT_FALSE(register_.MarkLost(c.row->kod));
    Sql("update nav_bekuldes set elkuldve = elkuldve - interval '2 seconds'");
    EXPECT_TRUE(register_.MarkLost(c.row->kod));
    EXPECT_FALSE(register_.MarkLost(c.row->kod));
    EXPECT_EQ(Rows(1), "CREATE|LOST|-|-|a válasz elveszett: Empty reply");

    // Lost does not stand in the way; refused as a whole neither.
    ASSERT_TRUE(register_.ClaimReport(Request(1, "R3")).claimed);
    register_.Failed("R3", "ERROR INVALID_REQUEST_SIGNATURE: Invalid request signature!");
    ASSERT_TRUE(register_.ClaimReport(Request(1, "R4")).claimed);
    register_.Received("R4", "T4");
    // A late answer of a failed request changes nothing.
    register_.Received("R3", "T3");
    EXPECT_EQ(Rows(1),
              "CREATE|LOST|-|-|a válasz elveszett: Empty reply;"
              "CREATE|FAILED|-|-|ERROR INVALID_REQUEST_SIGNATURE: Invalid request signature!;"
              "CREATE|RECEIVED|T4|-|-");

    // States move on; a final state is not overwritten by another one.
    register_.UpdateState("T4", 1, "PROCESSING", "", "");
    register_.UpdateState("T4", 1, "DONE", "WARN\tCODE\tm\t\t\t", "");
    register_.UpdateState("T4", 1, "PROCESSING", "", "");
    EXPECT_EQ(Rows(1).substr(Rows(1).rfind(';') + 1), "CREATE|DONE|T4|-|WARN\tCODE\tm\t\t\t");
    EXPECT_FALSE(register_.ClaimReport(Request(1, "R5")).claimed);

    // Annulment: needs a DONE report; one at a time; approved, the report is annulled.
    EXPECT_FALSE(register_.ClaimAnnulment(Request(2, "A0", 1, "ANNUL")).claimed);
    const TNavClaim annul = register_.ClaimAnnulment(Request(1, "A1", 1, "ANNUL"));
    ASSERT_TRUE(annul.claimed);
    EXPECT_FALSE(register_.ClaimAnnulment(Request(1, "A2", 1, "ANNUL")).claimed);
    register_.Received("A1", "TA1");
    register_.UpdateState("TA1", 1, "DONE", "", "VERIFICATION_PENDING");
    EXPECT_FALSE(register_.ClaimAnnulment(Request(1, "A3", 1, "ANNUL")).claimed);
    register_.MarkAnnulled(1, annul.row->kod);
    EXPECT_EQ(register_.LatestReport(1)->allapot, "ANNULLED");
    EXPECT_TRUE(register_.ClaimReport(Request(1, "R6")).claimed);

    // Found in the authority's list: the transaction and its state.
    ASSERT_TRUE(register_.ClaimReport(Request(3, "R7")).claimed);
    const int kod = register_.RowsOfRequest("R7").at(0).kod;
    register_.Resolved(kod, "T7", "DONE", "");
    register_.Resolved(kod, "T8", "ABORTED", "");
    EXPECT_EQ(Rows(3), "CREATE|DONE|T7|-|-");
    EXPECT_TRUE(register_.KnowsTransaction("T7"));
    EXPECT_FALSE(register_.KnowsTransaction("T8"));

    // The database refuses what the register never writes.
    EXPECT_THROW(Sql("insert into nav_bekuldes (fej_kod, bizonylatszam, muvelet, "
                     "keres_azonosito, keres_index, allapot) values (4, 'x', 'CREATE', 'R9', 1, "
                     "'GONE')"),
                 db::CheckViolation);
    EXPECT_THROW(Sql("insert into nav_bekuldes (fej_kod, bizonylatszam, muvelet, "
                     "keres_azonosito, keres_index) values (1, 'x', 'CREATE', 'R9', 1)"),
                 db::UniqueViolation);
}

// What the catalog says of the table: columns, constraints, indexes.
std::string Shape(db::Connection& c) {
    db::Result r = c.Execute(
        "select (select string_agg(column_name || ' ' || data_type || ' ' || is_nullable || ' '"
        " || coalesce(column_default, '-'), ', ' order by ordinal_position)"
        " from information_schema.columns where table_name = 'nav_bekuldes')"
        " || ' # ' || (select string_agg(conname || ' ' || pg_get_constraintdef(oid), ', '"
        " order by conname) from pg_constraint where conrelid = 'nav_bekuldes'::regclass)"
        " || ' # ' || (select string_agg(indexdef, ', ' order by indexname) from pg_indexes"
        " where tablename = 'nav_bekuldes')"
        " || ' # ' || (select pg_get_serial_sequence('nav_bekuldes', 'kod'))");
    return r.Text(0, 0);
}

TEST_F(NavRegisterTest, UpdateScriptMakesTheSchemasTable) {
    const std::string script =
        test::ReadFile(std::string(DORVAN_SOURCE_DIR) + "/database_scripts/060_nav_bekuldes.sql");
    ASSERT_FALSE(script.empty());
    const std::string schema = Shape(*connection_);
    ASSERT_NE(schema.find("nav_bekuldes_jelentes_egyszer"), std::string::npos) << schema;

    // An existing database without the table; the script run twice.
    Sql("drop table nav_bekuldes");
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        connection_->Execute(script);
        EXPECT_EQ(Shape(*connection_), schema);
    }
    // Rows the unique index cannot take are kept; the index waits; the rest is there.
    Sql("drop index nav_bekuldes_jelentes_egyszer");
    Sql("insert into nav_bekuldes (fej_kod, bizonylatszam, muvelet, keres_azonosito, keres_index,"
        " allapot) values (7, 'SZ7', 'CREATE', 'R1', 1, 'DONE'), (7, 'SZ7', 'CREATE', 'R2', 1, "
        "'DONE')");
    connection_->Execute(script);
    EXPECT_EQ(Sql("select count(*) from nav_bekuldes where fej_kod = 7"), "2");
    EXPECT_EQ(Sql("select count(*) from pg_indexes where indexname = "
                  "'nav_bekuldes_jelentes_egyszer'"),
              "0");
    Sql("delete from nav_bekuldes where keres_azonosito = 'R2'");
    connection_->Execute(script);
    EXPECT_EQ(Shape(*connection_), schema);
}

}  // namespace
}  // namespace dorvan::nav
