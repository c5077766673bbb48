// dorvan-cli and dorvan-print under an outside probe: every failure and refusal ends with one
// line, a held settings lock is waited for a bounded time, no number that is not finite is
// stored or printed, input is read strictly, and conflicts with other clients (deadlocks, an
// older snapshot) neither fail the writers nor set a sequence backwards.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "config/folders.h"
#include "print_cli_fixture.h"
#include "support/db_params.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class CliReliabilityTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }
    void SetUp() override { ASSERT_TRUE(installation_->EchoRunning()); }

    ProcessResult Cli(const std::vector<std::string>& args) const {
        return RunProcess(DORVAN_CLI, args, work_.Path());
    }
    std::string Scalar(const std::string& sql) const {
        db::Connection c("test");
        c.SetParams(DatabaseParams());
        c.Connect();
        db::Result r = c.Execute(sql);
        return r.Rows() > 0 ? r.Text(0, 0) : std::string();
    }
    void Exec(const std::string& sql) const { RunScript(Server(), DatabaseName(), sql); }

    inline static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
};

// Waits until a backend of the test database waits for a lock in a statement that contains
// `statement`; its process id, 0 when none did within 30 seconds.
std::string WaitForLockWaiter(db::Connection& watch, const std::string& statement) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
        db::Result r = watch.Execute(
            "SELECT pid FROM pg_stat_activity WHERE datname = current_database()"
            " AND wait_event_type = 'Lock' AND position($1 in lower(query)) > 0",
            {statement});
        if (r.Rows() > 0)
            return r.Text(0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "0";
}

// A connection of the test itself to the test database.
class Connected : public db::Connection {
  public:
    explicit Connected(const std::string& name) : db::Connection(name) {
        SetParams(DatabaseParams());
        Connect();
    }
};

TEST_F(CliReliabilityTest, AHeldSettingsLockIsWaitedForABoundedTime) {
    const fs::path machine = GetMachineFolder(installation_->ExeDir());
    fs::create_directories(machine);
    const fs::path ini = machine / kMachineIniName;
    WriteText(ini, "[Sales]\nBizPrint=1\n");
    const std::string lockPath = ini.string() + ".lock";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);

    const auto start = Clock::now();
    const ProcessResult run = Cli({});
    const auto took = Clock::now() - start;
    ::close(lock);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
    EXPECT_TRUE(Contains(run.err, "Dorvan_machine_sp.ini.lock")) << run.err;
    EXPECT_LT(took, std::chrono::seconds(40));

    // Released: the start-up goes through.
    const ProcessResult after = Cli({});
    EXPECT_EQ(after.status, 0) << after.err;
}

TEST_F(CliReliabilityTest, FailuresAndRefusalsEndWithOneLine) {
    // A refused reversal: the recording error without its technical description and row dump.
    const ProcessResult refused = Cli({"reverse", "4301"});
    EXPECT_EQ(refused.status, 3);
    ASSERT_EQ(refused.ErrLines().size(), 1u) << refused.err;
    EXPECT_TRUE(Contains(refused.err, "Rögzítési hiba!")) << refused.err;
    EXPECT_FALSE(Contains(refused.err, "Tecnikai")) << refused.err;
    EXPECT_FALSE(Contains(refused.err, "DETAIL")) << refused.err;
    // --verbose keeps the detail.
    const ProcessResult verbose = Cli({"--verbose", "reverse", "4301"});
    EXPECT_EQ(verbose.status, 3);
    EXPECT_GT(verbose.ErrLines().size(), 1u) << verbose.err;
    EXPECT_TRUE(Contains(verbose.err, "Tecnikai leírás:")) << verbose.err;

    // A database error with its DETAIL: one line, the gist.
    Exec(
        "CREATE OR REPLACE FUNCTION t_refuse_rate() RETURNS trigger LANGUAGE plpgsql AS $$"
        " BEGIN RAISE EXCEPTION 'rate refused' USING DETAIL = 'row (' || NEW.deviza_nev || ')',"
        " HINT = 'ask someone'; END $$;"
        "CREATE TRIGGER t_refuse_rate BEFORE INSERT ON deviza_arfolyam FOR EACH ROW"
        " EXECUTE FUNCTION t_refuse_rate()");
    const ProcessResult detail = Cli({"rate", "HUF", "1899-01-01"});
    Exec("DROP TRIGGER t_refuse_rate ON deviza_arfolyam; DROP FUNCTION t_refuse_rate()");
    EXPECT_EQ(detail.status, 1);
    ASSERT_EQ(detail.ErrLines().size(), 1u) << detail.err;
    EXPECT_TRUE(Contains(detail.err, "rate refused")) << detail.err;
    EXPECT_FALSE(Contains(detail.err, "DETAIL")) << detail.err;

    // A temporary folder that cannot be made.
    {
        const EnvVar tmpdir("TMPDIR", (work_.Path() / "no-such-folder").string());
        const ProcessResult noTmp =
            RunProcess(DORVAN_PRINT, {"--key", "4320", "--pdf", "x.pdf"}, work_.Path());
        EXPECT_EQ(noTmp.status, 1);
        ASSERT_EQ(noTmp.ErrLines().size(), 1u) << noTmp.err;
        EXPECT_TRUE(Contains(noTmp.err, "no-such-folder")) << noTmp.err;
    }

    // A start-up that fails while opening the module's queries says why.
    Exec("ALTER TABLE lang_text RENAME COLUMN lang_formname TO lang_formname_x");
    const ProcessResult startup = Cli({});
    const ProcessResult startupPrint = RunProcess(DORVAN_PRINT, {"--text", "x.txt"}, work_.Path());
    Exec("ALTER TABLE lang_text RENAME COLUMN lang_formname_x TO lang_formname");
    for (const ProcessResult* run : {&startup, &startupPrint}) {
        EXPECT_EQ(run->status, 1);
        ASSERT_EQ(run->ErrLines().size(), 1u) << run->err;
        EXPECT_TRUE(Contains(run->err, "lang_formname")) << run->err;
    }
}

