// The program on the product's own database. This program's database is made as a shop's
// is (sql/product_schema.sql, the release's update scripts through the start-up's update
// step, then the demo data); the tests compare it with sql/schema.sql object by object, run
// dorvan-cli's services on it, and start dorvan-cli as processes on fresh product databases:
// rows written before that break a unique key (duplicate serials, two "< üres >" rows, ...),
// a hostile scripts folder, and several start-ups at the same moment.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/print/print_cli_fixture.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/release_scripts.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

using Env = std::vector<std::pair<std::string, std::string>>;

// One object facet per line: tables, columns in order with their types, defaults and null
// rules, constraints, indexes, sequences and their owners, functions with their signatures
// and bodies, triggers, composite types and views of the schema "public".
constexpr const char* kCatalogSql = R"SQL(
SELECT line FROM (
  SELECT 'table ' || c.relname AS line
    FROM pg_class c WHERE c.relnamespace = 'public'::regnamespace AND c.relkind IN ('r', 'p')
  UNION ALL
  SELECT format('column %s.%s #%s %s%s%s', c.relname, a.attname,
                row_number() OVER (PARTITION BY c.oid ORDER BY a.attnum),
                format_type(a.atttypid, a.atttypmod),
                CASE WHEN a.attnotnull THEN ' not null' ELSE '' END,
                coalesce(' default ' || pg_get_expr(d.adbin, d.adrelid), ''))
    FROM pg_attribute a
    JOIN pg_class c ON c.oid = a.attrelid
    LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum
   WHERE c.relnamespace = 'public'::regnamespace AND c.relkind IN ('r', 'p')
     AND a.attnum > 0 AND NOT a.attisdropped
  UNION ALL
  SELECT format('constraint %s.%s %s', c.relname, k.conname, pg_get_constraintdef(k.oid))
    FROM pg_constraint k JOIN pg_class c ON c.oid = k.conrelid
   WHERE c.relnamespace = 'public'::regnamespace
  UNION ALL
  SELECT format('index %s', pg_get_indexdef(i.oid))
    FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid
   WHERE i.relnamespace = 'public'::regnamespace
  UNION ALL
  SELECT format('sequence %s %s start %s increment %s owned by %s', s.relname,
                format_type(q.seqtypid, NULL), q.seqstart, q.seqincrement,
                coalesce((SELECT t.relname || '.' || a.attname
                            FROM pg_depend dp
                            JOIN pg_class t ON t.oid = dp.refobjid
                            JOIN pg_attribute a ON a.attrelid = dp.refobjid
                                               AND a.attnum = dp.refobjsubid
                           WHERE dp.classid = 'pg_class'::regclass AND dp.objid = s.oid
                             AND dp.deptype IN ('a', 'i')), '-'))
    FROM pg_class s JOIN pg_sequence q ON q.seqrelid = s.oid
   WHERE s.relnamespace = 'public'::regnamespace
  UNION ALL
  SELECT 'function ' || pg_get_functiondef(p.oid)
    FROM pg_proc p WHERE p.pronamespace = 'public'::regnamespace AND p.prokind IN ('f', 'p')
  UNION ALL
  SELECT 'trigger ' || pg_get_triggerdef(t.oid)
    FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid
   WHERE c.relnamespace = 'public'::regnamespace AND NOT t.tgisinternal
  UNION ALL
  SELECT format('type %s (%s)', c.relname,
                (SELECT string_agg(a.attname || ' ' || format_type(a.atttypid, a.atttypmod), ', '
                                   ORDER BY a.attnum)
                   FROM pg_attribute a WHERE a.attrelid = c.oid AND a.attnum > 0))
    FROM pg_class c WHERE c.relnamespace = 'public'::regnamespace AND c.relkind = 'c'
  UNION ALL
  SELECT format('view %s %s', c.relname, pg_get_viewdef(c.oid))
    FROM pg_class c WHERE c.relnamespace = 'public'::regnamespace AND c.relkind IN ('v', 'm')
) objects ORDER BY line
)SQL";

