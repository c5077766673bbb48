// dorvan-cli's stock, presence and update-script subcommands as processes against the demo
// database: the figures, a signal seen from another process until it is 16 seconds old, a
// message to a computer whose row its own signal holds, two
// start-ups racing for one pending script, and the refusal of the forced update without a
// screen (dorvan-cli and dorvan-print).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/print/print_cli_fixture.h"
#include "support/db_params.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

using Env = std::vector<std::pair<std::string, std::string>>;

// A started process with its own environment overrides; Wait collects it.
class Child {
  public:
    Child(const std::string& program, const std::vector<std::string>& args, const fs::path& cwd,
          const Env& env)
        : out_(cwd / (".out" + std::to_string(++counter_))),
          err_(cwd / (".err" + std::to_string(counter_))) {
        pid_ = ::fork();
        if (pid_ == 0) {
            for (const auto& [name, value] : env) {
                ::setenv(name.c_str(), value.c_str(), 1);
            }
            if (::chdir(cwd.c_str()) != 0 || !std::freopen(out_.c_str(), "w", stdout) ||
                !std::freopen(err_.c_str(), "w", stderr)) {
                ::_exit(127);
            }
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : args) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ProcessResult Wait() {
        ProcessResult result;
        int status = 0;
        if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_) {
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        result.out = ReadText(out_);
        result.err = ReadText(err_);
        return result;
    }

  private:
    static inline int counter_ = 0;
    pid_t pid_ = -1;
    fs::path out_;
    fs::path err_;
};

class StockSystemCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(installation_->EchoRunning());
        db_ = std::make_unique<db::Connection>("test");
        db_->SetParams(DatabaseParams());
        db_->Connect();
        db_->Execute("DELETE FROM _currentip");
    }
    void TearDown() override { db_->Execute("DELETE FROM _currentip"); }

    ProcessResult Cli(const std::vector<std::string>& args, const Env& env = {}) const {
        return Child(DORVAN_CLI, args, work_.Path(), env).Wait();
    }
    std::string Scalar(const std::string& sql) const {
        db::Result r = db_->Execute(sql);
        return r.Rows() > 0 ? r.Text(0, 0) : std::string();
    }
    static std::string LastLine(const ProcessResult& r) {
        const std::vector<std::string> lines = r.ErrLines();
        return lines.empty() ? std::string() : lines.back();
    }
    // The scripts folder of an installation folder.
    static fs::path Scripts(const std::string& exeDir) {
        fs::create_directories(fs::path(exeDir) / "database_scripts");
        return fs::path(exeDir) / "database_scripts";
    }
    // Another computer, active now.
    void OtherClientActive() const {
        db_->Execute(
            "INSERT INTO _currentip (ip, host, local_ip, lastsign_date, lastsign_time, "
            "logged_username) VALUES ('192.0.2.7', 'pult', '10.0.0.7', "
            "localtimestamp::date, localtimestamp::time(0), 'Nagy Péter') "
            "ON CONFLICT (ip, host, local_ip) DO UPDATE SET "
            "lastsign_date = EXCLUDED.lastsign_date, "
            "lastsign_time = EXCLUDED.lastsign_time");
    }

    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
    std::unique_ptr<db::Connection> db_;
};

std::unique_ptr<PrintInstallation> StockSystemCliTest::installation_;

