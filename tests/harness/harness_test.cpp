// The test harness itself: each program gets its own empty-but-schema'd database.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "support/pg_fixture.h"

TEST(Harness, ConnectsToItsOwnDatabase) {
    PGconn* c = PQconnectdb(dorvan::test::ConnInfo().c_str());
    ASSERT_EQ(PQstatus(c), CONNECTION_OK) << PQerrorMessage(c);
    PGresult* r = PQexec(c, "SELECT current_database()");
    ASSERT_EQ(PQresultStatus(r), PGRES_TUPLES_OK);
    EXPECT_EQ(std::string(PQgetvalue(r, 0, 0)), dorvan::test::DatabaseName());
    PQclear(r);
    PQfinish(c);
}