db::ConnectionParams ParamsOf(const std::string& database) {
    db::ConnectionParams p = DatabaseParams();
    p.database = database;
    return p;
}

std::vector<std::string> Catalog(const std::string& database) {
    db::Connection c("catalog");
    c.SetParams(ParamsOf(database));
    c.Connect();
    const db::Result r = c.Execute(kCatalogSql);
    std::vector<std::string> lines;
    for (int row = 0; row < r.Rows(); ++row) {
        lines.push_back(r.Text(row, 0));
    }
    return lines;
}

// The lines of `a` that `b` lacks.
std::string Missing(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> only;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(only));
    std::string text;
    for (const std::string& line : only) {
        text += "  " + line + "\n";
    }
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

int CountContaining(const std::vector<std::string>& lines, const std::string& part) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.find(part) != std::string::npos;
    }));
}

// The release's script names, sorted.
std::vector<std::string> ReleaseScripts() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(DORVAN_SOURCE_DIR) / "database_scripts")) {
        if (e.path().extension() == ".sql") {
            names.push_back(e.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A started dorvan-cli with its own environment overrides; Wait collects it, killing it
// when it runs longer than the limit (status -2 then).
class Child {
  public:
    Child(const std::vector<std::string>& args, const fs::path& cwd, const Env& env)
        : out_(cwd / (".out" + std::to_string(++counter_))),
          err_(cwd / (".err" + std::to_string(counter_))),
          started_(std::chrono::steady_clock::now()) {
        const std::string program = DORVAN_CLI;
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
    ProcessResult Wait(std::chrono::seconds limit = std::chrono::seconds(120)) {
        ProcessResult result;
        int status = 0;
        for (;;) {
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (done < 0) {
                break;
            }
            if (std::chrono::steady_clock::now() - started_ > limit) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                result.status = -2;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        elapsed_ = std::chrono::steady_clock::now() - started_;
        result.out = ReadText(out_);
        result.err = ReadText(err_);
        return result;
    }
    std::chrono::steady_clock::duration Elapsed() const { return elapsed_; }

  private:
    static inline int counter_ = 0;
    pid_t pid_ = -1;
    fs::path out_;
    fs::path err_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::duration elapsed_{};
};

class ProductDatabaseTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

    void SetUp() override { ASSERT_TRUE(installation_->EchoRunning()); }
    void TearDown() override {
        for (const std::string& name : databases_) {
            DropDatabase(Server(), name);
        }
    }

    // A database of its own for one test, holding the product's schema alone.
    std::string NewProductDatabase(const std::string& suffix) {
        const std::string name = DatabaseName() + "_" + suffix;
        databases_.push_back(name);
        CreateProductDatabase(Server(), name);
        return name;
    }

    // An installation folder (with a trailing "/") whose Dorvan.ini names `database`, with a
    // copy of the release's scripts in its database_scripts/ unless told otherwise.
    std::string ExeDirFor(const std::string& database, bool withScripts = true) {
        const fs::path dir = work_.Path() / ("exe" + std::to_string(++exeDirs_));
        fs::create_directories(dir / "database_scripts");
        IniFile ini((dir / kMainIniName).string());
        ini.WriteString("DataBase", "Host", Server().host);
        ini.WriteString("DataBase", "Port", std::to_string(Server().port));
        ini.WriteString("DataBase", "Database", database);
        ini.WriteString("DataBase", "User", Server().user);
        ini.WriteString("DataBase", "Password", Server().password);
        ini.WriteString("DataBase", "Protocol", "postgresql-8");
        if (withScripts) {
            CopyReleaseScripts(dir / "database_scripts");
        }
        return dir.string() + "/";
    }

    ProcessResult Cli(const std::vector<std::string>& args, const std::string& exeDir = {}) {
        return Child(args, work_.Path(), exeDir.empty() ? Env{} : Env{{"DORVAN_EXE_DIR", exeDir}})
            .Wait();
    }

    static std::string Scalar(const std::string& database, const std::string& sql) {
        db::Connection c("test");
        c.SetParams(ParamsOf(database));
        c.Connect();
        const db::Result r = c.Execute(sql);
        return r.Rows() > 0 ? r.Text(0, 0) : std::string();
    }
    static void Exec(const std::string& database, const std::string& sql) {
        RunScript(Server(), database, sql);
    }

    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
    std::vector<std::string> databases_;
    int exeDirs_ = 0;
};

std::unique_ptr<PrintInstallation> ProductDatabaseTest::installation_;

TEST_F(ProductDatabaseTest, AfterTheUpdateScriptsTheSchemaEqualsTheFullSchema) {
    const std::string full = DatabaseName() + "_full";
    databases_.push_back(full);
    CreateDatabase(Server(), full, true, false);

    const std::vector<std::string> expected = Catalog(full);
    const std::vector<std::string> built = Catalog(DatabaseName());
    ASSERT_GT(expected.size(), 500u);
    EXPECT_EQ(built, expected) << "only in product_schema.sql + database_scripts:\n"
                               << Missing(built, expected) << "only in schema.sql:\n"
                               << Missing(expected, built);

    // The scripts again, on a database that has everything already: they change nothing.
    ApplyReleaseScripts(Server(), full);
    const std::vector<std::string> again = Catalog(full);
    EXPECT_EQ(again, expected) << "added by running the scripts again:\n"
                               << Missing(again, expected) << "lost:\n"
                               << Missing(expected, again);
}

TEST_F(ProductDatabaseTest, ServicesWorkOnTheUpdatedProductDatabase) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"number", "5", "--date", "2032-02-02", "--count", "2"},
         "SZ2032/0000001\nSZ2032/0000002\n"},
        {{"cash-post", "5", "2032-02-02", "0", "1", "1500.5", "7", "--note", "O'Neill"},
         "2032/0000001\n"},
        {{"cash-post", "5", "2032-02-03", "0", "1", "20", "7"}, "2032/0000002\n"},
        {{"cash-reverse", "2032/0000001", "7", "2032-02-04"}, "2032/0000003\n"},
        {{"rate", "EUR", "2026-03-10"}, "401.5\n"},
        {{"price", "1", "6001", "--date", "2026-06-15"}, "4000\t5080\t1\tHUF\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }

    // The demo's invoice is reversed once; its reversal carries a number of the register.
    const ProcessResult reversed = Cli({"reverse", "4317"});
    EXPECT_EQ(reversed.status, 0) << reversed.err;
    const std::string key = Scalar(DatabaseName(),
                                   "select kod from raktar_mozgas_fej where "
                                   "sztornozott_bizonylat_kod = 4317");
    EXPECT_EQ(reversed.out, key + "\n");
    EXPECT_NE(
        Scalar(DatabaseName(), "select bizonylatszam from raktar_mozgas_fej where kod = " + key),
        "");
    EXPECT_EQ(Cli({"reverse", "4317"}).status, 3);
}

TEST_F(ProductDatabaseTest, TheReversalGuardHoldsWithoutItsIndex) {
    // A database where a document was reversed twice before cannot have the index: the
    // mark the reversal sets first still lets one of several clients through.
    Exec(DatabaseName(), "DROP INDEX raktar_mozgas_fej_sztornozott_egyszer");
    std::vector<std::unique_ptr<Child>> clients;
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<Child>(std::vector<std::string>{"reverse", "4320"},
                                                  work_.Path(), Env{}));
    }
    int done = 0;
    for (auto& c : clients) {
        const ProcessResult r = c->Wait();
        EXPECT_TRUE(r.status == 0 || r.status == 3) << r.status << " " << r.err;
        done += r.status == 0 ? 1 : 0;
    }
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Scalar(DatabaseName(),
                     "select count(*) from raktar_mozgas_fej where sztornozott_bizonylat_kod = "
                     "4320"),
              "1");
    EXPECT_EQ(Scalar(DatabaseName(),
                     "select frissites_egyedi_kulcs('raktar_mozgas_fej', "
                     "'raktar_mozgas_fej_sztornozott_egyszer', 'sztornozott_bizonylat_kod', "
                     "false, 'sztornozott_bizonylat_kod <> 0')"),
              "t");
}

