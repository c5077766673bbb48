// The event log and the update scripts against the server: scripts in file-name order, once
// each, a failing one rolled back and logged with status 0, the event log standing in for a
// missing script log, the forced-update dialogs, a folder the program may not write.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/recording_ui.h"
#include "config/test_env.h"
#include "db/transaction.h"
#include "stock_system_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

using Outcome = std::pair<std::string, std::string>;  // script, what happened

class ScriptsTest : public ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        Point(*dm);
    }

    void Point(TDM& module) {
        module.updateScripts_.Folder = folder_.Str();
        module.updateScripts_.LockWait = std::chrono::seconds(5);
    }
    void Write(const std::string& name, const std::string& sql) const {
        WriteText(folder_.Path() / name, sql);
    }
    bool Exists(const std::string& name) const { return fs::exists(folder_.Path() / name); }
    bool TableExists(const std::string& table) {
        return Scalar("SELECT to_regclass(:t) IS NOT NULL", {{"t", table}}) == "True";
    }
    std::vector<Outcome> Run(TDM& module) {
        module.QueryingUpdateScript();
        std::vector<Outcome> list;
        for (const TScriptOutcome& o : module.updateScripts_.Outcomes()) {
            list.emplace_back(o.script, ScriptOutcomeWord(o.kind));
        }
        return list;
    }
    std::string Status(const std::string& script) {
        return Scalar("SELECT statusz FROM _scriptlog WHERE script = :s", {{"s", script}});
    }

    ScratchDir folder_;
    RecordingUi ui_;
    ScopedUiPort scope_{ui_};
};

TEST_F(ScriptsTest, EventLogRowsStayOutOfTheMainTransaction) {
    MainTable().UserID = "kovacsne";
    {
        db::Transaction tx(dm->ZConnection);
        dm->AddLogItem("Törlés", "Partner: O'Neill Építő Kft.");
        tx.Rollback();
    }
    EXPECT_TRUE(dm->FindLogItem("Törlés", "Partner: O'Neill Építő Kft."));
    EXPECT_FALSE(dm->FindLogItem("Törlés", "Partner: O'Neill"));
    EXPECT_EQ(Scalar("SELECT felhasznalo || '|' || (datum = current_date)::text || '|' || "
                     "(ido ~ '^[0-9]{1,2}:[0-9]{2}:[0-9]{2}$')::text FROM _masterlog "
                     "WHERE muvelet = 'Törlés'"),
              "kovacsne|true|true");

    TDataAction action = TDataAction::Retry;
    dm->DeleteError(nullptr, std::runtime_error("violates foreign key"), action);
    EXPECT_EQ(action, TDataAction::Fail);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].caption, "Törlés hiba");
    EXPECT_EQ(ui_.messages[0].text,
              "A törlés nem lehetséges, mert ez a tétel kapcsolódik egy másik tételhez.\r\r"
              "(violates foreign key)");
}

