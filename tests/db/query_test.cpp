// The dataset layer against the test server.

#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/errors.h"
#include "db/query.h"
#include "db/transaction.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::db {
namespace {

class QueryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Connection c("setup");
        c.SetParams(test::DatabaseParams());
        c.Connect();
        c.Execute(R"(
            DROP TABLE IF EXISTS t_cikk, t_fej, t_tetel;
            CREATE TABLE t_cikk (
                kod serial PRIMARY KEY,
                nev varchar(40) NOT NULL,
                ar numeric(12,2) NOT NULL DEFAULT 0,
                aktiv smallint NOT NULL DEFAULT 1,
                megjegyzes text DEFAULT 'nincs',
                datum date,
                ido time,
                letrehozva timestamp DEFAULT LOCALTIMESTAMP,
                CONSTRAINT t_cikk_nev_uq UNIQUE (nev),
                CONSTRAINT t_cikk_ar_ch CHECK (ar >= 0));
            CREATE TABLE t_fej (kod serial PRIMARY KEY, nev varchar(20));
            CREATE TABLE t_tetel (kod serial PRIMARY KEY,
                                  fej_kod integer REFERENCES t_fej(kod), nev varchar(20));
            INSERT INTO t_fej (nev) VALUES ('fej egy'), ('fej ketto');
            INSERT INTO t_tetel (fej_kod, nev) VALUES (1, 'tetel a'), (1, 'tetel b'), (2, 'c');
        )");
    }

    void SetUp() override {
        conn.SetParams(test::DatabaseParams());
        conn.Connect();
        conn.Execute("DELETE FROM t_cikk");
    }

    Connection conn{"TestConnection"};
};

TEST_F(QueryTest, TextRoundTripsThroughParameterUnchanged) {
    const std::string texts[] = {
        "O'Brien's \"quote\" :x -- not a comment",
        "';DROP TABLE t_cikk;--",
        "árvíztűrő tükörfúrógép ŐŰ",
        "a\\b $1 $$ /* c */",
        "",
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        Query q(conn, "RoundTripSQL");
        q.SetSql({"select :szoveg::text as s, ':x' as lit -- :megjegyzes",
                  ", :szoveg = :SZOVEG as same"});
        ASSERT_EQ(q.Params().size(), 1u);
        q.ParamByName("SZOVEG").SetAsString(text);
        q.Open();
        EXPECT_EQ(q.FieldByName("s").AsString(), text);
        EXPECT_FALSE(q.FieldByName("s").IsNull());
        EXPECT_EQ(q.FieldByName("lit").AsString(), ":x");
        EXPECT_TRUE(q.FieldByName("same").AsBoolean());
    }
}

TEST_F(QueryTest, StoresTextWithApostropheInTable) {
    Query ins(conn, "InsertSQL");
    ins.SetSqlText("insert into t_cikk (nev) values (:nev);");
    ins.ParamByName("nev").SetAsString("Kovács' \":a\" -- bt");
    ins.ExecSQL();
    EXPECT_EQ(ins.RowsAffected(), 1);
    Query q(conn, "ReadSQL");
    q.SetSqlText("select nev from t_cikk where nev = :nev");
    q.ParamByName("nev").SetAsString("Kovács' \":a\" -- bt");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 1);
}

TEST_F(QueryTest, RepeatedColumnNamesGetSuffixes) {
    Query q(conn, "JoinSQL");
    q.SetSqlText(
        "select f.kod, t.kod, t.fej_kod as kod_2, 5 as kod, f.nev, t.nev from t_fej f "
        "join t_tetel t on t.fej_kod = f.kod where f.kod = 1 order by t.kod");
    q.Open();
    std::vector<std::string> names;
    for (int i = 0; i < q.FieldCount(); ++i)
        names.push_back(q.Fields(i).FieldName());
    EXPECT_EQ(names, (std::vector<std::string>{"kod", "kod_1", "kod_2", "kod_3", "nev", "nev_1"}));
    EXPECT_EQ(q.FieldByName("KOD_1").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("nev_1").AsString(), "tetel a");
}

