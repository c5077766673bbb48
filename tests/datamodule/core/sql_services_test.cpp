// SQL services, server clock and record stamp of the data module against the test server.

#include <gtest/gtest.h>

#include <cmath>

#include "config/format_settings.h"
#include "config/main_table.h"
#include "datamodule/core/server_clock.h"
#include "datamodule/dm.h"
#include "db/errors.h"
#include "db/transaction.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan {
namespace {

class SqlServicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dm.ConnectLocal(test::DatabaseParams());
        dm.ExecSQLList({
            "DROP TABLE IF EXISTS t_stamp, t_plain, t_stamp_time, t_req;",
            "CREATE TABLE t_stamp (kod serial PRIMARY KEY, nev varchar(20),",
            "  m_userid integer, m_date date, m_time varchar(10),",
            "  c_userid integer, c_date date, c_time varchar(10),",
            "  sztornozott_bizonylat_kod integer NOT NULL DEFAULT 0, ido varchar(10));",
            "CREATE TABLE t_plain (kod serial PRIMARY KEY, nev varchar(20));",
        });
        MainTable().UserID = "42";
    }

    TDM dm;
};

TEST_F(SqlServicesTest, GetSQLResultJoinsFirstRowWithCommas) {
    struct Case {
        const char* sql;
        const char* expected;
    };
    const Case cases[] = {
        {"select 1, null, 3", "1,,3"},
        {"select null, 2", "2"},
        {"select null::int, null::text, 'x'", "x"},
        {"select 'a', null", "a,"},
        {"select 1 where false", ""},
        {"select v from (values (1), (2)) t(v) order by v desc", "2"},
        {"select 'it''s'", "it's"},
        {"select '12:30'::text", "12:30"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(dm.GetSQLResult(c.sql), c.expected);
        EXPECT_EQ(dm.GetSQLResult(c.sql, dm.ZConnection_behind), c.expected);
    }
    EXPECT_THROW(dm.GetSQLResult("select nincs from t_plain"), db::SyntaxOrAccessError);
}

TEST_F(SqlServicesTest, ParameterOverloadsBindValues) {
    EXPECT_TRUE(dm.ExecSQL("insert into t_plain (nev) values (:nev)", {{"nev", "O'Hara :x --"}}));
    EXPECT_EQ(
        dm.GetSQLResult("select nev from t_plain where nev = :nev", {{"nev", "O'Hara :x --"}}),
        "O'Hara :x --");
    auto table =
        dm.GetSQLResultTable("select kod, nev from t_plain where nev like :p", {{"p", "O'%"}});
    ASSERT_TRUE(table->Active());
    EXPECT_EQ(table->RecordCount(), 1);
    EXPECT_EQ(&table->GetConnection(), &dm.ZConnection);
}

TEST_F(SqlServicesTest, ExecSQLTellsWhatTheStatementDid) {
    dm.ExecSQL("insert into t_plain (nev) values ('egy'), ('kettő')");
    struct Case {
        const char* sql;
        bool did;
    };
    const Case kCases[] = {
        {"update t_plain set nev = 'három' where nev = 'kettő'", true},
        {"update t_plain set nev = 'négy' where nev = 'nincs ilyen'", false},
        {"delete from t_plain where nev = 'nincs ilyen'", false},
        {"insert into t_plain (nev) select nev from t_plain where false", false},
        {"insert into t_plain (nev) values ('öt')", true},
        {"delete from t_plain where nev = 'öt'", true},
        // Statements that change no rows did their work when they ran.
        {"select 1 where false", true},
        {"comment on table t_plain is 'próba'", true},
        // A script: its last statement tells.
        {"update t_plain set nev = nev where false; select 1", true},
        {"select 1; update t_plain set nev = nev where false", false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(dm.ExecSQL(c.sql), c.did);
    }
    EXPECT_TRUE(dm.ExecSQL("update t_plain set nev = :uj where nev = :regi",
                           {{"uj", "O'Hara"}, {"regi", "három"}}));
    EXPECT_FALSE(dm.ExecSQL("update t_plain set nev = :uj where nev = :regi",
                            {{"uj", "x"}, {"regi", "három"}}));
}

TEST_F(SqlServicesTest, ExecSQLListRunsOneScriptAndRaisesOnError) {
    dm.SQLList = {"insert into t_plain (nev) values ('a');",
                  "insert into t_plain (nev) values ('b');"};
    EXPECT_TRUE(dm.ExecSQLList(dm.SQLList));
    EXPECT_EQ(dm.GetSQLResult("select count(*) from t_plain"), "2");
    // One script: the failing second statement takes the first one with it.
    EXPECT_THROW(dm.ExecSQLList({"insert into t_plain (nev) values ('c');",
                                 "insert into t_plain (kod) values ('x');"}),
                 db::DataException);
    EXPECT_EQ(dm.GetSQLResult("select count(*) from t_plain"), "2");
    EXPECT_THROW(dm.ExecSQL("insert into nincs values (1)"), db::SyntaxOrAccessError);
    auto table = dm.GetSQLResultTable("select nev from t_plain order by nev");
    EXPECT_EQ(table->RecordCount(), 2);
    table->Last();
    EXPECT_EQ(table->FieldByName("nev").AsString(), "b");
}

TEST_F(SqlServicesTest, GetDateTimeReadsServerClockInWholeSeconds) {
    const TServerDateTime t = dm.GetDateTime();
    EXPECT_EQ(t.DateTime, t.Date + t.Time);
    EXPECT_EQ(t.Date, std::trunc(t.Date));
    EXPECT_EQ(db::DecodeTime(t.Time).millisecond, 0);
    const db::TDateTime server =
        db::Value(dm.GetSQLResult("select localtimestamp::timestamp(0)::text")).AsDateTime();
    EXPECT_NEAR(t.DateTime, server, 5.0 / 86400);
    EXPECT_EQ(dm.GetDate(), t.Date);
    EXPECT_FALSE(dm.ZConnection_nonAutoCommit.InTransaction());
}

TEST_F(SqlServicesTest, GetDateTimeLeavesMainTransactionAlone) {
    {
        db::Transaction tx(dm.ZConnection);
        dm.ExecSQL("insert into t_plain (nev) values ('tx')");
        dm.GetDateTime();
        EXPECT_TRUE(dm.ZConnection.InTransaction());
        EXPECT_EQ(dm.GetSQLResult("select count(*) from t_plain"), "1");
        // Nothing was committed: the clock's connection does not see the row.
        EXPECT_EQ(dm.GetSQLResult("select count(*) from t_plain", dm.ZConnection_nonAutoCommit),
                  "0");
    }
    EXPECT_EQ(dm.GetSQLResult("select count(*) from t_plain"), "0");

    // The clock needs its own connection.
    dm.ZConnection_nonAutoCommit.Disconnect();
    EXPECT_THROW(dm.GetDateTime(), db::ConnectionFailure);
}

TEST_F(SqlServicesTest, StoreUserDataWritesByState) {
    auto q = dm.GetSQLResultTable("select * from t_stamp");
    dm.AutoDisableReqField(*q);

    // Browse: nothing is written.
    dm.StoreUserData(*q);

    // Insert of an ordinary row: creation stamp only.
    q->Append();
    q->FieldByName("nev").SetAsString("uj");
    dm.StoreUserData(*q);
    q->Post();
    EXPECT_EQ(q->FieldByName("c_userid").AsInteger(), 42);
    EXPECT_EQ(q->FieldByName("c_date").AsDateTime(), dm.GetDate());
    EXPECT_FALSE(q->FieldByName("c_time").IsNull());
    EXPECT_TRUE(q->FieldByName("ido").IsNull());
    EXPECT_TRUE(q->FieldByName("m_userid").IsNull());

    // Insert of a reversal row: `ido` also takes the server time.
    q->Append();
    q->FieldByName("sztornozott_bizonylat_kod").SetAsInteger(77);
    q->FieldByName("ido").SetAsString("1:02:03");
    dm.StoreUserData(*q);
    const std::string c_time = q->FieldByName("C_TIME").AsString();
    EXPECT_EQ(q->FieldByName("ido").AsString(), c_time);
    q->Post();
    EXPECT_EQ(q->FieldByName("ido").AsString(), c_time);
    // Long time format "H:mm:ss" of the server time.
    const TServerDateTime now = dm.GetDateTime();
    const db::TDateTime stamped = db::Value(c_time).AsDateTime();
    EXPECT_NEAR(stamped, now.Time, 5.0 / 86400);
    EXPECT_EQ(c_time, FormatTimeText(GlobalFormatSettings().longTimeFormat, stamped));

    // Edit: modification stamp only.
    q->First();
    q->Edit();
    q->FieldByName("nev").SetAsString("modositott");
    dm.StoreUserData(*q);
    q->Post();
    EXPECT_EQ(q->FieldByName("m_userid").AsInteger(), 42);
    EXPECT_EQ(q->FieldByName("m_date").AsDateTime(), dm.GetDate());
    EXPECT_FALSE(q->FieldByName("m_time").IsNull());
    EXPECT_TRUE(q->FieldByName("ido").IsNull());

    EXPECT_EQ(dm.GetSQLResult("select count(*) from t_stamp where m_userid is not null"), "1");
    EXPECT_EQ(dm.GetSQLResult("select count(*) from t_stamp where ido is not null"), "1");
}

TEST_F(SqlServicesTest, StoreUserDataFitsTimeAndTextColumns) {
    dm.ExecSQL(
        "create table t_stamp_time (kod serial primary key, c_userid varchar(30), "
        "c_date date, c_time varchar(20), sztornozott_bizonylat_kod integer, ido time)");
    auto q = dm.GetSQLResultTable("select * from t_stamp_time");
    q->Append();
    q->FieldByName("sztornozott_bizonylat_kod").SetAsInteger(5);
    dm.StoreUserData(*q);
    q->Post();
    EXPECT_EQ(q->FieldByName("c_userid").AsString(), "42");
    const db::TDateTime stamped = db::Value(q->FieldByName("c_time").AsString()).AsDateTime();
    EXPECT_EQ(q->FieldByName("ido").AsDateTime(), stamped);
    EXPECT_EQ(dm.GetSQLResult("select count(*) from t_stamp_time where ido = c_time::time"), "1");
}

TEST_F(SqlServicesTest, StoreUserDataLeavesTableWithoutStampColumnsAlone) {
    auto q = dm.GetSQLResultTable("select * from t_plain");
    q->Append();
    q->FieldByName("nev").SetAsString("sima");
    dm.StoreUserData(*q);
    q->Post();
    EXPECT_EQ(dm.GetSQLResult("select nev from t_plain"), "sima");
    q->Edit();
    q->FieldByName("nev").SetAsString("sima2");
    dm.StoreUserData(*q);
    q->Post();
    EXPECT_EQ(dm.GetSQLResult("select kod > 0, nev from t_plain"), "True,sima2");
}

TEST_F(SqlServicesTest, AutoDisableReqFieldLetsDatabaseDecide) {
    dm.ExecSQL("create table t_req (kod serial primary key, nev text not null)");
    auto q = dm.GetSQLResultTable("select * from t_req");
    EXPECT_TRUE(q->FieldByName("nev").Required());
    dm.AutoDisableReqField(*q);
    for (int i = 0; i < q->FieldCount(); ++i)
        EXPECT_FALSE(q->Fields(i).Required());
    q->Append();
    EXPECT_THROW(q->Post(), db::NotNullViolation);
}

}  // namespace
}  // namespace dorvan