TEST_F(CliReliabilityTest, ALostConnectionEndsWithOneLine) {
    Connected holder("holder");
    holder.Execute("BEGIN; LOCK TABLE tetel IN ACCESS EXCLUSIVE MODE");
    BackgroundProcess cli(DORVAN_CLI, {"set-purchase-price", "1", "100"}, work_.Path(), "lost");
    Connected watch("watch");
    const std::string pid = WaitForLockWaiter(watch, "tetel");
    ASSERT_NE(pid, "0") << "dorvan-cli never waited for the table";
    watch.Execute("SELECT pg_terminate_backend($1::int)", {pid});
    holder.Execute("ROLLBACK");
    const ProcessResult run = cli.Wait();
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
    EXPECT_TRUE(Contains(run.err, "terminat") || Contains(run.err, "closed")) << run.err;
}

TEST_F(CliReliabilityTest, NoCommandStoresOrPrintsANonFiniteNumber) {
    const std::string huge = "1" + std::string(308, '0');
    Exec(
        "INSERT INTO deviza (nev, megjegyzes) VALUES ('XXL', 'test');"
        "INSERT INTO deviza_arfolyam (deviza_nev, datum, huf_ertek) VALUES"
        " ('XXL', '2026-01-01', 1e300)");
    const std::string priceBefore = Scalar(
        "SELECT utolsobeszerzesiar || '/' || (SELECT string_agg(egysegar::text, ',' "
        "ORDER BY kod) FROM tetel_egysegar WHERE tetel_kod = 1) FROM tetel WHERE kod = 1");
    const std::string countBefore =
        Scalar("SELECT mennyiseg_szamlazva FROM raktar_mozgas WHERE kod = 431002");
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"set-purchase-price", "1", huge}, 1},
        {{"set-purchase-price", "1", "-" + huge}, 1},
        {{"invoice-delivery", "431002", "-" + huge}, 1},
        {{"invoice-delivery", "431002", "-1.8e308"}, 2},
        {{"convert", huge, "EUR", "HUF", "2026-04-01"}, 1},
        {{"convert", "1000000000000000", "XXL", "HUF", "2026-04-01"}, 1},
        {{"cash-post", "5", "2026-03-01", "0", "1", huge, "5"}, 1},
        {{"formula",
          "[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]*[a]",
          "a=1000000000000000"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[c.args.size() > 2 ? 2 : 1].substr(0, 20));
        const ProcessResult run = Cli(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(Contains(run.out + run.err, "inf")) << run.err;
        if (c.status == 1) {
            EXPECT_EQ(run.ErrLines().size(), 1u) << run.err;
        }
    }
    EXPECT_EQ(Scalar("SELECT utolsobeszerzesiar || '/' || (SELECT string_agg(egysegar::text, ',' "
                     "ORDER BY kod) FROM tetel_egysegar WHERE tetel_kod = 1) FROM tetel WHERE "
                     "kod = 1"),
              priceBefore);
    EXPECT_EQ(Scalar("SELECT mennyiseg_szamlazva FROM raktar_mozgas WHERE kod = 431002"),
              countBefore);
    EXPECT_EQ(Scalar("SELECT count(*) FROM penzeszkoz_iktato WHERE osszeg::text LIKE '%Infinity%'"
                     " OR osszeg > 1e15"),
              "0");
    EXPECT_EQ(Scalar("SELECT count(*) FROM tetel_egysegar WHERE NOT egysegar_brutto BETWEEN -1e300 "
                     "AND 1e300 OR NOT egysegar BETWEEN -1e300 AND 1e300"),
              "0");
    Exec(
        "DELETE FROM deviza_arfolyam WHERE deviza_nev = 'XXL'; DELETE FROM deviza WHERE nev = "
        "'XXL'");
}