TEST_F(QueryTest, InsertSendsOnlySetColumnsAndReadsBackRow) {
    Query q(conn, "CikkZQuery");
    q.SetSqlText("select * from t_cikk where kod = -1");
    q.Open();
    EXPECT_TRUE(q.IsEmpty());
    q.Append();
    EXPECT_EQ(q.State(), DataSetState::Insert);
    q.FieldByName("nev").SetAsString("csavar");
    q.FieldByName("megjegyzes").Clear();  // set, to null: sent as null
    q.Post();
    EXPECT_EQ(q.State(), DataSetState::Browse);
    EXPECT_GT(q.FieldByName("kod").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("ar").AsFloat(), 0.0);       // default
    EXPECT_EQ(q.FieldByName("aktiv").AsInteger(), 1);    // default
    EXPECT_FALSE(q.FieldByName("letrehozva").IsNull());  // default
    EXPECT_TRUE(q.FieldByName("megjegyzes").IsNull());   // explicit null beats the default

    const std::string stored = std::to_string(q.FieldByName("kod").AsInteger());
    Query check(conn, "CheckSQL");
    check.SetSqlText("select nev, aktiv, megjegyzes from t_cikk where kod = :kod");
    check.ParamByName("kod").SetAsInteger(q.FieldByName("kod").AsInteger());
    check.Open();
    ASSERT_EQ(check.RecordCount(), 1) << stored;
    EXPECT_EQ(check.FieldByName("nev").AsString(), "csavar");
    EXPECT_EQ(check.FieldByName("aktiv").AsInteger(), 1);
    EXPECT_TRUE(check.FieldByName("megjegyzes").IsNull());
}

TEST_F(QueryTest, EditPostCancelAndDelete) {
    conn.Execute("insert into t_cikk (nev, ar) values ('alma', 10), ('korte', 20)");
    Query q(conn, "CikkZQuery");
    q.SetSqlText("select kod, nev, ar from t_cikk order by nev");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 2);

    q.Edit();
    q.FieldByName("ar").SetAsFloat(12.5);
    q.Cancel();
    EXPECT_EQ(q.FieldByName("ar").AsFloat(), 10);

    q.Edit();
    q.FieldByName("ar").SetAsFloat(12.5);
    q.Post();
    EXPECT_EQ(q.FieldByName("ar").AsFloat(), 12.5);

    auto priceOf = [this](const char* nev) {
        Query r(conn, "PriceSQL");
        r.SetSqlText("select ar from t_cikk where nev = :nev");
        r.ParamByName("nev").SetAsString(nev);
        r.Open();
        return r.FieldByName("ar").AsFloat();
    };
    EXPECT_EQ(priceOf("alma"), 12.5);
    EXPECT_EQ(priceOf("korte"), 20);

    q.Last();
    q.Delete();
    EXPECT_EQ(q.RecordCount(), 1);
    Query count(conn, "CountSQL");
    count.SetSqlText("select count(*) from t_cikk");
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 1);
}

TEST_F(QueryTest, ConstraintViolationsAreTyped) {
    conn.Execute("insert into t_cikk (nev) values ('egyedi')");
    Query q(conn, "CikkZQuery");
    q.SetSqlText("select * from t_cikk where kod = -1");
    q.Open();
    q.Append();
    q.FieldByName("nev").SetAsString("egyedi");
    try {
        q.Post();
        FAIL() << "duplicate accepted";
    } catch (const UniqueViolation& e) {
        EXPECT_EQ(e.SqlState(), "23505");
        EXPECT_EQ(e.Constraint(), "t_cikk_nev_uq");
        EXPECT_NE(std::string(e.what()).find("t_cikk_nev_uq"), std::string::npos);
    }
    EXPECT_EQ(q.State(), DataSetState::Insert);  // the row can be corrected
    q.FieldByName("nev").SetAsString("masik");
    q.FieldByName("ar").SetAsFloat(-1);
    EXPECT_THROW(q.Post(), CheckViolation);
    q.Cancel();
    EXPECT_TRUE(q.IsEmpty());

    Query fk(conn, "TetelSQL");
    fk.SetSqlText("insert into t_tetel (fej_kod) values (:f)");
    fk.ParamByName("f").SetAsInteger(999);
    EXPECT_THROW(fk.ExecSQL(), ForeignKeyViolation);
    fk.SetSqlText("select * from nincs_ilyen_tabla");
    EXPECT_THROW(fk.Open(), SyntaxOrAccessError);
}

TEST_F(QueryTest, RequiredFlagsComeFromCatalogAndCanBeSwitchedOff) {
    Query q(conn, "CikkZQuery");
    q.SetSqlText("select * from t_cikk where kod = -1");
    q.Open();
    EXPECT_TRUE(q.FieldByName("nev").Required());   // not null, no default
    EXPECT_FALSE(q.FieldByName("kod").Required());  // sequence default
    EXPECT_FALSE(q.FieldByName("ar").Required());   // default 0
    q.Append();
    try {
        q.Post();
        FAIL() << "required field left empty";
    } catch (const DataSetError& e) {
        EXPECT_STREQ(e.what(), "Field 'nev' must have a value");
    }
    q.FieldByName("nev").SetRequired(false);
    EXPECT_THROW(q.Post(), NotNullViolation);  // now the server refuses it
}