TEST_F(ProductDatabaseTest, DuplicateSerialsDoNotStopTheStartUp) {
    const std::string db = NewProductDatabase("szszb");
    Exec(db,
         "INSERT INTO szszb (bizonylat_fajta, ev, szam, datum, ido) VALUES "
         "(5, 2026, 1, '2026-01-05', '08:00'), (5, 2026, 1, '2026-01-05', '08:01'), "
         "(5, 2026, 2, '2026-01-06', '09:00')");
    const std::string exe = ExeDirFor(db);

    // The first start-up applies the scripts and says once which serials are repeated.
    const ProcessResult first = Cli({"--verbose", "number", "5", "--date", "2026-05-05"}, exe);
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "2026/0000003\n");
    const std::vector<std::string> lines = Lines(first.err);
    EXPECT_EQ(CountContaining(lines, "szszb"), 1) << first.err;
    EXPECT_EQ(CountContaining(lines,
                              "szszb: ismétlődő kulcsértékek (bizonylat_fajta, ev, szam): "
                              "(5,2026,1);"),
              1)
        << first.err;

    // Nothing was deleted or renumbered; the key is missing; every script is logged.
    EXPECT_EQ(Scalar(db,
                     "select string_agg(szam::text, ',' order by szam, kod) from szszb "
                     "where bizonylat_fajta = 5 and ev = 2026"),
              "1,1,2,3");
    EXPECT_EQ(Scalar(db, "select to_regclass('szszb_bizonylat_fajta_ev_szam_key') is null"), "t");
    EXPECT_EQ(Scalar(db, "select count(*) from _scriptlog where statusz = 1"),
              std::to_string(ReleaseScripts().size()));

    // The next start-ups say nothing more and keep numbering from the largest serial, also
    // when several number at the same moment.
    const ProcessResult second = Cli({"number", "5", "--date", "2026-05-05", "--count", "2"}, exe);
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "2026/0000004\n2026/0000005\n");
    EXPECT_EQ(second.err, "");
    EXPECT_TRUE(fs::is_empty(fs::path(exe) / "database_scripts"));

    std::vector<std::unique_ptr<Child>> clients;
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<Child>(
            std::vector<std::string>{"number", "5", "--date", "2026-05-05", "--count", "5"},
            work_.Path(), Env{{"DORVAN_EXE_DIR", exe}}));
    }
    std::vector<std::string> numbers;
    for (auto& c : clients) {
        const ProcessResult r = c->Wait();
        EXPECT_EQ(r.status, 0) << r.err;
        for (const std::string& n : Lines(r.out)) {
            numbers.push_back(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::string> expected;
    for (int serial = 6; serial <= 25; ++serial) {
        expected.push_back("2026/" + std::string(7 - std::to_string(serial).size(), '0') +
                           std::to_string(serial));
    }
    EXPECT_EQ(numbers, expected);
}

TEST_F(ProductDatabaseTest, ServicesStayCorrectWithoutTheKeysOldRowsBreak) {
    const std::string db = NewProductDatabase("dupl");
    Exec(db,
         "INSERT INTO deviza (nev) VALUES ('EUR'), ('EUR');"
         "INSERT INTO deviza_arfolyam (deviza_nev, datum, huf_ertek) VALUES "
         "  ('EUR', '2026-01-02', 400), ('EUR', '2026-01-02', 401);"
         "INSERT INTO tetel_fajtak (fajta_kod, lang_0000040e, ures) VALUES "
         "  (4, '< üres >', 1), (4, '< üres >', 1);"
         "INSERT INTO _currentip (ip, host, local_ip) VALUES ('192.0.2.9', 'pult', '10.0.0.9'),"
         "  ('192.0.2.9', 'pult', '10.0.0.9');"
         "INSERT INTO esemeny_naplo (partner_kod, naploszam) VALUES (1, 1), (1, 1);"
         "INSERT INTO raktar_mozgas_fej (bizonylat_fajta, sztornozott_bizonylat_kod) VALUES "
         "  (5, 77), (5, 77);"
         "INSERT INTO _grids (userid, formname, columnname) VALUES ('anna', 'F', 'a'), "
         "  ('anna', 'F', 'a');"
         "INSERT INTO _reports (userid, reportname) VALUES ('anna', 'R'), ('anna', 'R');");

    // Four workstations start at the same moment: the scripts are applied once, each
    // warning about the key it leaves out; the start-up checks store the forint, its rate,
    // the empty category values and this computer's presence row once each.
    std::vector<std::string> exeDirs;
    std::vector<std::unique_ptr<Child>> clients;
    for (int i = 0; i < 4; ++i) {
        exeDirs.push_back(ExeDirFor(db));
        clients.push_back(std::make_unique<Child>(std::vector<std::string>{"sign", "--start"},
                                                  work_.Path(),
                                                  Env{{"DORVAN_EXE_DIR", exeDirs.back()}}));
    }
    for (auto& c : clients) {
        const ProcessResult r = c->Wait();
        EXPECT_EQ(r.status, 0) << r.err;
    }
    struct Fact {
        const char* what;
        const char* sql;
        const char* value;
    };
    const Fact facts[] = {
        {"keys left out",
         "select count(*) from unnest(array['deviza_nev_key', 'deviza_arfolyam_nap_key', "
         "'tetel_fajtak_ures_key', '_currentip_gep_key', 'esemeny_naplo_naploszam_key', "
         "'raktar_mozgas_fej_sztornozott_egyszer', '_grids_oszlop_key', '_reports_lista_key']) k "
         "where to_regclass(k) is null",
         "8"},
        {"forint", "select count(*) from deviza where nev = 'HUF'", "1"},
        {"euro rows kept", "select count(*) from deviza where nev = 'EUR'", "2"},
        {"forint rate", "select count(*) from deviza_arfolyam where deviza_nev = 'HUF'", "1"},
        {"empty values",
         "select string_agg(fajta_kod || ':' || n, ',' order by fajta_kod) from (select "
         "fajta_kod, count(*) n from tetel_fajtak where lang_0000040e = '< üres >' group by "
         "fajta_kod) x",
         "1:1,2:1,3:1,4:2,5:1,6:1"},
        {"presence rows", "select count(*) from _currentip where ip <> '192.0.2.9'", "1"},
        {"scripts logged once", "select count(*) = count(distinct script) from _scriptlog", "t"},
    };
    for (const Fact& f : facts) {
        SCOPED_TRACE(f.what);
        EXPECT_EQ(Scalar(db, f.sql), f.value);
    }

    // Clients numbering journal entries, saving layouts and seeding rates at the same moment.
    constexpr int kClients = 4;
    std::vector<std::string> errors(kClients);
    std::vector<int> reportKeys(kClients);
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i) {
        threads.emplace_back([&, i] {
            try {
                TDM dm;
                dm.ConnectLocal(ParamsOf(db));
                for (int n = 0; n < 5; ++n) {
                    dm.AddNew_Esemeny(1, "egyszerre", std::to_string(i), 0, "", "");
                }
                dm.SetGrid("anna", "F", "b", i, 10 * i, 1);
                reportKeys[static_cast<std::size_t>(i)] =
                    dm.SetReport("anna", "S", 1, i, 0, 0, 0, 0, 0);
                dm.DevizaCheckAndRebuild();
                dm.GetArfolyam("HUF", true, 1);  // 31 December 1899: seeds a rate
            } catch (const std::exception& e) {
                errors[static_cast<std::size_t>(i)] = e.what();
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (const std::string& e : errors) {
        EXPECT_EQ(e, "");
    }
    const Fact after[] = {
        {"journal numbers",
         "select count(distinct naploszam) || '/' || max(naploszam) from esemeny_naplo "
         "where partner_kod = 1 and naploszam > 1",
         "20/21"},
        {"one layout row", "select count(*) from _grids where columnname = 'b'", "1"},
        {"one report row", "select count(*) from _reports where reportname = 'S'", "1"},
        {"still one forint", "select count(*) from deviza where nev = 'HUF'", "1"},
        {"one forint rate per day",
         "select count(*) = count(distinct datum) from deviza_arfolyam where deviza_nev = 'HUF'",
         "t"},
    };
    for (const Fact& f : after) {
        SCOPED_TRACE(f.what);
        EXPECT_EQ(Scalar(db, f.sql), f.value);
    }
    EXPECT_EQ(std::count(reportKeys.begin(), reportKeys.end(), reportKeys.front()), kClients);
}

TEST_F(ProductDatabaseTest, AHostileScriptsFolderDoesNotHoldUpTheStartUp) {
    const std::string db = NewProductDatabase("hostile");
    const std::string exe = ExeDirFor(db, false);
    const fs::path scripts = fs::path(exe) / "database_scripts";
    WriteText(scripts / "010_sajat_tranzakcio.sql",
              "BEGIN;\nCREATE TABLE sajat_tranzakcio (a int);\nCOMMIT;\n");
    ASSERT_EQ(::mkfifo((scripts / "020_cso.sql").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", scripts / "025_nulla.sql");
    fs::create_directory(scripts / "027_mappa.sql");
    // A name and a text in code page 1250 ("030_árfolyam.sql", "árvíztűrő").
    WriteText(scripts / "030_\xE1rfolyam.sql",
              "CREATE TABLE arfolyam_proba (szoveg text);\n"
              "INSERT INTO arfolyam_proba VALUES ('\xE1rv\xEDzt\xFBr\xF5');\n");
    WriteText(scripts / "040_sima.sql",
              "SET search_path = pg_catalog, public;\nCREATE TABLE public.sima_proba (a int);\n");

    Child child({"update-scripts"}, work_.Path(), {{"DORVAN_EXE_DIR", exe}});
    const ProcessResult r = child.Wait(std::chrono::seconds(60));
    EXPECT_LT(child.Elapsed(), std::chrono::seconds(20));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out,
              "failed\t010_sajat_tranzakcio.sql\trefused: the script ends the transaction itself "
              "(BEGIN in line 1); nothing of it was run\n"
              "skipped\t020_cso.sql\ta FIFO, not a file\n"
              "skipped\t025_nulla.sql\ta device, not a file\n"
              "skipped\t027_mappa.sql\ta folder, not a file\n"
              "applied\t030_árfolyam.sql\n"
              "applied\t040_sima.sql\n");
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find("--retry 010_sajat_tranzakcio.sql"), std::string::npos) << r.err;

    struct Fact {
        const char* what;
        const char* sql;
        const char* value;
    };
    const Fact facts[] = {
        {"the refused script left nothing", "select to_regclass('sajat_tranzakcio') is null", "t"},
        {"log", "select string_agg(script || '=' || statusz, ',' order by script) from _scriptlog",
         "010_sajat_tranzakcio.sql=0,030_árfolyam.sql=1,040_sima.sql=1"},
        {"text read as code page 1250", "select szoveg from arfolyam_proba", "árvíztűrő"},
        {"plain script", "select to_regclass('public.sima_proba') is not null", "t"},
    };
    for (const Fact& f : facts) {
        SCOPED_TRACE(f.what);
        EXPECT_EQ(Scalar(db, f.sql), f.value);
    }

    // The next start removes the applied files (by their names on disk) and leaves the rest.
    const ProcessResult next = Child({"update-scripts"}, work_.Path(), {{"DORVAN_EXE_DIR", exe}})
                                   .Wait(std::chrono::seconds(60));
    EXPECT_FALSE(fs::exists(scripts / "030_\xE1rfolyam.sql"));
    EXPECT_FALSE(fs::exists(scripts / "040_sima.sql"));
    EXPECT_TRUE(fs::exists(scripts / "010_sajat_tranzakcio.sql"));
    EXPECT_NE(next.out.find("failed-before\t010_sajat_tranzakcio.sql"), std::string::npos)
        << next.out;
}

TEST_F(ProductDatabaseTest, AFailedScriptIsTriedAgainOnRequest) {
    const std::string db = NewProductDatabase("retry");
    const std::string exe = ExeDirFor(db, false);
    const fs::path script = fs::path(exe) / "database_scripts" / "050_javitando.sql";
    WriteText(script, "CREATE TABLE javitando (a int);\nSELECT nincs_ilyen FROM javitando;\n");

    const ProcessResult failed = Cli({"update-scripts"}, exe);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err,
              "1 frissítő szkript hibával leállt: 050_javitando.sql; javítás után újra lefut: "
              "dorvan-cli update-scripts --retry 050_javitando.sql\n");

    WriteText(script, "CREATE TABLE javitando (a int);\n");
    EXPECT_EQ(Cli({"update-scripts"}, exe).out, "failed-before\t050_javitando.sql\tstatus 0\n");
    const ProcessResult retried = Cli({"update-scripts", "--retry", "050_javitando.sql"}, exe);
    EXPECT_EQ(retried.status, 0) << retried.err;
    EXPECT_EQ(retried.out, "applied\t050_javitando.sql\n");
    EXPECT_EQ(Scalar(db, "select statusz from _scriptlog where script = '050_javitando.sql'"), "1");

    // Only a failed script can be tried again.
    const ProcessResult refused = Cli({"update-scripts", "--retry", "050_javitando.sql"}, exe);
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "A frissítő szkript nincs sikertelenként naplózva: 050_javitando.sql\n");
}

TEST_F(ProductDatabaseTest, StartUpsAtTheSameMomentApplyEachScriptOnce) {
    for (const int workstations : {2, 4}) {
        SCOPED_TRACE(std::to_string(workstations) + " workstations");
        const std::string db = NewProductDatabase("egyszerre" + std::to_string(workstations));
        std::vector<std::unique_ptr<Child>> clients;
        for (int i = 0; i < workstations; ++i) {
            const std::string exe = ExeDirFor(db);
            // One more script whose second run would show: it counts its runs.
            WriteText(fs::path(exe) / "database_scripts" / "090_szamlalo.sql",
                      "CREATE TABLE IF NOT EXISTS futasok (n int);\n"
                      "INSERT INTO futasok VALUES (1);\n");
            clients.push_back(std::make_unique<Child>(std::vector<std::string>{"update-scripts"},
                                                      work_.Path(), Env{{"DORVAN_EXE_DIR", exe}}));
        }
        std::vector<std::string> lines;
        for (auto& c : clients) {
            const ProcessResult r = c->Wait();
            EXPECT_EQ(r.status, 0) << r.err;
            for (const std::string& l : Lines(r.out)) {
                lines.push_back(l);
            }
        }
        std::vector<std::string> scripts = ReleaseScripts();
        scripts.push_back("090_szamlalo.sql");
        for (const std::string& s : scripts) {
            SCOPED_TRACE(s);
            EXPECT_EQ(std::count(lines.begin(), lines.end(), "applied\t" + s), 1);
            EXPECT_EQ(std::count(lines.begin(), lines.end(), "already-applied\t" + s),
                      workstations - 1);
            EXPECT_EQ(Scalar(db,
                             "select count(*) || '/' || min(statusz) from _scriptlog where "
                             "script = '" +
                                 s + "'"),
                      "1/1");
        }
        EXPECT_EQ(lines.size(), scripts.size() * static_cast<std::size_t>(workstations));
        EXPECT_EQ(Scalar(db, "select count(*) from futasok"), "1");
    }
}

}  // namespace
}  // namespace dorvan::test