TEST_F(ScriptsTest, AppliedOnceInNameOrderFailuresRolledBack) {
    Write("002_oszlop.sql",
          "ALTER TABLE frissites_proba ADD COLUMN megjegyzes varchar(40) DEFAULT 'új';\n"
          "INSERT INTO frissites_proba (nev) VALUES ('O''Neill');\n");
    Write("001_tabla.sql", "CREATE TABLE frissites_proba (kod serial PRIMARY KEY, nev text);\n");
    Write("003_hibas.sql",
          "CREATE TABLE hibas_proba (a int);\nINSERT INTO hibas_proba VALUES (1);\n"
          "SELECT nincs_ilyen FROM hibas_proba;\n");
    Write("004_o'neill.sql", "INSERT INTO frissites_proba (nev) VALUES ('negyedik :nev');\n");
    Write("olvass_el.txt", "DROP TABLE tulajdonos;");
    fs::create_symlink(folder_.Path() / "nincs_meg", folder_.Path() / "005_torott.sql");

    const std::vector<Outcome> first = {{"001_tabla.sql", "applied"},
                                        {"002_oszlop.sql", "applied"},
                                        {"003_hibas.sql", "failed"},
                                        {"004_o'neill.sql", "applied"},
                                        {"005_torott.sql", "skipped"}};
    EXPECT_EQ(Run(*dm), first);
    EXPECT_FALSE(TableExists("hibas_proba")) << "the failing script is rolled back whole";
    EXPECT_EQ(Scalar("SELECT string_agg(nev || '/' || megjegyzes, ',' ORDER BY kod) "
                     "FROM frissites_proba"),
              "O'Neill/új,negyedik :nev/új");
    struct Logged {
        const char* script;
        const char* status;
    };
    for (const Logged& l :
         {Logged{"001_tabla.sql", "1"}, Logged{"002_oszlop.sql", "1"}, Logged{"003_hibas.sql", "0"},
          Logged{"004_o'neill.sql", "1"}, Logged{"005_torott.sql", ""}}) {
        SCOPED_TRACE(l.script);
        EXPECT_EQ(Status(l.script), l.status);
    }
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(Contains(ui_.messages[0].text, "005_torott.sql"));
    EXPECT_EQ(ui_.messages[0].text.find('\r'), std::string::npos) << "one line";
    EXPECT_EQ(ui_.tableNames.front(), "Szkript fájl futtatása: 001_tabla.sql");
    EXPECT_TRUE(dm->ZConnection.Connected());
    EXPECT_FALSE(ui_.TerminateRequested());

    // The next start removes the applied ones and leaves the failed one alone.
    const std::vector<Outcome> second = {{"001_tabla.sql", "already-applied"},
                                         {"002_oszlop.sql", "already-applied"},
                                         {"003_hibas.sql", "failed-before"},
                                         {"004_o'neill.sql", "already-applied"},
                                         {"005_torott.sql", "skipped"}};
    EXPECT_EQ(Run(*dm), second);
    EXPECT_EQ(Count("SELECT count(*) FROM frissites_proba"), 2);
    EXPECT_FALSE(Exists("001_tabla.sql"));
    EXPECT_FALSE(Exists("004_o'neill.sql"));
    EXPECT_TRUE(Exists("003_hibas.sql"));
    EXPECT_TRUE(Exists("olvass_el.txt"));
    EXPECT_EQ(Count("SELECT count(*) FROM _scriptlog WHERE script LIKE '00%'"), 4);
}

TEST_F(ScriptsTest, LoggedScriptIsRemovedAndNotRun) {
    Exec(
        "INSERT INTO _scriptlog (script, datum, ido, statusz) "
        "VALUES ('010_kesz.sql', current_date, '8:00:00', 1)");
    Write("010_kesz.sql", "CREATE TABLE nem_futhat (a int);");
    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"010_kesz.sql", "already-applied"}}));
    EXPECT_FALSE(Exists("010_kesz.sql"));
    EXPECT_FALSE(TableExists("nem_futhat"));
}