TEST_F(QueryTest, LocateAndCalculatedFieldFollowRows) {
    conn.Execute("insert into t_cikk (nev, ar) values ('a', 1), ('b', 2), ('c', 3)");
    Query q(conn, "CikkZQuery");
    q.SetSqlText("select kod, nev, ar from t_cikk order by nev");
    q.AddCalculatedField("dupla", FieldType::Float);
    q.AddCalculatedField("cimke", FieldType::String, 20);
    std::vector<std::string> scrolled;
    q.OnCalcFields = [](DataSet& ds) {
        ds.FieldByName("dupla").SetAsFloat(ds.FieldByName("ar").AsFloat() * 2);
        ds.FieldByName("cimke").SetAsString("[" + ds.FieldByName("nev").AsString() + "]");
    };
    q.AfterScroll = [&scrolled](DataSet& ds) {
        scrolled.push_back(ds.FieldByName("nev").AsString());
    };
    q.Open();
    EXPECT_EQ(q.FieldByName("dupla").AsFloat(), 2);
    EXPECT_TRUE(q.Locate("NEV", {"c"}));
    EXPECT_EQ(q.FieldByName("dupla").AsFloat(), 6);
    EXPECT_EQ(q.FieldByName("cimke").AsString(), "[c]");
    EXPECT_FALSE(q.Locate("nev", {"x"}));
    EXPECT_EQ(q.FieldByName("cimke").AsString(), "[c]");
    EXPECT_TRUE(q.Locate("ar;nev", {2, "b"}));
    EXPECT_EQ(q.FieldByName("dupla").AsFloat(), 4);
    EXPECT_EQ(scrolled, (std::vector<std::string>{"a", "c", "b"}));

    // The calculated fields stay declared when the query is reopened.
    q.Close();
    q.Open();
    EXPECT_EQ(q.FieldByName("cimke").AsString(), "[a]");
}

TEST_F(QueryTest, MissingFieldRaisesItsErrorAndFindFieldReturnsNull) {
    Query q(conn, "Raktar_mozgas_fejZQuery");
    q.SetSqlText("select 1 as kod, 7 as partner_kod;");
    q.SetFieldDisplayFormat("PARTNER_KOD", "00000000");
    q.Open();
    EXPECT_EQ(q.FieldByName("partner_kod").DisplayFormat(), "00000000");
    EXPECT_EQ(q.FindField("nincs"), nullptr);
    try {
        q.FieldByName("nincs");
        FAIL() << "no error";
    } catch (const FieldNotFound& e) {
        EXPECT_EQ(e.FieldName(), "nincs");
        EXPECT_STREQ(e.what(), "Raktar_mozgas_fejZQuery: Field 'nincs' not found");
    }
    Query expected(conn, "Fej");
    expected.SetSqlText("select 1 as kod");
    expected.SetExpectedFields({"kod", "partner_kod"});
    EXPECT_THROW(expected.Open(), FieldNotFound);
    EXPECT_FALSE(expected.Active());
}

TEST_F(QueryTest, TransactionRollsBackUnlessCommitted) {
    auto count = [this] {
        Query q(conn, "CountSQL");
        q.SetSqlText("select count(*) from t_cikk");
        q.Open();
        return q.Fields(0).AsInteger();
    };
    {
        Transaction tx(conn);
        EXPECT_TRUE(conn.InTransaction());
        conn.Execute("insert into t_cikk (nev) values ('eltunik')");
        EXPECT_EQ(count(), 1);
    }
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(count(), 0);
    {
        Transaction tx(conn);
        conn.Execute("insert into t_cikk (nev) values ('marad')");
        tx.Commit();
    }
    EXPECT_EQ(count(), 1);
    {
        // A transaction inside an open one is a savepoint (see transaction_test.cpp).
        Transaction tx(conn);
        Transaction inner(conn);
        EXPECT_TRUE(inner.IsSavepoint());
    }
    // A statement failed inside: Commit reports the rollback instead of succeeding.
    {
        Transaction tx(conn);
        conn.Execute("insert into t_cikk (nev) values ('elveszik')");
        EXPECT_THROW(conn.Execute("insert into t_cikk (nev) values ('marad')"), UniqueViolation);
        try {
            tx.Commit();
            FAIL() << "commit of a failed transaction reported success";
        } catch (const DbError& e) {
            EXPECT_EQ(e.SqlState(), "25P02");
        }
    }
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(count(), 1);
}

