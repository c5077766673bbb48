// dorvan-cli's project, sequence and formula subcommands run as a process against the demo
// database: their output lines, exit statuses and one-line failures.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/print/print_cli_fixture.h"
#include "db/connection.h"
#include "support/db_params.h"

namespace dorvan::test {
namespace {

class ProjectsCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(installation_->EchoRunning());
        db_.SetParams(DatabaseParams());
        db_.Connect();
    }

    ProcessResult Run(const std::vector<std::string>& args) const {
        return RunProcess(DORVAN_CLI, args, work_.Path());
    }
    std::string Scalar(const std::string& sql) {
        const db::Result r = db_.Execute(sql);
        return r.Rows() > 0 ? r.Text(0, 0) : std::string();
    }

    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
    db::Connection db_{"test"};
};

std::unique_ptr<PrintInstallation> ProjectsCliTest::installation_;

TEST_F(ProjectsCliTest, FormulaValuesAndErrors) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out;
        const char* err;  // part of the one stderr line
    };
    const Case cases[] = {
        {{"formula", "1+2*3"}, 0, "7\n", ""},
        {{"formula", "([a] + 1,5) * [b]", "a=0.5", "b=-2"}, 0, "-4\n", ""},
        {{"formula", "[Lista ár]*1,27", "Lista ár=1000"}, 0, "1270\n", ""},
        {{"formula", "1/0"}, 1, "", "Nullával osztás"},
        {{"formula", "2*(3"}, 1, "", "hiányzó \")\""},
        {{"formula", "[x]+1", "a=1"}, 1, "", "Ismeretlen változó a képletben: [x]"},
        {{"formula", "1", "a"}, 2, "", "NAME=VALUE"},
        {{"formula", "1", "a=1,5"}, 2, "", ""},
        {{"formula"}, 2, "", "missing arguments"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.at(1 % c.args.size()));
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        if (c.status == 1) {
            ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
            EXPECT_TRUE(Contains(run.err, c.err)) << run.err;
        } else if (c.status == 2) {
            EXPECT_TRUE(Contains(run.err, c.err)) << run.err;
        }
    }
}