TEST_F(ScriptsTest, WithoutScriptLogTheEventLogDecides) {
    Exec("ALTER TABLE _scriptlog RENAME TO _scriptlog_felre");
    struct Restore {
        TDM& module;
        ~Restore() {
            module.ExecSQLList({"DROP TABLE IF EXISTS _scriptlog;",
                                "ALTER TABLE _scriptlog_felre RENAME TO _scriptlog"},
                               module.ZConnection_behind);
        }
    } restore{*dm};

    dm->AddLogItem("UpdateScript", "020_regi.sql");
    Write("020_regi.sql", "CREATE TABLE regi_proba (a int);");
    Write("021_uj.sql", "CREATE TABLE uj_proba (a int);");
    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"020_regi.sql", "already-applied"},
                                              {"021_uj.sql", "applied"}}));
    EXPECT_EQ(dm->FindScriptlogItem("021_uj.sql"), -2);
    EXPECT_FALSE(TableExists("regi_proba"));
    EXPECT_TRUE(TableExists("uj_proba"));
    // Not run again at the next start, though nothing else remembers it.
    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"020_regi.sql", "already-applied"},
                                              {"021_uj.sql", "already-applied"}}));
    EXPECT_TRUE(Exists("021_uj.sql"));

    // A script log without its status column: a logged script reads 0.
    Exec("CREATE TABLE _scriptlog (script varchar(255), datum date, ido varchar(20))");
    dm->SetNewScriptLogOK();
    EXPECT_TRUE(dm->ScriptLogExists());
    EXPECT_EQ(dm->FindScriptlogItem("022_x.sql"), -1);
    dm->AddScriptLogItem("022_x.sql", 1);
    dm->AddScriptLogItem("022_x.sql", 1);
    EXPECT_EQ(dm->FindScriptlogItem("022_x.sql"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM _scriptlog"), 1);
}

TEST_F(ScriptsTest, OtherActiveClientsAreAskedAbout) {
    Exec("DELETE FROM _currentip");
    Exec(
        "INSERT INTO _currentip (ip, host, local_ip, lastsign_date, lastsign_time, "
        "logged_username) VALUES ('192.0.2.7', 'pult', '10.0.0.7', localtimestamp::date, "
        "localtimestamp::time(0), 'Nagy Péter')");
    struct Case {
        bool force;
        const char* outcome;
        bool applied;
    };
    for (const Case& c : {Case{false, "skipped", false}, Case{true, "applied", true}}) {
        SCOPED_TRACE(c.force ? "forced" : "declined");
        RecordingUi ui;
        ui.answers.push_back(c.force);
        const ScopedUiPort scope(ui);
        auto module = ConnectedModule();
        Point(*module);
        Write("030_kenyszer.sql", "CREATE TABLE kenyszer_proba (a int);");

        EXPECT_EQ(Run(*module), (std::vector<Outcome>{{"030_kenyszer.sql", c.outcome}}));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].caption, "Más kliensek a rendszerben.");
        EXPECT_EQ(ui.messages[0].text,
                  "Az új verzióra való átállás során nem lehet más kliens nem lehet aktív!\r"
                  "Jelenleg a következő felhasználók vannak a rendszerben: \rNagy Péter\r\r"
                  "Gondoskodjon arról, hogy a fenti felhasználók elhagyják a rendszert és "
                  "indítsa újra a programot!");
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0].caption, "Kényszerített frissítés");
        EXPECT_EQ(ui.questions[0].text,
                  "A figyelmeztetés ellenére megpróbálja - a felhasználók jelenléte mellett - a "
                  "frissítést elvégezni?");
        EXPECT_EQ(TableExists("kenyszer_proba"), c.applied);
        EXPECT_EQ(module->ZConnection.Connected(), c.applied);
        EXPECT_EQ(ui.TerminateRequested(), !c.applied);
        EXPECT_EQ(module->UpdateScriptRefusal(),
                  c.applied ? ""
                            : "A frissítés elmaradt, más felhasználók vannak a rendszerben: "
                              "Nagy Péter");
    }
    Exec("DELETE FROM _currentip");
}

TEST_F(ScriptsTest, FolderThatCannotBeWrittenDoesNotStopTheStart) {
    Exec(
        "INSERT INTO _scriptlog (script, datum, ido, statusz) "
        "VALUES ('040_telepitett.sql', current_date, '8:00:00', 1)");
    Write("040_telepitett.sql", "SELECT 1;");
    const std::string chattr = "chattr +i '" + folder_.Str() + "' 2>/dev/null";
    if (std::system(chattr.c_str()) != 0) {
        GTEST_SKIP() << "the file system cannot make the folder read-only";
    }
    struct Unlock {
        std::string folder;
        ~Unlock() { (void)std::system(("chattr -i '" + folder + "'").c_str()); }
    } unlock{folder_.Str()};

    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"040_telepitett.sql", "already-applied"}}));
    EXPECT_TRUE(Exists("040_telepitett.sql"));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_TRUE(Contains(ui_.messages[0].text, "040_telepitett.sql"));
    EXPECT_EQ(ui_.messages[0].text.find('\r'), std::string::npos) << "one line";
    EXPECT_TRUE(dm->ZConnection.Connected());
    EXPECT_FALSE(ui_.TerminateRequested());
}