TEST_F(QueryTest, AutoCommitOffKeepsATransactionOpen) {
    Connection other("Other");
    other.SetParams(test::DatabaseParams());
    other.SetAutoCommit(false);
    other.Connect();
    other.Execute("insert into t_cikk (nev) values ('fuggo')");
    EXPECT_TRUE(other.InTransaction());
    Query q(conn, "CountSQL");
    q.SetSqlText("select count(*) from t_cikk");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsInteger(), 0);  // not committed yet
    other.Commit();
    q.Close();
    q.Open();
    EXPECT_EQ(q.Fields(0).AsInteger(), 1);
}

TEST_F(QueryTest, DateAndTimeValuesRoundTripExactly) {
    struct Case {
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        {"2024-01-05", "07:08:09.123"}, {"1899-12-30", "00:00:00"},    {"1899-12-29", "06:00:00"},
        {"1756-01-27", "23:59:59.999"}, {"0044-03-15 BC", "12:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        Query q(conn, "DateSQL");
        q.SetSqlText(
            "select :d::date as d, :t::time as t, (:d::date + :t::time) as ts, "
            ":ts::timestamp as back");
        const TDateTime d = *ParsePgDateTime(c.date);
        const TDateTime t = *ParsePgDateTime(c.time);
        q.ParamByName("d").SetAsDate(d);
        q.ParamByName("t").SetAsTime(t);
        q.ParamByName("ts").SetAsDateTime(ComposeDateTime(d, t));
        q.Open();
        EXPECT_EQ(q.FieldByName("d").DataType(), FieldType::Date);
        EXPECT_EQ(q.FieldByName("d").AsDateTime(), d);
        EXPECT_EQ(q.FieldByName("t").AsDateTime(), t);
        EXPECT_EQ(q.FieldByName("ts").AsDateTime(), ComposeDateTime(d, t));
        EXPECT_EQ(q.FieldByName("back").AsDateTime(), ComposeDateTime(d, t));
    }
}

TEST_F(QueryTest, SingleLinesAreReplacedBeforeOpening) {
    conn.Execute("insert into t_cikk (nev, ar) values ('a', 1), ('b', 2)");
    Query q(conn, "LineSQL");
    q.SetSql({"select nev", "  from t_cikk", "  where ar = :ar", ""});
    q.ParamByName("ar").SetAsFloat(2);
    q.BeforeOpen = [](DataSet& ds) { static_cast<Query&>(ds).SetLine(1, "  from t_cikk c"); };
    q.Open();
    EXPECT_EQ(q.Sql()[1], "  from t_cikk c");
    EXPECT_EQ(q.FieldByName("nev").AsString(), "b");
    q.SetLine(2, "  where c.ar = :ar or c.nev = :nev");
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(q.ParamByName("ar").AsValue().AsFloat(), 2);  // kept across the change
    q.ParamByName("nev").SetAsString("a");
    q.BeforeOpen = nullptr;
    q.Open();
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_THROW(q.ParamByName("nincs"), DataSetError);
}

TEST_F(QueryTest, WritingAJoinNeedsOneTable) {
    Query q(conn, "JoinSQL");
    q.SetSqlText(
        "select f.kod, f.nev, t.nev as tnev from t_fej f join t_tetel t on t.fej_kod = f.kod");
    q.Open();
    EXPECT_THROW(q.TableName(), DataSetError);
    q.Edit();
    q.FieldByName("nev").SetAsString("x");
    EXPECT_THROW(q.Post(), DataSetError);
    q.Cancel();

    Query alias(conn, "AliasSQL");
    alias.SetSqlText("select kod, nev as megnevezes from t_fej where kod = 2");
    alias.Open();
    EXPECT_EQ(alias.TableName(), "t_fej");
    alias.Edit();
    alias.FieldByName("megnevezes").SetAsString("atnevezve");
    alias.Post();
    Query check(conn, "CheckSQL");
    check.SetSqlText("select nev from t_fej where kod = 2");
    check.Open();
    EXPECT_EQ(check.FieldByName("nev").AsString(), "atnevezve");
}

TEST_F(QueryTest, ColumnsAddedLaterAreWrittenBack) {
    conn.Execute("drop table if exists t_valtozo; create table t_valtozo (kod serial, a int)");
    Query q(conn, "ValtozoSQL");
    q.SetSqlText("select * from t_valtozo");
    q.Open();  // the table's columns are now known to the connection
    Connection other("Other");
    other.SetParams(test::DatabaseParams());
    other.Connect();
    other.Execute("alter table t_valtozo add column b varchar(10) not null default 'x'");
    q.Close();
    q.Open();
    q.Append();
    q.FieldByName("b").SetAsString("uj");
    q.Post();
    EXPECT_EQ(q.FieldByName("b").AsString(), "uj");
    EXPECT_GT(q.FieldByName("kod").AsInteger(), 0);
}

TEST_F(QueryTest, ScriptWithoutParametersRunsSeveralStatements) {
    Query q(conn, "ScriptSQL");
    q.SetSql(
        {"insert into t_cikk (nev) values ('s1');", "insert into t_cikk (nev) values ('s2');"});
    q.ExecSQL();
    Query count(conn, "CountSQL");
    count.SetSqlText("select count(*) from t_cikk");
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 2);
}

