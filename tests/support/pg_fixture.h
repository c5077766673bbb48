#pragma once
// Test databases on the throwaway cluster started by scripts/pg_cluster.sh.
//
// The cluster's folder comes from DORVAN_TEST_PGDIR (set by CTest); its port is in
// "<dir>/port". Each test program gets a database of its own, created from the project's
// sql/schema.sql (and sql/demo.sql when asked) and dropped at the end; a program built with
// the PRODUCT option gets it the way a shop's database is made: sql/product_schema.sql, then
// the release's update scripts through the start-up's update step (support/release_scripts.h).

#include <string>

namespace dorvan::test {

struct PgServer {
    std::string host = "127.0.0.1";
    int port = 5432;
    std::string user = "postgres";
    std::string password = "postgres";

    // The running test cluster; throws std::runtime_error when none is reachable.
    static PgServer FromEnvironment();
    // libpq connection string for a database on this server.
    std::string ConnInfo(const std::string& database) const;
};

// Creates (or recreates) `name`, loading the schema and optionally the demo data.
void CreateDatabase(const PgServer& server, const std::string& name, bool schema, bool demo);
// Creates (or recreates) `name` holding the product's database alone
// (sql/product_schema.sql), as a shop has it before the program's update scripts.
void CreateProductDatabase(const PgServer& server, const std::string& name);
void DropDatabase(const PgServer& server, const std::string& name);
// Runs a whole SQL script (several statements) on a database; throws with the server's
// message on error.
void RunScript(const PgServer& server, const std::string& database, const std::string& sql);
std::string ReadFile(const std::string& path);

// The database of the running test program (set up by db_test_main.cpp).
const PgServer& Server();
const std::string& DatabaseName();
std::string ConnInfo();

}  // namespace dorvan::test