TEST_F(ScriptsTest, SessionSettingsOfAScriptDoNotOutliveIt) {
    const char* kSession =
        "SELECT current_setting('search_path') || '|' || current_setting('client_encoding') || "
        "'|' || current_setting('lock_timeout') || '|' || current_setting('DateStyle') || '|' || "
        "current_setting('statement_timeout') || '|' || current_user || '|' || "
        "(SELECT count(*) FROM pg_prepared_statements) || '|' || "
        "(SELECT count(*) FROM pg_class WHERE relnamespace = pg_my_temp_schema())";
    const std::string before = dm->GetSQLResult(kSession);
    Write("070_beallitas.sql",
          "SET search_path = pg_catalog;\n"
          "SET client_encoding = 'LATIN2';\n"
          "SET lock_timeout = '1s';\n"
          "SET statement_timeout = 12345;\n"
          "SET DateStyle = 'German';\n"
          "SET ROLE pg_read_all_data;\n"
          "RESET ROLE;\n"
          "CREATE TEMP TABLE ideiglenes_proba (a int);\n"
          "PREPARE elokeszitett AS SELECT 1;\n"
          "CREATE TABLE public.beallitas_proba (a int);\n");
    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"070_beallitas.sql", "applied"}}));
    EXPECT_TRUE(TableExists("beallitas_proba"));
    EXPECT_EQ(dm->GetSQLResult(kSession), before);
    // The module's dates are still read in its own style.
    EXPECT_EQ(dm->GetSQLResult("SELECT DATE '2026-05-05'"), "2026-05-05");
}

TEST_F(ScriptsTest, AScriptWaitingTooLongForALockIsTriedAgainLater) {
    Exec("CREATE TABLE zarolt_proba (a int)");
    db::Connection other("other");
    other.SetParams(DatabaseParams());
    other.Connect();
    other.Execute("BEGIN; LOCK TABLE zarolt_proba IN ACCESS EXCLUSIVE MODE");
    dm->updateScripts_.ScriptLockTimeout = std::chrono::milliseconds(300);
    Write("080_zarolt.sql", "ALTER TABLE zarolt_proba ADD COLUMN b int;\n");
    Write("081_utana.sql", "CREATE TABLE utana_proba (a int);\n");

    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"080_zarolt.sql", "postponed"},
                                              {"081_utana.sql", "skipped"}}));
    EXPECT_EQ(Status("080_zarolt.sql"), "") << "not logged";
    EXPECT_FALSE(TableExists("utana_proba")) << "a later script waits for the postponed one";
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text,
              "A frissítő szkript túl sokáig várt egy zárolásra, a következő indításkor újra "
              "lefut: 080_zarolt.sql");

    other.Execute("ROLLBACK");
    EXPECT_EQ(Run(*dm),
              (std::vector<Outcome>{{"080_zarolt.sql", "applied"}, {"081_utana.sql", "applied"}}));
    EXPECT_EQ(Status("080_zarolt.sql"), "1");
}