TEST_F(CliReliabilityTest, InputIsReadStrictly) {
    const std::string serials = Scalar("SELECT count(*) FROM szszb");
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"rate", "EUR", " 202-01-01"}, "DATE"},
        {{"rate", "EUR", "2026-+1-01"}, "DATE"},
        {{"stock", "1", "1", "--date", ""}, "--date"},
        {{"stock", "1", "1", "--date="}, "--date"},
        {{"price", "1", "6001", "--date", ""}, "--date"},
        {{"number", "5", "--count", "10001"}, "--count"},
        {{"number", "5", "--count", "2147483647"}, "--count"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        const ProcessResult run = Cli(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Contains(run.err, c.reason)) << run.err;
    }
    EXPECT_EQ(Scalar("SELECT count(*) FROM szszb"), serials) << "numbers were handed out";

    // A port in hexadecimal is no port.
    installation_->WriteMainIni(Server().password);
    IniFile(installation_->ExeDir() + kMainIniName).WriteString("DataBase", "Port", "0x10");
    const ProcessResult hex = Cli({});
    installation_->WriteMainIni(Server().password);
    EXPECT_EQ(hex.status, 1);
    ASSERT_EQ(hex.ErrLines().size(), 1u) << hex.err;
    EXPECT_TRUE(Contains(hex.err, "0x10")) << hex.err;
}

// A writer that meets a deadlock is tried again instead of failing.
TEST_F(CliReliabilityTest, AWriterThatMeetsADeadlockIsTriedAgain) {
    // The writer looks for deadlocks 3 seconds after it starts to wait, the locker never: the
    // writer is the one told of the deadlock.
    Exec("ALTER DATABASE " + DatabaseName() + " SET deadlock_timeout TO '3s'");
    struct Reset {
        ~Reset() {
            RunScript(Server(), DatabaseName(),
                      "ALTER DATABASE " + DatabaseName() + " RESET deadlock_timeout");
        }
    } reset;
    Connected locker("locker");
    locker.Execute("SET deadlock_timeout TO '1min'");
    locker.Execute("BEGIN; LOCK TABLE tetel_egysegar IN SHARE ROW EXCLUSIVE MODE");
    BackgroundProcess writer(DORVAN_CLI, {"set-purchase-price", "1", "1234.5"}, work_.Path(),
                             "writer");
    Connected watch("watch");
    // The writer holds its item row and waits for the price rows ...
    ASSERT_NE(WaitForLockWaiter(watch, "tetel_egysegar"), "0");
    // ... which the locker holds while it waits for the item.
    locker.Execute("LOCK TABLE tetel IN SHARE ROW EXCLUSIVE MODE");
    locker.Execute("COMMIT");
    const ProcessResult run = writer.Wait();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Scalar("SELECT utolsobeszerzesiar FROM tetel WHERE kod = 1"), "1234.5");
}

// Sequences are set after the tables are locked, from what is committed then: a session
// default of serializable (as a pooler may hand on) does not make them go backwards.
TEST_F(CliReliabilityTest, RealignedSequencesNeverGoBackwards) {
    Exec("ALTER DATABASE " + DatabaseName() +
         " SET default_transaction_isolation TO 'serializable'");
    struct Reset {
        ~Reset() {
            RunScript(Server(), DatabaseName(),
                      "ALTER DATABASE " + DatabaseName() + " RESET default_transaction_isolation");
        }
    } reset;
    Connected inserter("inserter");
    inserter.Execute("BEGIN ISOLATION LEVEL READ COMMITTED");
    const std::string kod = inserter
                                .Execute(
                                    "INSERT INTO deviza_arfolyam (deviza_nev, datum, huf_ertek)"
                                    " VALUES ('HUF', '1850-01-01', 1) RETURNING kod")
                                .Text(0, 0);
    BackgroundProcess realign(DORVAN_CLI, {"realign-sequences"}, work_.Path(), "realign");
    Connected watch("watch");
    ASSERT_NE(WaitForLockWaiter(watch, "lock table"), "0");
    inserter.Execute("COMMIT");
    const ProcessResult run = realign.Wait();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "deviza_arfolyam_kod_seq\t" + kod + "\n")) << run.out;
    EXPECT_EQ(Scalar("SELECT last_value FROM deviza_arfolyam_kod_seq"), kod);
    Exec("DELETE FROM deviza_arfolyam WHERE datum = '1850-01-01'");
}

}  // namespace
}  // namespace dorvan::test
