// Per-user layouts, menu rights, passwords, template fields, record limits, data sources; key
// sequences, emptying the tables, address lookups and price formulas over unit prices.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/test_env.h"
#include "dm_projects_support.h"

namespace dorvan::test {
namespace {

constexpr const char* kUsers = R"SQL(
TRUNCATE munkatars, _grids, _reports, _reports_items, _menus, _buttons, partner RESTART IDENTITY;
INSERT INTO munkatars (kod, userid, pass, nev, superuser) VALUES
  (1, 'nagyp', 'titok', 'Nagy Péter', 1), (2, 'kiss', '', 'Kiss Anna', 0),
  (3, 'o''neil', 'x', 'O''Neil', 0);
INSERT INTO _menus (userid, menuitem, menuitemvisible) VALUES
  ('kiss', 'Szamlak1', 1), ('kiss', 'Rejtett1', -2), ('kiss', 'Sajat1', 5),
  ('kiss', 'Fjl1', -2);
INSERT INTO _buttons (button, iconno, caption, userid, menuobject) VALUES
  (2, 1, 'Számla', 'kiss', 'Szamlak1'), (1, 4, 'Kilépés', 'kiss', 'Kilps1'),
  (1, 4, 'Kilépés', 'nagyp', 'Kilps1');
INSERT INTO partner (kod, nev, iszam, telepules, cim) VALUES
  (5, 'Kovács Kft.', '5000', 'Szolnok', 'Fő út 1.'), (6, 'O''Neill ~P.nev~ Bt.', NULL, NULL, NULL);
)SQL";

class LayoutsTest : public DmAreaTest {
  protected:
    void SetUp() override {
        DmAreaTest::SetUp();
        Exec(kUsers);
    }
};

TEST_F(LayoutsTest, GridColumnStoredOnceAndWrittenOnlyWhenChanged) {
    TGridInfo info{7, 7, 7};
    dm->GetGrid("kiss", "PartnerForm", "nev", info);
    EXPECT_EQ(info.index, -1);
    EXPECT_EQ(info.width, -1);
    EXPECT_EQ(info.visible, -1);

    const std::string row =
        "select xmin::text from _grids where userid = 'kiss' and columnname = 'nev'";
    dm->SetGrid("kiss", "PartnerForm", "nev", 2, 120, 1);
    const std::string first = Scalar(row);
    dm->SetGrid("kiss", "PartnerForm", "nev", 2, 120, 1);
    EXPECT_EQ(Scalar(row), first) << "the second call wrote";
    EXPECT_EQ(Count("select count(*) from _grids"), 1);
    dm->GetGrid("kiss", "PartnerForm", "nev", info);
    EXPECT_EQ(info.index, 2);
    EXPECT_EQ(info.width, 120);
    EXPECT_EQ(info.visible, 1);

    dm->SetGrid("kiss", "PartnerForm", "nev", 3, 80, 0);
    EXPECT_NE(Scalar(row), first);
    dm->GetGrid("kiss", "PartnerForm", "nev", info);
    EXPECT_EQ(info.index, 3);
    EXPECT_EQ(info.width, 80);
    EXPECT_EQ(info.visible, 0);
    // Another user, another form: their own rows.
    dm->GetGrid("nagyp", "PartnerForm", "nev", info);
    EXPECT_EQ(info.index, -1);
    dm->SetGrid("o'neil", "Partner'Form", "név", 1, 1, 1);
    dm->GetGrid("o'neil", "Partner'Form", "név", info);
    EXPECT_EQ(info.width, 1);
    EXPECT_EQ(Count("select count(*) from _grids"), 2);
}

TEST_F(LayoutsTest, ReportLayoutsWithDefaultsAndColumns) {
    EXPECT_EQ(ReportCatalogueName(1), "IranyitoszamQuickRep");
    EXPECT_EQ(ReportCatalogueName(8), "PartnerQuickRep");
    EXPECT_EQ(ReportCatalogueName(87), "minimal_maximum_k_o_lista");
    EXPECT_EQ(ReportCatalogueName(88), "");
    EXPECT_EQ(ReportCatalogueName(0), "");

    TReportInfo report;
    report.kod = 99;
    dm->GetReport("kiss", 8, report);
    EXPECT_EQ(report.oriental, 0);
    EXPECT_EQ(report.page, 1);
    EXPECT_EQ(report.margin_left, 10);
    EXPECT_EQ(report.margin_right, 10);
    EXPECT_EQ(report.margin_top, 10);
    EXPECT_EQ(report.margin_bottom, 15);
    EXPECT_EQ(report.kod, -1);
    EXPECT_EQ(report.emptycol, 0);

    const int kod = dm->SetReport("kiss", "PartnerQuickRep", 1, 9, 5, 6, 7, 8, 1);
    EXPECT_GT(kod, 0);
    EXPECT_EQ(dm->SetReport("kiss", "PartnerQuickRep", 1, 9, 5, 6, 7, 20, 1), kod);
    dm->GetReport("kiss", 8, report);
    EXPECT_EQ(report.kod, kod);
    EXPECT_EQ(report.oriental, 1);
    EXPECT_EQ(report.page, 9);
    EXPECT_EQ(report.margin_left, 5);
    EXPECT_EQ(report.margin_bottom, 20);
    EXPECT_EQ(report.emptycol, 1);
    dm->GetReport("kiss", 9, report);
    EXPECT_EQ(report.kod, -1);

    TReportItemInfo item;
    dm->GetReportItem(kod, 3, item);
    EXPECT_EQ(item.fieldno, -1);
    EXPECT_EQ(item.fieldcheck, -1);
    EXPECT_EQ(item.size_min, 0);
    EXPECT_EQ(item.size_max, 0);
    dm->SetReportItem(kod, 3, 2, 1, 10, 40);
    dm->SetReportItem(kod, 3, 4, 1, 10, 50);
    dm->SetReportItem(kod, 5, 1, 0, 0, 0);
    dm->GetReportItem(kod, 3, item);
    EXPECT_EQ(item.fieldno, 4);
    EXPECT_EQ(item.fieldcheck, 1);
    EXPECT_EQ(item.size_max, 50);
    EXPECT_EQ(Count("select count(*) from _reports_items"), 2);
    dm->ClearAllReportItem(kod);
    dm->GetReportItem(kod, 3, item);
    EXPECT_EQ(item.fieldno, -1);
    EXPECT_EQ(Count("select count(*) from _reports_items"), 0);
}

TEST_F(LayoutsTest, MenuCodesForSuperuserAndNormalUser) {
    ScratchDir sys;
    const EnvVar sysEnv("DORVAN_SYSCONFDIR", sys.Str() + "/");
    struct Case {
        const char* user;
        const char* item;
        int code;
    };
    const Case cases[] = {
        {"nagyp", "UjMenupont1", 0},  // stored as a rule 0
        {"nagyp", "Munkatrs1", 0},
        {"nagyp", "Adatokkarbantartsa1", -2},
        {"kiss", "Fjl1", 3},
        {"kiss", "Kilps1", 3},
        {"kiss", "Munkatrs1", -2},
        {"kiss", "Belltsokkezelse1", -2},
        {"kiss", "Adatokkarbantartsa1", -2},
        {"kiss", "Szamlak1", 0},  // stored 1 reads 0
        {"kiss", "Rejtett1", -2},
        {"kiss", "Sajat1", 5},
        {"kiss", "Ismeretlen1", -1},
        {"nincs", "Szamlak1", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + c.item);
        EXPECT_EQ(dm->GetMenuVisible(c.user, c.item), c.code);
    }
    EXPECT_EQ(Count("select count(*) from _menus where userid = 'nagyp' and menuitem = "
                    "'UjMenupont1' and menuitemvisible = 0"),
              1);
    EXPECT_EQ(Count("select count(*) from _menus where userid = 'kiss'"), 4) << "no new rows";

    std::ofstream(DeveloperMarkerFile()) << "";
    EXPECT_EQ(dm->GetMenuVisible("nagyp", "Adatokkarbantartsa1"), 0);
    EXPECT_EQ(dm->GetMenuVisible("kiss", "Adatokkarbantartsa1"), -2);
}

TEST_F(LayoutsTest, ButtonsPasswordsDataSourcesAndLocalShare) {
    EXPECT_EQ(dm->GetButtonCount("kiss"), 2);
    EXPECT_EQ(dm->layoutsRights_.GetButtonSQL.FieldByName("caption").AsString(), "Kilépés");
    EXPECT_EQ(dm->GetButtonCount("nagyp"), 1);
    EXPECT_EQ(dm->GetButtonCount("senki"), 0);

    struct Case {
        const char* user;
        const char* password;
        bool stored;
    };
    const Case cases[] = {{"kiss", "új'jelszó", true},
                          {"o'neil", "", true},
                          {"KISS", "x", false},
                          {"senki", "x", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        EXPECT_EQ(dm->SetUserPassword(c.user, c.password), c.stored);
    }
    EXPECT_EQ(Scalar("select pass from munkatars where userid = 'kiss'"), "új'jelszó");

    db::MemTable a("a");
    db::MemTable b("b");
    auto& sources = dm->layoutsRights_.DataSources;
    sources = {{"aSource", &a, true}, {"bSource", &b, true}, {"a2Source", &a, true}};
    dm->StopDataSource(a, false);
    EXPECT_FALSE(sources[0].enabled);
    EXPECT_TRUE(sources[1].enabled);
    EXPECT_FALSE(sources[2].enabled);
    dm->StopDataSource(a, true);
    EXPECT_TRUE(sources[0].enabled);

    EXPECT_FALSE(dm->LocalShareIsTrue());
}

TEST_F(LayoutsTest, TemplateFieldsReadOnlyTheTemplateQueryAndTheVariables) {
    dm->Reset_RxMemoryData();
    db::MemTable& vars = dm->layoutsRights_.RxMemoryData;
    vars.Append();
    vars.FieldByName("mezonev").SetAsString("DATUM");
    vars.FieldByName("mezoertek").SetAsString("2026.12.10.");
    vars.Post();
    vars.Append();
    vars.FieldByName("mezonev").SetAsString("datum2");
    vars.FieldByName("mezoertek").SetAsString("kisbetűs");
    vars.Post();
    struct Case {
        int partner;
        const char* text;
        const char* result;
    };
    const Case cases[] = {
        {5, "Tisztelt ~P.nev~!", "Tisztelt Kovács Kft.!"},
        {5, "~ p . Nev ~, ~P.telepules~", "Kovács Kft., Szolnok"},
        {5, "~Partner.iszam~", "5000"},
        {5, "~P.kod~", "___ ___ ___ __5"},
        {5, "~P.nincs~", "{HIBÁS MEZŐ - P.nincs}"},
        {5, "~P.nev;droptabletetel~", "{HIBÁS MEZŐ - P.nev;droptabletetel}"},
        {5, "~X.nev~", "{HIBÁS MEZŐ - X.nev}"},
        {5, "Kelt: ~PRNVAR.datum~", "Kelt: 2026.12.10."},
        {5, "~DATUM~", "2026.12.10."},
        {5, "~PRNVAR.datum2~", "{HIBÁS MEZŐ - PRNVAR.datum2}"},
        {5, "~P.nev~~P.cim~", "Kovács Kft.Fő út 1."},
        {5, "csak ~ egy tilde", "csak ~ egy tilde"},
        {6, "~P.nev~ / ~P.telepules~.", "O'Neill ~P.nev~ Bt. / ."},
        {404, "~P.nev~", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        dm->ChangeFields(text, c.partner);
        EXPECT_EQ(text, c.result);
    }
    EXPECT_FALSE(dm->layoutsRights_.ZQueryPartner.Active());
    dm->Reset_RxMemoryData();
    EXPECT_EQ(vars.RecordCount(), 0);
}

TEST_F(LayoutsTest, RecordLimitLineAndNote) {
    dm->SetSetup("kiss");
    Exec("update _setup set datareclimit = 50 where userid = 'kiss'");
    dm->SetSetup("kiss");
    db::Query q(dm->ZConnection, "ListaSQL");
    q.SetSql({"select *", "  from tetel", "  order by kod"});
    struct Case {
        bool off;
        int page;
        std::size_t lines;  // of the statement afterwards
        const char* line;   // its last line
        const char* note;
    };
    const Case cases[] = {
        {false, 3, 4, "  LIMIT 50 OFFSET 150", "max. 50 tétel!"},
        {false, 0, 4, "  LIMIT 50", "max. 50 tétel!"},
        {false, 1, 4, "  LIMIT 50 OFFSET 50", "max. 50 tétel!"},
        {true, 0, 4, "", "limit kikapcsolva."},
        // The emptied line is no limit line any more: the limit is added again.
        {false, 2, 5, "  LIMIT 50 OFFSET 100", "max. 50 tétel!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string note;
        dm->SetDataRecLimit(q, note, c.off, c.page);
        ASSERT_EQ(q.Sql().size(), c.lines);
        EXPECT_EQ(q.Sql().back(), c.line);
        EXPECT_EQ(note, c.note);
    }
    q.Open();
    EXPECT_TRUE(q.Active());
}

// ---- maintenance ----

class MaintenanceTest : public DmAreaTest {};

TEST_F(MaintenanceTest, SequencesContinueAfterTheHighestStoredKey) {
    Exec(
        "TRUNCATE partner, raktar_mozgas_fej, partner_emailtar_bejegyzes, doc_fej RESTART IDENTITY;"
        "INSERT INTO partner (kod, nev) VALUES (1, 'a'), (2, 'b'), (3, 'c');"
        "INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta) VALUES (9500, 5);"
        "INSERT INTO partner_emailtar_bejegyzes (kod) VALUES (77);");
    const std::vector<TSequenceMove> moves = dm->SetValSequences();
    const auto valueOf = [&](const std::string& sequence) -> long long {
        for (const auto& m : moves) {
            if (m.sequence == sequence)
                return m.value;
        }
        return -1;
    };
    struct Case {
        const char* sequence;
        long long value;
    };
    const Case cases[] = {
        {"partner_kod_seq", 3},
        {"raktar_mozgas_fej_kod_seq", 9500},
        {"partner_emailtar_bejegyzes_kod_seq", 77},
        {"partner_email_lista_bejegyzes_kod_seq", 77},
        {"doc_fej_kod_seq", 1},
        {"naplo_tetel_egysegar_seq", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence);
        EXPECT_EQ(valueOf(c.sequence), c.value);
    }
    EXPECT_EQ(ui.progressHeader, "Sequences Testing ...");
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_GE(ui.duckMax, static_cast<int>(moves.size()));

    Exec(
        "INSERT INTO partner (nev) VALUES ('d'); INSERT INTO raktar_mozgas_fej (bizonylat_fajta) "
        "VALUES (4); INSERT INTO doc_fej (nev) VALUES ('e');");
    EXPECT_EQ(Scalar("select max(kod) from partner"), "4");
    EXPECT_EQ(Scalar("select max(kod) from raktar_mozgas_fej"), "9501");
    EXPECT_EQ(Scalar("select max(kod) from doc_fej"), "2");

    std::string text;
    EXPECT_EQ(dm->GetMaxKey("raktar_mozgas_fej", "kod", text), "9501");
    EXPECT_EQ(dm->GetMaxKey("wsh_co_country", "kod", text), "1");
    EXPECT_EQ(text, "1");
    EXPECT_THROW(dm->GetMaxKey("partner p,", "kod", text), std::invalid_argument);
    EXPECT_THROW(dm->EmptyTable("partner;"), std::invalid_argument);
}

TEST_F(MaintenanceTest, EmptyAllTablesOnlyWhenConfirmedAndAllAtOnce) {
    const std::string name = DatabaseName() + "_empty";
    CreateDatabase(Server(), name, true, true);
    {
        db::ConnectionParams params = DatabaseParams();
        params.database = name;
        auto scratch = ConnectedDmTo(params);
        const std::string rows = R"SQL(
select sum((xpath('/row/c/text()', query_to_xml(format('select count(*) as c from %I', relname),
       false, true, '')))[1]::text::int)
  from pg_class join pg_namespace on pg_namespace.oid = pg_class.relnamespace
  where relkind = 'r' and nspname = 'public')SQL";
        const int before = std::stoi(scratch->GetSQLResult(rows));
        ASSERT_GT(before, 0);

        EXPECT_FALSE(scratch->EmptyAllTables()) << "the safe answer is no";
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(std::stoi(scratch->GetSQLResult(rows)), before);

        ui.answers.push_back(true);
        EXPECT_TRUE(scratch->EmptyAllTables());
        EXPECT_EQ(scratch->GetSQLResult(rows), "0");
    }
    DropDatabase(Server(), name);
}

TEST_F(MaintenanceTest, AddressLookups) {
    Exec(
        "TRUNCATE wsh_co_city, wsh_co_country RESTART IDENTITY;"
        "INSERT INTO wsh_co_city (cit_name, cit_zip) VALUES ('Szolnok', '5000'), ('Szolnok', "
        "'5008'), ('Tiszaliget', '5000'), ('O''Town', '9999');"
        "INSERT INTO wsh_co_country (ctr_name) VALUES ('Szlovákia'), ('Ausztria'), ('Írország');");
    struct Case {
        const char* town;
        const char* zip;
    };
    const Case byTown[] = {{"Szolnok", "5000"}, {"O'Town", "9999"}, {"Sehol", ""}};
    for (const Case& c : byTown) {
        SCOPED_TRACE(c.town);
        std::string zip = "x";
        EXPECT_EQ(dm->GetIszam(c.town, zip), c.zip);
        EXPECT_EQ(zip, c.zip);
    }
    const Case byZip[] = {{"Szolnok", "5000"}, {"O'Town", "9999"}, {"", "1'0"}};
    for (const Case& c : byZip) {
        SCOPED_TRACE(c.zip);
        std::string town = "x";
        EXPECT_EQ(dm->GetTelepules(c.zip, town), c.town);
    }
    const std::vector<std::string> countries = dm->GetCountryList_from_database();
    ASSERT_EQ(countries.size(), 3u);
    EXPECT_EQ(countries[0], "Ausztria");
}

TEST_F(MaintenanceTest, FormulasOverTheItemsNamedUnitPrices) {
    Exec(
        "TRUNCATE egysegarak, tetel_egysegar RESTART IDENTITY;"
        "INSERT INTO egysegarak (kod, lang_0000040e) VALUES (1, 'Beszerzési ár'), (2, 'Lista ár'),"
        " (3, 'O''Brien ár');"
        "INSERT INTO tetel_egysegar (tetel_kod, egysegar_kod, egysegar) VALUES (1, 1, 800),"
        " (1, 2, 1250.4), (1, 3, 10), (2, 1, 99);");
    struct Variable {
        const char* name;
        int item;
        double value;
    };
    const Variable variables[] = {{"Lista ár", 1, 1250},
                                  {"Beszerzési ár", 1, 800},
                                  {"O'Brien ár", 1, 10},
                                  {"Lista ár", 2, 0},
                                  {"Nincs", 1, 0}};
    for (const Variable& v : variables) {
        SCOPED_TRACE(v.name);
        EXPECT_DOUBLE_EQ(dm->VariableEvaluation(v.name, v.item), v.value);
    }
    struct Formula {
        const char* text;
        int item;
        double value;
        bool error;
    };
    const Formula formulas[] = {
        {"[Lista ár] * 2 - [Beszerzési ár]", 1, 1700, false},
        {"([Lista ár] - [Beszerzési ár]) / [Beszerzési ár] * 100", 1, 56.25, false},
        {"[O'Brien ár] * 1,5", 1, 15, false},
        {"2 + 3 * 4", 1, 14, false},
        {"[Lista ár] + 1", 2, 0, true},
        {"[Nincs] + 1", 1, 0, true},
        {"[Beszerzési ár] / ([Lista ár] - 1250)", 1, 0, true},
        {"[Lista ár] *", 1, 0, true},
    };
    for (const Formula& f : formulas) {
        SCOPED_TRACE(f.text);
        if (f.error) {
            EXPECT_THROW(dm->FormulaEvaluation(f.text, f.item), FormulaError);
        } else {
            EXPECT_DOUBLE_EQ(dm->FormulaEvaluation(f.text, f.item), f.value);
        }
    }
}

}  // namespace
}  // namespace dorvan::test
