// dorvan-cli's document subcommands as processes against the demo database: numbers, cash
// postings and their reversal (also across a year boundary and after a number given by
// hand), invoicing a delivery-note line up to its quantity, and the reversal of the demo's
// invoice, of a delivery note invoiced in full (silent) and of a goods receipt whose goods
// are gone (refused with the recording error); the overrun message of a reversal with and
// without a signed-in user (--user, DORVAN_USER), the rounding of a delivery note's reversal,
// and a reversal killed halfway that is done again.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/print/print_cli_fixture.h"
#include "config/test_env.h"
#include "support/db_params.h"

namespace dorvan::test {
namespace {

class DocumentsCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

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

    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
};

std::unique_ptr<PrintInstallation> DocumentsCliTest::installation_;

TEST_F(DocumentsCliTest, Subcommands) {
    ASSERT_TRUE(installation_->EchoRunning());
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string errContains;  // "" : stderr must be empty
    };
    const Case kCases[] = {
        {{"number", "5", "--date", "2031-01-01"}, 0, "SZ2031/0000001\n", ""},
        {{"number", "5", "--date=2031-06-30", "--serial-first", "--no-fill", "--count", "2"},
         0,
         "SZ2/2031\nSZ3/2031\n",
         ""},
        {{"number", "x"}, 2, "", "KIND"},
        {{"number", "5", "--count", "0"}, 2, "", "--count"},
        {{"cash-post", "5", "2026-03-01", "0", "1", "1500.5", "5", "--note", "O'Neill"},
         0,
         "2026/0000001\n",
         ""},
        {{"cash-post", "5", "2026-03-01", "0", "1", "20", "5", "--number", "2026/0000001"},
         0,
         "2026/0000001\n",
         ""},
        {{"cash-post", "5", "2026-03-01", "0", "1", "20", "0"}, 0, "\n", ""},
        {{"cash-reverse", "2026/0000001", "5", "2026-03-02"}, 0, "2026/0000002\n", ""},
        {{"cash-reverse", "2026/0000001", "5", "2026-03-02"}, 3, "", "nothing to reverse"},
        // Delivery note 4310: 15 of line 431001 and 10 of line 431002 are open.
        {{"invoice-delivery", "431002", "4"}, 0, "", ""},
        {{"invoice-delivery", "431002", "7"},
         3,
         "",
         "Szállítólevélen feltüntetett készlet túllépése!"},
        {{"invoice-delivery", "431002", "6", "--outside"}, 0, "", ""},
        {{"invoice-delivery", "431001", "15"}, 0, "", ""},
        {{"reverse", "4310"}, 3, "", ""},  // invoiced in full: silent
        {{"reverse", "4301"}, 3, "", "Rögzítési hiba!"},
        {{"reverse", "999999"}, 3, "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status != 2) {
            EXPECT_EQ(r.out, c.out);
        }
        if (c.errContains.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(Scalar("select mennyiseg_szamlazva || '/' || "
                     "mennyiseg_szamlazva_bol_rendszeren_kivul from raktar_mozgas where kod = "
                     "431002"),
              "10/6");
    EXPECT_EQ(Scalar("select string_agg(osszeg::text, ',' order by kod) from penzeszkoz_iktato "
                     "where penztar_bizonylat_irany = 5"),
              "1500.5,20,-1500.5,-20");

    // The demo's invoice, once.
    const ProcessResult first = Cli({"reverse", "4317", "--keep-time"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, Scalar("select kod from raktar_mozgas_fej where "
                                "sztornozott_bizonylat_kod = 4317") +
                             "\n");
    EXPECT_EQ(Scalar("select datum || ' ' || ido from raktar_mozgas_fej where "
                     "sztornozott_bizonylat_kod = 4317"),
              "2026-12-03 09:41:01");
    const ProcessResult again = Cli({"reverse", "4317", "--no-transaction"});
    EXPECT_EQ(again.status, 3);
    EXPECT_EQ(again.out, "");
}

TEST_F(DocumentsCliTest, CashDeskNumbersAcrossTheYearAndGivenByHand) {
    ASSERT_TRUE(installation_->EchoRunning());
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case kCases[] = {
        {{"cash-post", "5", "2026-12-30", "0", "1", "100", "15"}, "2026/0000001\n"},
        {{"cash-post", "5", "2027-01-02", "0", "1", "100", "15"}, "2027/0000001\n"},
        // December entered in January: a new number of December's year.
        {{"cash-post", "5", "2026-12-31", "0", "1", "100", "15"}, "2026/0000002\n"},
        {{"cash-post", "5", "2027-01-03", "0", "1", "100", "15", "--number", "K-17"}, "K-17\n"},
        {{"cash-post", "5", "2027-01-03", "0", "1", "100", "15"}, "2027/0000002\n"},
        {{"cash-reverse", "2026/0000001", "15", "2026-12-31"}, "2026/0000003\n"},
        {{"cash-reverse", "K-17", "15", "2027-01-04"}, "2027/0000003\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[2]);
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(DocumentsCliTest, ReversalMessagesRoundingAndTheSignedInUser) {
    ASSERT_TRUE(installation_->EchoRunning());
    // The counts of delivery note 4310's lines, given back at the end.
    const std::string invoiced =
        Scalar("select mennyiseg_szamlazva from raktar_mozgas where kod = 431001");
    const std::string invoiced2 =
        Scalar("select mennyiseg_szamlazva from raktar_mozgas where kod = 431002");
    // The delivery-note line of invoice 4311 counts more invoiced than its quantity: the
    // invoice's 25 cannot be given back.
    Scalar("update raktar_mozgas set mennyiseg_szamlazva = 70 where kod = 431001");
    struct Case {
        std::vector<std::string> args;
        std::string user;  // DORVAN_USER
        int status;
        std::string err;
    };
    const Case kCases[] = {
        // Nobody signed in: Hungarian.
        {{"reverse", "4311"},
         "",
         3,
         "[warning] Dorvan dialog: Szállítólevélen feltüntetett készlet túllépése!\n"},
        // A user whose language is English, by option and by the environment.
        {{"--user", "nagyp", "reverse", "4311"},
         "",
         3,
         "[warning] Dorvan dialog: The quantity on the delivery note is exceeded!\n"},
        {{"reverse", "4311"},
         "nagyp",
         3,
         "[warning] Dorvan dialog: The quantity on the delivery note is exceeded!\n"},
        {{"--user=kovacsne", "reverse", "4311"},
         "nagyp",
         3,
         "[warning] Dorvan dialog: Szállítólevélen feltüntetett készlet túllépése!\n"},
        // An unknown user is a usage error.
        {{"--user", "nincs'ilyen", "reverse", "4311"},
         "",
         2,
         "dorvan-cli: unknown user 'nincs'ilyen'\n"},
        {{"reverse", "4311"}, "senki", 2, "dorvan-cli: unknown user 'senki'\n"},
        {{"--user"}, "", 2, "dorvan-cli: --user needs a user id\n"},
        {{"--user=", "reverse", "4311"}, "", 2, "dorvan-cli: --user needs a user id\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.args[0] + " " + c.user);
        const EnvVar user("DORVAN_USER",
                          c.user.empty() ? std::nullopt : std::optional<std::string>(c.user));
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(Scalar("select count(*) from raktar_mozgas_fej where sztornozott_bizonylat_kod = "
                     "4311"),
              "0");
    EXPECT_EQ(Scalar("select mennyiseg_szamlazva from raktar_mozgas where kod = 431001"), "70");

    // Delivery note 4310 as the demo has it, partly invoiced, reversed by a signed-in user:
    // its rounding is its rounded total less its lines, and the user stamps the document.
    Scalar(
        "update raktar_mozgas set mennyiseg_szamlazva = 25 where kod = 431001;"
        "update raktar_mozgas set mennyiseg_szamlazva = 0 where kod = 431002");
    const ProcessResult r = Cli({"--user", "kovacsne", "reverse", "4310"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string kod = r.out.substr(0, r.out.find('\n'));
    EXPECT_EQ(Scalar("select kod from raktar_mozgas_fej where sztornozott_bizonylat_kod = 4310"),
              kod);
    EXPECT_EQ(Scalar("select (h.kerekites = h.brutto_arbevetel_vegosszeg - "
                     "sum(l.brutto_arbevetel))::text || '|' || h.brutto_arbevetel_vegosszeg || "
                     "'|' || h.c_userid from raktar_mozgas_fej h join raktar_mozgas l on "
                     "l.fej_kod = h.kod where h.kod = " +
                     kod + " group by h.kod"),
              "true|-95250|kovacsne");
    Scalar("update raktar_mozgas set mennyiseg_szamlazva = " + invoiced +
           " where kod = 431001; update raktar_mozgas set mennyiseg_szamlazva = " + invoiced2 +
           " where kod = 431002");
}

// Starts `program` with `args` in `cwd` without waiting (its output into files there).
pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::filesystem::path& cwd) {
    const std::string out = (cwd / ".spawn.out").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(cwd.c_str()) != 0 || !std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen(out.c_str(), "a", stderr)) {
            ::_exit(127);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

TEST_F(DocumentsCliTest, ReversalKilledHalfwayCanBeReversedAgain) {
    ASSERT_TRUE(installation_->EchoRunning());
    // An invoice of 40 lines whose reversal writes its lines slowly (each committed at once
    // without a transaction).
    Scalar(
        "insert into raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, "
        "raktar_mozgas_bizonylat, datum, ido, kelte, mozgasnem_kod, partner_kod) values (7650, "
        "5, 'SZ2026/7650', 'RM2026/7650', '2026-12-01', '08:00', '2026-12-01', 3, 2);"
        "insert into raktar_mozgas (kod, fej_kod, tetel_kod, mennyiseg, netto_egysegar) "
        "select 7650 * 10000 + n, 7650, 6, n, 100 from generate_series(1, 40) n;"
        "insert into bizonylatszoveg_fej (fej_kod, partner_nev) values (7650, 'O''Neill');"
        "create function lassu_sor() returns trigger language plpgsql as $$ begin "
        "if new.mennyiseg < 0 then perform pg_sleep(0.05); end if; return new; end; $$;"
        "create trigger lassu_sor before insert on raktar_mozgas for each row execute "
        "function lassu_sor()");
    const int lines = std::stoi(Scalar("select count(*) from raktar_mozgas where mennyiseg < 0"));

    const pid_t pid = Spawn(DORVAN_CLI, {"reverse", "7650", "--no-transaction"}, work_.Path());
    ASSERT_GT(pid, 0);
    bool halfway = false;
    for (int i = 0; i < 1000 && !halfway; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        halfway = std::stoi(Scalar("select count(*) from raktar_mozgas where mennyiseg < 0")) >=
                  lines + 5;
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(halfway);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Scalar("select sztornozo_bizonylat_kod from raktar_mozgas_fej where kod = 7650"),
              "-1");
    Scalar("drop trigger lassu_sor on raktar_mozgas; drop function lassu_sor()");
    // The server lets the killed client's sessions go as soon as it reads their end.
    for (int i = 0; i < 500 && Scalar("select count(*) from pg_locks where locktype = "
                                      "'advisory' and objid = 7650") != "0";
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    const ProcessResult again = Cli({"reverse", "7650", "--no-transaction"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.err, "");
    const std::string kod = again.out.substr(0, again.out.find('\n'));
    EXPECT_EQ(Scalar("select sztornozo_bizonylat_kod from raktar_mozgas_fej where kod = 7650"),
              kod);
    EXPECT_EQ(Scalar("select count(*) from raktar_mozgas_fej where sztornozott_bizonylat_kod = "
                     "7650"),
              "1");
    EXPECT_EQ(Scalar("select count(*) from raktar_mozgas where fej_kod = " + kod), "40");
    const ProcessResult third = Cli({"reverse", "7650"});
    EXPECT_EQ(third.status, 3);
    EXPECT_EQ(third.out, "");
}

}  // namespace
}  // namespace dorvan::test
