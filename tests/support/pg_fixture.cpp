#include "support/pg_fixture.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace dorvan::test {

namespace {

struct ConnCloser {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using ConnPtr = std::unique_ptr<PGconn, ConnCloser>;

ConnPtr Connect(const PgServer& server, const std::string& database) {
    ConnPtr conn(PQconnectdb(server.ConnInfo(database).c_str()));
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        throw std::runtime_error("cannot connect to the test cluster: " +
                                 std::string(PQerrorMessage(conn.get())));
    }
    return conn;
}

void Exec(PGconn* conn, const std::string& sql) {
    PGresult* res = PQexec(conn, sql.c_str());
    const auto status = PQresultStatus(res);
    std::string err = PQresultErrorMessage(res);
    PQclear(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        throw std::runtime_error("SQL failed: " + err);
    }
}

std::string QuoteIdent(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

PgServer PgServer::FromEnvironment() {
    PgServer s;
    const char* dir = std::getenv("DORVAN_TEST_PGDIR");
    if (const char* port = std::getenv("DORVAN_TEST_PGPORT")) {
        s.port = std::atoi(port);
    } else if (dir != nullptr) {
        std::ifstream in(std::string(dir) + "/port");
        if (!(in >> s.port)) {
            throw std::runtime_error(std::string("no running test cluster in ") + dir +
                                     " (run the tests through ctest)");
        }
    } else {
        throw std::runtime_error("DORVAN_TEST_PGDIR is not set (run the tests through ctest)");
    }
    return s;
}

std::string PgServer::ConnInfo(const std::string& database) const {
    std::ostringstream os;
    os << "host=" << host << " port=" << port << " user=" << user << " password=" << password
       << " dbname=" << database << " connect_timeout=10";
    return os.str();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream os;
    os << in.rdbuf();
    return os.str();
}

void CreateDatabase(const PgServer& server, const std::string& name, bool schema, bool demo) {
    {
        auto admin = Connect(server, "postgres");
        Exec(admin.get(), "DROP DATABASE IF EXISTS " + QuoteIdent(name) + " WITH (FORCE)");
        Exec(admin.get(), "CREATE DATABASE " + QuoteIdent(name) +
                              " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C.UTF-8' "
                              "LC_CTYPE 'C.UTF-8'");
    }
    if (schema || demo) {
        RunScript(server, name, ReadFile(std::string(DORVAN_SQL_DIR) + "/schema.sql"));
    }
    if (demo) {
        RunScript(server, name, ReadFile(std::string(DORVAN_SQL_DIR) + "/demo.sql"));
    }
}

void CreateProductDatabase(const PgServer& server, const std::string& name) {
    CreateDatabase(server, name, false, false);
    RunScript(server, name, ReadFile(std::string(DORVAN_SQL_DIR) + "/product_schema.sql"));
}

void DropDatabase(const PgServer& server, const std::string& name) {
    auto admin = Connect(server, "postgres");
    Exec(admin.get(), "DROP DATABASE IF EXISTS " + QuoteIdent(name) + " WITH (FORCE)");
}

void RunScript(const PgServer& server, const std::string& database, const std::string& sql) {
    auto conn = Connect(server, database);
    Exec(conn.get(), "SET client_min_messages = warning");
    Exec(conn.get(), sql);
}

}  // namespace dorvan::test