TEST_F(StockSystemCliTest, StockFigures) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"stock", "4", "1"}, 0, "112\n"},
        {{"stock", "4", "2"}, 0, "20\n"},
        {{"stock", "4", "1", "--date", "2026-11-02"}, 0, "150\n"},
        {{"stock", "4", "2", "--date", "2026-12-07"}, 0, "0\n"},
        {{"stock", "4", "2", "--date=2026-12-08"}, 0, "20\n"},
        {{"stock-piece", "LOT-2611-A", "7", "1"}, 0, "17\t0\t17\n"},
        {{"stock-piece", "FG-2611-0001", "2", "1"}, 0, "0\t0\t0\n"},
        {{"stock-piece", "LOT-2611-A", "7", "2"}, 0, "-1\n"},
        {{"stock-piece", "O'NINCS", "7", "1"}, 0, "-2\n"},
        {{"average-cost", "7", "1"}, 0, "11333.333333333334\n"},
        {{"average-cost", "7", "2"}, 0, "0\n"},
        {{"stock", "4"}, 2, ""},
        {{"stock", "x", "1"}, 2, ""},
        {{"stock", "4", "1", "--date", "2026-02-30"}, 2, ""},
        {{"message", "--all", "a", "b"}, 2, ""},
        {{"message", "1.2.3.4", "text"}, 2, ""},
    };
    for (const Case& c : cases) {
        std::string name;
        for (const std::string& a : c.args) {
            name += a + " ";
        }
        SCOPED_TRACE(name);
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST_F(StockSystemCliTest, SignalSeenFromAnotherProcessUntilSixteenSecondsOld) {
    // The signalling workstation gets its public address from the echo page; the other one
    // has none (a different computer for the registry).
    const Env other = {{"DORVAN_WEB_SERVER", DeadUrl()}};
    ProcessResult r = Cli({"sign", "--start", "--user", "nagyp"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");

    r = Cli({"clients"}, other);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Nagy Péter\n");
    r = Cli({"clients"});
    EXPECT_EQ(r.out, "") << "the signalling computer leaves itself out";
    r = Cli({"clients", "--all"});
    EXPECT_EQ(r.out, "Nagy Péter\n");

    // A message left by the other computer is picked up once.
    ASSERT_EQ(Cli({"message", "--all", "Ebédszünet, O'Neill"}, other).status, 0);
    r = Cli({"sign"});
    EXPECT_EQ(r.out, "Ebédszünet, O'Neill\n");
    EXPECT_EQ(Cli({"sign"}).out, "");
    const auto lastSign = std::chrono::steady_clock::now();
    EXPECT_EQ(Scalar("SELECT count(*) FROM _currentip"), "1");
    EXPECT_EQ(Scalar("SELECT (connect_time < lastsign_time OR connect_time = lastsign_time)"
                     "::text FROM _currentip"),
              "true");

    std::this_thread::sleep_until(lastSign + std::chrono::seconds(17));
    r = Cli({"clients"}, other);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(StockSystemCliTest, MessageArrivesWhileTheComputersRowIsHeld) {
    OtherClientActive();
    // The addressee's own signal holds its row for 2 seconds and changes it.
    db::Connection holder("holder");
    holder.SetParams(DatabaseParams());
    holder.Connect();
    holder.Execute("BEGIN");
    holder.Execute(
        "UPDATE _currentip SET lastsign_time = localtimestamp::time(0) WHERE ip = '192.0.2.7'");
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        holder.Execute("COMMIT");
    });
    const ProcessResult r = Cli({"message", "192.0.2.7", "pult", "10.0.0.7", "Hívja O'Neillt!"});
    release.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Scalar("SELECT message FROM _currentip WHERE ip = '192.0.2.7'"), "Hívja O'Neillt!");
}

TEST_F(StockSystemCliTest, TwoStartUpsApplyAPendingScriptOnce) {
    db_->Execute("DELETE FROM _scriptlog WHERE script = '050_verseny.sql'");
    // Two workstations, each with the same new script beside its program.
    ScratchDir second;
    fs::copy_file(fs::path(installation_->ExeDir()) / "Dorvan.ini", second.Path() / "Dorvan.ini");
    const std::string script =
        "CREATE TABLE IF NOT EXISTS verseny_proba (kod serial PRIMARY KEY, nev text);\n"
        "INSERT INTO verseny_proba (nev) VALUES ('egyszer');\n"
        "SELECT pg_sleep(1);\n";
    WriteText(Scripts(installation_->ExeDir()) / "050_verseny.sql", script);
    WriteText(Scripts(second.Str() + "/") / "050_verseny.sql", script);

    Child a(DORVAN_CLI, {"update-scripts"}, work_.Path(), {});
    Child b(DORVAN_CLI, {"update-scripts"}, work_.Path(), {{"DORVAN_EXE_DIR", second.Str() + "/"}});
    const ProcessResult ra = a.Wait();
    const ProcessResult rb = b.Wait();
    EXPECT_EQ(ra.status, 0) << ra.err;
    EXPECT_EQ(rb.status, 0) << rb.err;
    std::vector<std::string> outs = {ra.out, rb.out};
    std::sort(outs.begin(), outs.end());
    EXPECT_EQ(outs, (std::vector<std::string>{"already-applied\t050_verseny.sql\n",
                                              "applied\t050_verseny.sql\n"}));
    EXPECT_EQ(Scalar("SELECT count(*) FROM verseny_proba"), "1");
    EXPECT_EQ(Scalar("SELECT count(*) || '/' || min(statusz) FROM _scriptlog "
                     "WHERE script = '050_verseny.sql'"),
              "1/1");
    fs::remove(Scripts(installation_->ExeDir()) / "050_verseny.sql");
}

TEST_F(StockSystemCliTest, WithoutAScreenTheForcedUpdateIsDeclined) {
    const fs::path pending = Scripts(installation_->ExeDir()) / "060_kenyszer.sql";
    WriteText(pending, "CREATE TABLE kenyszer_cli (a int);\n");
    const std::string refusal =
        "A frissítés elmaradt, más felhasználók vannak a rendszerben: Nagy Péter";
    struct Case {
        const char* program;
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {DORVAN_CLI, {"update-scripts"}, 3, "skipped\t060_kenyszer.sql\tother users are active\n"},
        {DORVAN_CLI, {}, 1, ""},
        {DORVAN_CLI, {"stock", "4", "1"}, 1, ""},
        {DORVAN_PRINT, {"--text", "nyomat.txt"}, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + (c.args.empty() ? "" : c.args[0]));
        OtherClientActive();
        const ProcessResult r = Child(c.program, c.args, work_.Path(), {}).Wait();
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(LastLine(r), refusal) << r.err;
        EXPECT_EQ(Scalar("SELECT to_regclass('kenyszer_cli') IS NULL"), "t");
        EXPECT_TRUE(fs::exists(pending));
    }
    fs::remove(pending);
}

}  // namespace
}  // namespace dorvan::test
