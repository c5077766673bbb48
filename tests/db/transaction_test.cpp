// Transactions that nest as savepoints, and the bounded retry of a unit of work, against the
// test server.

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "db/connection.h"
#include "db/errors.h"
#include "db/retry.h"
#include "db/transaction.h"
#include "db/value.h"
#include "support/db_params.h"

namespace dorvan::db {
namespace {

class TransactionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        conn.SetParams(test::DatabaseParams());
        conn.Connect();
        conn.Execute(
            "CREATE TABLE IF NOT EXISTS t_tx (kod serial PRIMARY KEY, nev text UNIQUE);"
            "DELETE FROM t_tx");
    }

    int Count(const std::string& nev) {
        return std::stoi(
            conn.Execute("SELECT count(*) FROM t_tx WHERE nev = $1", {nev}).Text(0, 0));
    }
    void Insert(const std::string& nev) {
        conn.Execute("INSERT INTO t_tx (nev) VALUES ($1)", {nev});
    }

    Connection conn{"TransactionTest"};
};

TEST_F(TransactionTest, InnerRollbackKeepsOuterWork) {
    Transaction outer(conn);
    EXPECT_FALSE(outer.IsSavepoint());
    Insert("outer");
    {
        Transaction inner(conn);
        EXPECT_TRUE(inner.IsSavepoint());
        Insert("inner");
        // Leaves without Commit: only the inner row goes.
    }
    {
        Transaction failing(conn);
        EXPECT_THROW(Insert("outer"), UniqueViolation);
        // The failed statement is undone with the savepoint; the outer transaction goes on.
    }
    Insert("after");
    outer.Commit();
    EXPECT_EQ(Count("outer"), 1);
    EXPECT_EQ(Count("inner"), 0);
    EXPECT_EQ(Count("after"), 1);
    EXPECT_FALSE(conn.InTransaction());
}

TEST_F(TransactionTest, OuterRollbackDropsCommittedInnerWork) {
    {
        Transaction outer(conn);
        Insert("outer");
        Transaction inner(conn);
        Insert("inner");
        inner.Commit();
        EXPECT_TRUE(conn.InTransaction());
        // The outer transaction ends without Commit.
    }
    EXPECT_FALSE(conn.InTransaction());
    EXPECT_EQ(Count("outer"), 0);
    EXPECT_EQ(Count("inner"), 0);
}

TEST_F(TransactionTest, RetryRunsAgainAfterUniqueViolationThenSucceeds) {
    Insert("n1");
    Insert("n2");
    int attempts = 0;
    const int stored = RunInTransaction(conn, {.attempts = 5, .retryOnUniqueViolation = true}, [&] {
        ++attempts;
        // The first two names are taken, as if another client had stored them first.
        Insert("n" + std::to_string(attempts));
        return attempts;
    });
    EXPECT_EQ(stored, 3);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(Count("n3"), 1);
    EXPECT_FALSE(conn.InTransaction());
}

TEST_F(TransactionTest, RetryIsBoundedThenTheErrorRises) {
    Insert("taken");
    int attempts = 0;
    EXPECT_THROW(RunInTransaction(conn, {.attempts = 4, .retryOnUniqueViolation = true},
                                  [&] {
                                      ++attempts;
                                      Insert("taken");
                                  }),
                 UniqueViolation);
    EXPECT_EQ(attempts, 4);
    EXPECT_FALSE(conn.InTransaction());
}

TEST_F(TransactionTest, UniqueViolationIsNotRetriedUnlessAskedAndOtherErrorsRiseAtOnce) {
    Insert("taken");
    int attempts = 0;
    EXPECT_THROW(RunInTransaction(conn,
                                  [&] {
                                      ++attempts;
                                      Insert("taken");
                                  }),
                 UniqueViolation);
    EXPECT_EQ(attempts, 1);
    attempts = 0;
    EXPECT_THROW(RunInTransaction(conn, {.attempts = 5, .retryOnUniqueViolation = true},
                                  [&] {
                                      ++attempts;
                                      conn.Execute("SELECT no_such_column FROM t_tx");
                                  }),
                 SyntaxOrAccessError);
    EXPECT_EQ(attempts, 1);
}

TEST_F(TransactionTest, RetryInsideAnOpenTransactionUsesSavepoints) {
    Transaction outer(conn);
    Insert("outer");
    Insert("s1");
    int attempts = 0;
    RunInTransaction(conn, {.attempts = 3, .retryOnUniqueViolation = true}, [&] {
        ++attempts;
        Insert("s" + std::to_string(attempts));
    });
    outer.Commit();
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(Count("outer"), 1);
    EXPECT_EQ(Count("s2"), 1);
}

// The connection leaves nothing in the server session that a pooled server connection would
// hand on to another client: no start-up options, and the isolation level given to each
// transaction it begins, never set for the session.
TEST_F(TransactionTest, IsolationTravelsWithEachTransactionNotTheSession) {
    const auto show = [this](const char* setting) {
        return conn.Execute(std::string("SHOW ") + setting).Text(0, 0);
    };
    const std::string serverDefault = show("transaction_isolation");
    EXPECT_EQ(show("DateStyle"), "ISO, YMD");
    EXPECT_EQ(conn.Execute("SELECT setting FROM pg_settings WHERE name = 'DateStyle'"
                           " AND source = 'session'")
                  .Rows(),
              0)
        << "the date style came by the start-up packet, not a session SET";

    for (const IsolationLevel level : {IsolationLevel::Serializable, IsolationLevel::RepeatableRead,
                                       IsolationLevel::ReadCommitted}) {
        conn.SetIsolation(level);
        conn.Connect();
        SCOPED_TRACE(static_cast<int>(level));
        EXPECT_EQ(show("transaction_isolation"), serverDefault);
        EXPECT_EQ(show("default_transaction_isolation"), serverDefault);
        {
            Transaction tx(conn);
            const char* expected = level == IsolationLevel::Serializable     ? "serializable"
                                   : level == IsolationLevel::RepeatableRead ? "repeatable read"
                                                                             : "read committed";
            EXPECT_EQ(show("transaction_isolation"), expected);
            tx.Commit();
        }
        EXPECT_EQ(show("default_transaction_isolation"), serverDefault);
        // With auto-commit off the implicit transaction gets the level as well.
        conn.SetAutoCommit(false);
        EXPECT_NE(show("transaction_isolation"), std::string());
        conn.Rollback();
        conn.SetAutoCommit(true);
    }
    conn.SetIsolation(IsolationLevel::Default);
}

// A number that is not finite is never sent as a value: nothing is written.
TEST_F(TransactionTest, NonFiniteNumbersAreNeverWritten) {
    conn.Execute("CREATE TABLE IF NOT EXISTS t_float (kod serial PRIMARY KEY, v double precision)");
    conn.Execute("DELETE FROM t_float");
    for (const double bad :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(bad);
        std::string text;
        EXPECT_THROW(Value(bad).ToPgText(text), DataException);
    }
    std::string text;
    ASSERT_TRUE(Value(1e300).ToPgText(text));
    EXPECT_EQ(conn.Execute("SELECT count(*) FROM t_float").Text(0, 0), "0");
}

}  // namespace
}  // namespace dorvan::db