TEST_F(ProjectsCliTest, ProjectTurnoverOneFieldPerLine) {
    db_.Execute(R"SQL(
INSERT INTO afa_kulcs (kod, lang_0000040e, afakulcs) VALUES (9001, '27% teszt', 27);
INSERT INTO tetel (kod, lang_0000040e, afa_kulcs) VALUES (9001, 'Teszt csempe', 9001);
INSERT INTO projekt_besorolas (kod, lang_0000040e, automata_tervezes) VALUES
  (9001, 'Automatikus teszt', 1), (9002, 'Kézi teszt', 0);
INSERT INTO projektek (kod, besorolas, partner_kod) VALUES (9101, 9001, 9050), (9102, 9002, 9050);
INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta, projekt, partner_kod) VALUES (9501, 4, 9101, 9050);
INSERT INTO bizonylatszoveg_fej (fej_kod, partner_nev) VALUES (9501, 'Teszt');
INSERT INTO raktar_mozgas (fej_kod, tetel_kod, mennyiseg, mennyiseg_szamlazva, netto_egysegar_huf,
  brutto_egysegar_huf) VALUES (9501, 9001, 10, 4, 100, 127);
INSERT INTO projektek_konyveles (projekt, tipus, novekedes, afa) VALUES
  (9102, 1, 1000, 270), (9102, 1, -300, -81);
)SQL");
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {{"project-turnover", "9101"},
         {"kod\t0", "szallito_nyitott.egysegar\t600", "szallito_nyitott.egysegar_brutto\t762",
          "bevetel.egysegar\t600"}},
        {{"project-turnover", "9102", "--mode", "projekt"},
         {"bevetel.egysegar\t1000", "bevetel.egysegar_brutto\t1270", "koltseg.egysegar\t300",
          "koltseg.egysegar_brutto\t381", "konyveles_4\t0"}},
        {{"project-turnover", "9050", "--mode=partner"},
         {"bevetel.egysegar\t1600", "bevetel.egysegar_brutto\t2032"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.at(1));
        const ProcessResult run = Run(c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        for (const std::string& line : c.lines)
            EXPECT_TRUE(Contains("\n" + run.out, "\n" + line + "\n")) << line << "\n" << run.out;
    }
    const ProcessResult bad = Run({"project-turnover", "9101", "--mode", "x"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
}

TEST_F(ProjectsCliTest, PurchasePriceRecomputesTheListsOrChangesNothing) {
    db_.Execute(R"SQL(
INSERT INTO afa_kulcs (kod, lang_0000040e, afakulcs) VALUES (9011, '27% ár', 27);
INSERT INTO tetel (kod, lang_0000040e, tetel_tipus, afa_kulcs, haszonkulcs, utolsobeszerzesiar)
  VALUES (9201, 'Ár teszt', 1, 9011, 25, 0), (9202, 'Ár teszt 2', 1, 9011, 25, 300);
INSERT INTO egysegarak (kod, lang_0000040e, automatikus_ertek, deviza_nev) VALUES
  (9001, 'Teszt bolti', 2, 'HUF'), (9002, 'Teszt export', 1, 'USX');
INSERT INTO tetel_egysegar (tetel_kod, egysegar_kod, egysegar, egysegar_brutto, afa_kulcs) VALUES
  (9201, 9001, 1, 1, 0), (9202, 9001, 2, 2, 0), (9202, 9002, 3, 3, 0);
)SQL");
    const char* rows =
        "select string_agg(egysegar || '/' || egysegar_brutto, ' ' order by egysegar_kod) || ' ' "
        "|| (select utolsobeszerzesiar from tetel where kod = 9202) from tetel_egysegar "
        "where tetel_kod = 9202";
    const std::string before = Scalar(rows);
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {{"set-purchase-price", "9201", "1000", "--date", "2026-12-01"},
         0,
         "9001\t1250\t1587.5\t9011\n",
         ""},
        // The USX list has no rate: nothing changes, silently.
        {{"set-purchase-price", "9202", "1000"}, 3, "", ""},
        {{"set-purchase-price", "404404", "1000"}, 3, "", "Nincs ilyen tétel: 404404\n"},
        {{"set-purchase-price", "9201", "1,5"}, 2, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.at(1));
        const ProcessResult run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        if (c.status != 2) {
            EXPECT_EQ(run.err, c.err);
        }
    }
    EXPECT_EQ(Scalar("select utolsobeszerzesiar || ' ' || utolsobeszerzesiardatuma from tetel "
                     "where kod = 9201"),
              "1000 2026-12-01");
    EXPECT_EQ(Scalar(rows), before);
    EXPECT_EQ(before, "2/2 3/3 300");
}

TEST_F(ProjectsCliTest, RealignedSequencesLetTheNextInsertSucceed) {
    const std::vector<std::string> tables = {"partner", "tetel", "raktar_mozgas_fej",
                                             "esemeny_naplo", "_grids"};
    std::vector<long long> highest;
    for (const std::string& t : tables) {
        // The key the sequence would hand out next is taken by a row with an explicit key.
        const std::string next =
            Scalar("select case when is_called then last_value + 1 else last_value end from " + t +
                   "_kod_seq");
        db_.Execute("insert into " + t + " (kod) values (" + next + ")");
        highest.push_back(std::stoll(Scalar("select max(kod) from " + t)));
    }
    const ProcessResult run = Run({"realign-sequences"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        SCOPED_TRACE(tables[i]);
        const std::string value = std::to_string(highest[i]);
        EXPECT_TRUE(Contains("\n" + run.out, "\n" + tables[i] + "_kod_seq\t" + value + "\n"))
            << run.out;
        db_.Execute("insert into " + tables[i] + " default values");
        EXPECT_EQ(Scalar("select max(kod) from " + tables[i]), std::to_string(highest[i] + 1));
    }
    EXPECT_FALSE(Contains(run.out, "naplo_tetel_egysegar_seq\t"));
}

}  // namespace
}  // namespace dorvan::test