TEST_F(QueryTest, RefreshRereadsRowsAndKeepsPosition) {
    conn.Execute("insert into t_cikk (nev, ar) values ('a', 1), ('b', 2), ('c', 3)");
    Query q(conn, "CikkZQuery");
    q.SetSqlText("select kod, nev, ar from t_cikk order by nev");
    q.Open();
    Field* ar = &q.FieldByName("ar");
    q.SetRecNo(2);
    conn.Execute("update t_cikk set ar = 20 where nev = 'b'");
    q.Refresh();
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_EQ(&q.FieldByName("ar"), ar);  // the field object survives the reopen
    EXPECT_EQ(ar->AsFloat(), 20);
}

TEST_F(QueryTest, LostConnectionIsAConnectionFailure) {
    Connection victim("Victim");
    victim.SetParams(test::DatabaseParams());
    victim.Connect();
    Query pid(victim, "PidSQL");
    pid.SetSqlText("select pg_backend_pid()");
    pid.Open();
    Query kill(conn, "KillSQL");
    kill.SetSqlText("select pg_terminate_backend(:pid, 5000)");  // waits until it is gone
    kill.ParamByName("pid").SetAsInteger(pid.Fields(0).AsInteger());
    kill.Open();
    Query after(victim, "AfterSQL");
    after.SetSqlText("select 1");
    EXPECT_THROW(after.Open(), ConnectionFailure);
    EXPECT_FALSE(victim.Connected());
}

TEST_F(QueryTest, LostOrMissingConnectionIsAConnectionFailure) {
    Connection c("Unconnected");
    Query q(c, "X");
    q.SetSqlText("select 1");
    EXPECT_THROW(q.Open(), ConnectionFailure);
    ConnectionParams bad = test::DatabaseParams();
    bad.database = "nincs_ilyen_adatbazis";
    c.SetParams(bad);
    EXPECT_THROW(c.Connect(), ConnectionFailure);
    EXPECT_FALSE(c.Connected());
}

TEST_F(QueryTest, RefusedConnectionsAreTypedByCause) {
    struct Case {
        const char* name;
        const char* database;
        const char* password;
        bool unknownDatabase;
    };
    static constexpr Case kCases[] = {
        {"unknown database", "nincs_ilyen_adatbazis", nullptr, true},
        {"wrong password", nullptr, "rossz jelszo", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ConnectionParams params = test::DatabaseParams();
        if (c.database != nullptr)
            params.database = c.database;
        if (c.password != nullptr) {
            // Only a role with a password is asked for one, whatever the server's rules.
            conn.Execute(
                "do $$ begin if not exists (select from pg_roles where rolname = "
                "'dorvan_jelszavas') then create role dorvan_jelszavas login password "
                "'jo jelszo'; end if; end $$");
            params.user = "dorvan_jelszavas";
            params.password = c.password;
        }
        Connection refused("Refused");
        refused.SetParams(params);
        try {
            refused.Connect();
            if (!c.unknownDatabase)
                GTEST_SKIP() << "the test cluster trusts every role";
            FAIL() << "connected";
        } catch (const UnknownDatabase&) {
            EXPECT_TRUE(c.unknownDatabase);
        } catch (const AuthenticationFailure&) {
            EXPECT_FALSE(c.unknownDatabase);
        }
    }
}

TEST_F(QueryTest, ServerErrorsKeepTheirStatement) {
    Query q(conn, "BadSQL");
    q.SetSqlText("select * from nincs_ilyen_tabla where kod = :kod");
    q.ParamByName("kod").SetAsInteger(1);
    try {
        q.Open();
        FAIL() << "opened";
    } catch (const SyntaxOrAccessError& e) {
        EXPECT_NE(e.Statement().find("nincs_ilyen_tabla"), std::string::npos);
    }
}

}  // namespace
}  // namespace dorvan::db
