// Transactions that nest as savepoints, and the bounded retry of a unit of work, against the
// test server.

#include <gtest/gtest.h>

#include <string>

#include "db/connection.h"
#include "db/errors.h"
#include "db/retry.h"
#include "db/transaction.h"
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

}  // namespace
}  // namespace dorvan::db
