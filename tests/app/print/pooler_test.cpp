// Many workstations through a connection pooler: PgBouncer with its default settings in
// transaction pooling mode in front of the test cluster (and one in session pooling mode).
// The start-up connects through it, nothing a client sets in its session reaches the other
// clients of the pooled server connections, and concurrent clients get distinct numbers.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/ini_file.h"
#include "config/ini_files.h"
#include "db/connection.h"
#include "db/transaction.h"
#include "print_cli_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

// The port of the pooler in `mode` ("transaction" or "session") started by the test scripts.
int PoolerPort(const std::string& mode) {
    const char* dir = std::getenv("DORVAN_TEST_POOLDIR");
    if (dir == nullptr)
        return 0;
    const std::string text = ReadText(fs::path(dir) / (mode + ".port"));
    return text.empty() ? 0 : std::stoi(text);
}

db::ConnectionParams PooledParams(int port) {
    db::ConnectionParams p;
    p.host = "127.0.0.1";
    p.port = port;
    p.user = Server().user;
    p.password = Server().password;
    p.database = DatabaseName();
    return p;
}

class PoolerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(installation_->EchoRunning());
        ASSERT_GT(PoolerPort("transaction"), 0) << "no pooler (scripts/pgbouncer.sh)";
        UsePooler("transaction");
    }
    void TearDown() override { installation_->WriteMainIni(Server().password); }

    // The programs connect through the pooler in `mode`.
    void UsePooler(const std::string& mode) const {
        installation_->WriteMainIni(Server().password);
        IniFile(installation_->ExeDir() + kMainIniName)
            .WriteString("DataBase", "Port", std::to_string(PoolerPort(mode)));
    }
    ProcessResult Cli(const std::vector<std::string>& args) const {
        return RunProcess(DORVAN_CLI, args, work_.Path());
    }

    inline static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
};

TEST_F(PoolerTest, TheStartUpConnectsThroughTheTransactionPooler) {
    const ProcessResult run = Cli({});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(Contains(run.out, ":" + std::to_string(PoolerPort("transaction")) + "/"))
        << run.out;
    // Services that use the companion connections' transactions (the server clock, the
    // presence signal) work as well.
    const ProcessResult number = Cli({"number", "5", "--count", "2"});
    EXPECT_EQ(number.status, 0) << number.err;
    const ProcessResult sign = Cli({"sign", "--start"});
    EXPECT_EQ(sign.status, 0) << sign.err;
}

TEST_F(PoolerTest, NoSessionStateReachesOtherClients) {
    // Clients whose transactions are serializable, and the programs with their companion
    // connections, on the pooled server connections first ...
    for (int i = 0; i < 4; ++i) {
        db::Connection c("serializable");
        c.SetIsolation(db::IsolationLevel::Serializable);
        c.SetParams(PooledParams(PoolerPort("transaction")));
        c.Connect();
        db::Transaction tx(c);
        EXPECT_EQ(c.Execute("SHOW transaction_isolation").Text(0, 0), "serializable");
        tx.Commit();
    }
    for (int i = 0; i < 3; ++i) {
        const ProcessResult run = Cli({"sign"});
        EXPECT_EQ(run.status, 0) << run.err;
    }
    // ... then fresh sessions see the server's defaults.
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        db::Connection fresh("fresh");
        fresh.SetParams(PooledParams(PoolerPort("transaction")));
        fresh.Connect();
        EXPECT_EQ(fresh.Execute("SHOW default_transaction_isolation").Text(0, 0), "read committed");
        EXPECT_EQ(fresh.Execute("SHOW transaction_isolation").Text(0, 0), "read committed");
        EXPECT_EQ(fresh.Execute("SELECT count(*) FROM pg_prepared_statements").Text(0, 0), "0");
    }
}

TEST_F(PoolerTest, EightClientsTwentyFiveNumbersEach) {
    constexpr int kClients = 8;
    constexpr int kNumbers = 25;
    std::vector<std::unique_ptr<BackgroundProcess>> clients;
    for (int i = 0; i < kClients; ++i)
        clients.push_back(std::make_unique<BackgroundProcess>(
            DORVAN_CLI,
            std::vector<std::string>{"number", "5", "--date", "2033-01-01", "--count",
                                     std::to_string(kNumbers)},
            work_.Path(), "client" + std::to_string(i)));
    std::set<std::string> numbers;
    int lines = 0;
    for (int i = 0; i < kClients; ++i) {
        SCOPED_TRACE(i);
        const ProcessResult run = clients[i]->Wait();
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::istringstream out(run.out);
        for (std::string line; std::getline(out, line);) {
            numbers.insert(line);
            ++lines;
        }
    }
    EXPECT_EQ(lines, kClients * kNumbers);
    EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kClients * kNumbers));
    db::Connection check("check");
    check.SetParams(PooledParams(PoolerPort("transaction")));
    check.Connect();
    EXPECT_EQ(check
                  .Execute("SELECT count(DISTINCT szam) || '/' || max(szam) FROM szszb"
                           " WHERE bizonylat_fajta = 5 AND ev = 2033")
                  .Text(0, 0),
              "200/200");
}

TEST_F(PoolerTest, SessionPoolingKeepsWorking) {
    ASSERT_GT(PoolerPort("session"), 0);
    UsePooler("session");
    const ProcessResult run = Cli({});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, ":" + std::to_string(PoolerPort("session")) + "/")) << run.out;
    const ProcessResult number = Cli({"number", "5", "--date", "2034-01-01"});
    EXPECT_EQ(number.status, 0) << number.err;
    EXPECT_EQ(number.out, "SZ2034/0000001\n");
}

}  // namespace
}  // namespace dorvan::test
