// main() of a test program that needs a database: creates a fresh one for this program
// (schema, and the demo data when DORVAN_TEST_LOAD_DEMO is 1) before the tests run and
// drops it afterwards. With DORVAN_TEST_PRODUCT 1 the schema is the product's database and
// the release's update scripts, applied by the start-up's update step.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "support/pg_fixture.h"

#ifndef DORVAN_TEST_LOAD_DEMO
#define DORVAN_TEST_LOAD_DEMO 0
#endif
#ifndef DORVAN_TEST_PRODUCT
#define DORVAN_TEST_PRODUCT 0
#endif
#if DORVAN_TEST_PRODUCT
#include "support/release_scripts.h"
#endif

namespace dorvan::test {

namespace {
PgServer g_server;
std::string g_database;
}  // namespace

const PgServer& Server() {
    return g_server;
}
const std::string& DatabaseName() {
    return g_database;
}
std::string ConnInfo() {
    return g_server.ConnInfo(g_database);
}

class DatabaseEnvironment : public ::testing::Environment {
  public:
    explicit DatabaseEnvironment(std::string name) : name_(std::move(name)) {}
    void SetUp() override {
        g_server = PgServer::FromEnvironment();
        g_database = name_;
#if DORVAN_TEST_PRODUCT
        CreateProductDatabase(g_server, g_database);
        ApplyReleaseScripts(g_server, g_database);
        if (DORVAN_TEST_LOAD_DEMO != 0)
            RunScript(g_server, g_database, ReadFile(std::string(DORVAN_SQL_DIR) + "/demo.sql"));
#else
        CreateDatabase(g_server, g_database, true, DORVAN_TEST_LOAD_DEMO != 0);
#endif
    }
    void TearDown() override {
        if (!g_database.empty())
            DropDatabase(g_server, g_database);
    }

  private:
    std::string name_;
};

}  // namespace dorvan::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string prog = argv[0];
    auto slash = prog.find_last_of('/');
    if (slash != std::string::npos)
        prog = prog.substr(slash + 1);
    std::string name = "t_" + prog + "_" + std::to_string(::getpid());
    for (char& c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
            c = '_';
    }
    ::testing::AddGlobalTestEnvironment(new dorvan::test::DatabaseEnvironment(name));
    return RUN_ALL_TESTS();
}