TEST_F(ScriptsTest, WarningsOfAScriptAreShownOneLineEach) {
    Write("090_figyelmeztet.sql",
          "DO $$ BEGIN\n"
          "  RAISE WARNING 'első sor%', E'\\nmásodik sor';\n"
          "  RAISE NOTICE 'ez csak megjegyzés';\n"
          "END $$;\n");
    const std::vector<Outcome> outcome = Run(*dm);
    ASSERT_EQ(outcome.size(), 1u);
    EXPECT_EQ(outcome[0].second, "applied");
    EXPECT_EQ(dm->updateScripts_.Outcomes()[0].note, "első sor második sor");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].caption, "Dorvan dialog");
    EXPECT_EQ(ui_.messages[0].text, "090_figyelmeztet.sql: első sor második sor");
    EXPECT_EQ(Status("090_figyelmeztet.sql"), "1");
}

TEST_F(ScriptsTest, AScriptThatEndsTheTransactionItselfIsRefused) {
    struct Case {
        const char* script;
        const char* text;
        const char* note;
    };
    const Case cases[] = {
        {"100_sajat.sql", "BEGIN;\nCREATE TABLE sajat_proba (a int);\nCOMMIT;\n",
         "refused: the script ends the transaction itself (BEGIN in line 1); nothing of it was "
         "run"},
        {"101_felig.sql", "CREATE TABLE felig_proba (a int);\nCOMMIT;\nSELECT nincs_ilyen;\n",
         "refused: the script ends the transaction itself (COMMIT in line 2); nothing of it was "
         "run"},
    };
    for (const Case& c : cases) {
        Write(c.script, c.text);
    }
    Run(*dm);
    const std::vector<TScriptOutcome>& outcomes = dm->updateScripts_.Outcomes();
    ASSERT_EQ(outcomes.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(cases[i].script);
        EXPECT_EQ(outcomes[i].kind, TScriptOutcomeKind::Failed);
        EXPECT_EQ(outcomes[i].note, cases[i].note);
        EXPECT_EQ(Status(cases[i].script), "0");
    }
    EXPECT_FALSE(TableExists("sajat_proba"));
    EXPECT_FALSE(TableExists("felig_proba"));

    // Forgetting the failure lets the mended script run at the next start.
    EXPECT_TRUE(dm->updateScripts_.RetryScript("101_felig.sql"));
    EXPECT_FALSE(dm->updateScripts_.RetryScript("101_felig.sql"));
    Write("101_felig.sql", "CREATE TABLE felig_proba (a int);\n");
    Run(*dm);
    EXPECT_EQ(Status("101_felig.sql"), "1");
    EXPECT_TRUE(TableExists("felig_proba"));
    EXPECT_FALSE(dm->updateScripts_.RetryScript("101_felig.sql")) << "applied, not failed";
}

// An installed program's scripts folder belongs to the package manager: applied scripts stay
// there and the script log alone keeps them from running again, without a word at any start.
TEST_F(ScriptsTest, PackagedFolderKeepsAppliedScriptsQuietly) {
    dm->updateScripts_.KeepAppliedScripts = true;
    Exec(
        "INSERT INTO _scriptlog (script, datum, ido, statusz) "
        "VALUES ('050_regi.sql', current_date, '8:00:00', 1)");
    Write("050_regi.sql", "CREATE TABLE nem_futhat (a int);");
    Write("060_uj.sql", "CREATE TABLE csomag_tabla (a int);");

    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"050_regi.sql", "already-applied"},
                                              {"060_uj.sql", "applied"}}));
    EXPECT_EQ(Run(*dm), (std::vector<Outcome>{{"050_regi.sql", "already-applied"},
                                              {"060_uj.sql", "already-applied"}}));
    EXPECT_TRUE(Exists("050_regi.sql"));
    EXPECT_TRUE(Exists("060_uj.sql"));
    EXPECT_FALSE(TableExists("nem_futhat"));
    EXPECT_TRUE(TableExists("csomag_tabla"));
    EXPECT_EQ(Status("060_uj.sql"), "1");
    EXPECT_TRUE(ui_.messages.empty()) << ui_.messages[0].text;
}

}  // namespace
}  // namespace dorvan::test
