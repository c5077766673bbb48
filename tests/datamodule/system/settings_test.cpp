// Settings and owner record: the settings row of a new user, the colour-scheme repair and the
// completion of the global settings row.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "support/dm_fixture.h"

namespace dorvan::test {
namespace {

class SettingsTest : public DmFixture {
  protected:
    void SetUp() override {
        DmFixture::SetUp();
        Exec("TRUNCATE _setup, _setup_main, tulajdonos RESTART IDENTITY");
    }
};

TEST_F(SettingsTest, NewUserGetsRowWithDefaultsAndEveryRight) {
    const std::string user = "O'Brien";
    dm->SetSetup(user);

    auto row = dm->GetSQLResultTable("select * from _setup where userid = :u", {{"u", user}});
    ASSERT_EQ(row->RecordCount(), 1);
    struct Expected {
        const char* column;
        const char* value;
    };
    const Expected expected[] = {
        {"color_main", "1"},
        {"lang", "0000040E"},
        {"allwindowsmaximalized", "0"},
        {"showwindowtitles", "1"},
        {"datareclimit", "50"},
        {"multilangmode", "0"},
        {"nyugta_mozgasnem", "0"},
        {"nyugta_kiallitomezo_modosithato", "1"},
        {"nyugta_mozgasnemmezo_modosithato", "1"},
        {"nyugta_partnermezo_modosithato", "1"},
        {"termekkereses_szuressel", "1"},
        {"partnerkereses_szuressel", "1"},
        {"beszerzesiar_lathato", "1"},
        {"szallito_mozgasnemmezo_modosithato", "1"},
        {"szamla_mozgasnemmezo_modosithato", "1"},
        {"bizatadas_mozgasnemmezo_modosithato", "1"},
        {"projektfelhasznalas_mozgasnemmezo_modosithato", "1"},
        {"felvasarlasijegy_mozgasnemmezo_modosithato", "1"},
        // Not among the new user's switches: the table's own value.
        {"szamla_kiallitomezo_modosithato", "0"},
        {"vonalkodos_tkereses_szuressel", "0"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.column);
        EXPECT_EQ(row->FieldByName(e.column).AsString(), e.value);
    }
    int rights = 0;
    for (int i = 0; i < row->FieldCount(); ++i) {
        const db::Field& f = row->Fields(i);
        if (f.FieldName().find("_jog_") == std::string::npos)
            continue;
        ++rights;
        SCOPED_TRACE(f.FieldName());
        EXPECT_EQ(f.AsInteger(), 1);
    }
    EXPECT_EQ(rights, 37 * 3 + 1);

    // The module's query now shows this user's row; a second call creates no other row.
    EXPECT_EQ(dm->_setupSQL.FieldByName("userid").AsString(), user);
    EXPECT_EQ(dm->UserLang(), "0000040E");
    dm->SetSetup(user);
    EXPECT_EQ(Count("select count(*) from _setup"), 1);
}

TEST_F(SettingsTest, ColourSchemeOutsideOneToFourIsReset) {
    struct Case {
        int stored;
        int expected;
    };
    const Case cases[] = {{0, 1}, {7, 1}, {-3, 1}, {1, 1}, {4, 4}, {2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        Exec("DELETE FROM _setup");
        Exec("INSERT INTO _setup (userid, color_main, lang) VALUES ('anna', " +
             std::to_string(c.stored) + ", '00000409')");
        dm->SetSetup("anna");
        EXPECT_EQ(dm->_setupSQL.FieldByName("color_main").AsInteger(), c.expected);
        EXPECT_EQ(Scalar("select color_main from _setup where userid = 'anna'"),
                  std::to_string(c.expected));
        EXPECT_EQ(dm->UserLang(), "00000409");
        EXPECT_EQ(Count("select count(*) from _setup"), 1);
    }
}

TEST_F(SettingsTest, SettingsRowBelongsToTheUserAskedFor) {
    Exec(
        "INSERT INTO _setup (userid, color_main, lang) VALUES ('anna', 2, '00000409'),"
        " ('bela', 3, '00000407')");
    dm->SetSetup("bela");
    EXPECT_EQ(dm->UserLang(), "00000407");
    dm->SetSetup("anna");
    EXPECT_EQ(dm->UserLang(), "00000409");
    // Letter case counts: "Anna" is another user.
    dm->SetSetup("Anna");
    EXPECT_EQ(dm->UserLang(), "0000040E");
    EXPECT_EQ(Count("select count(*) from _setup"), 3);
}

TEST_F(SettingsTest, SigningInAKnownUser) {
    Exec("DELETE FROM munkatars WHERE userid IN ('O''Neill', 'angol')");
    Exec("INSERT INTO munkatars (userid, nev) VALUES ('O''Neill', 'O''Neill Ír'), ('angol', 'A')");
    Exec("INSERT INTO _setup (userid, color_main, lang) VALUES ('angol', 2, '00000409')");
    struct Case {
        const char* user;
        bool known;
        const char* lang;  // of the signed-in user afterwards
    };
    const Case cases[] = {
        {"angol", true, "00000409"},
        // Unknown or empty: refused, the user signed in before stays.
        {"nincs ilyen", false, "00000409"},
        {"", false, "00000409"},
        {"ANGOL", false, "00000409"},
        // Known, without a settings row yet: one is made.
        {"O'Neill", true, "0000040E"},
    };
    std::string signedIn = MainTable().UserID;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        EXPECT_EQ(dm->SignIn(c.user), c.known);
        if (c.known)
            signedIn = c.user;
        EXPECT_EQ(MainTable().UserID, signedIn);
        EXPECT_EQ(dm->UserLang(), c.lang);
    }
    EXPECT_EQ(Count("select count(*) from _setup where userid = 'O''Neill'"), 1);
    Exec("DELETE FROM munkatars WHERE userid IN ('O''Neill', 'angol')");
    MainTable().UserID.clear();
}

TEST_F(SettingsTest, EmptyGlobalSettingsGetOneRowWithEveryDefault) {
    dm->_setup_mainSQL.Open();
    ASSERT_EQ(Count("select count(*) from _setup_main"), 1);
    auto row = dm->GetSQLResultTable("select * from _setup_main");
    struct Expected {
        const char* column;
        const char* value;
    };
    const Expected expected[] = {
        {"nyugta_cime", "Nyugta kísérő"},
        {"fajta1_nev", "Fajta 1."},
        {"fajta2_nev", "Fajta 2."},
        {"fajta3_nev", "Fajta 3."},
        {"fajta4_nev", "Fajta 4."},
        {"fajta5_nev", "Fajta 5."},
        {"fajta6_nev", "Fajta 6."},
        {"tetel_nevsor2", "2. sor"},
        {"tetel_nevsor3", "3. sor"},
        {"tetel_nevsor4", "4. sor"},
        {"tetel_megnevezes", "000001234"},
        {"deviza_nev", "HUF"},
        {"tetel_kep_max_meret", "50"},
        {"arazasimod", "1"},
        {"szamla_bizonylat_hivatkozas_szallito", "1"},
        {"szamla_bizonylat_hivatkozas_projektszallito", "1"},
        {"fizetesi_hatarido_automatikus_szamitas", "2"},
        {"profromaszamla_peldanyszam", "1"},
        {"kimenomegrendeles_peldanyszam", "1"},
        {"penztarbiz_peldanyszam", "1"},
        {"penztarbiz_ki_peldanyszam", "1"},
        {"penztarbiz_be_nyomtatas_letrejottekor", "1"},
        {"penztarbiz_ki_nyomtatas_letrejottekor", "1"},
        {"penztarbiz_kezeles_azonnaliszamla_eseten", "2"},
        {"arajanlat_peldanyszam", "1"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.column);
        EXPECT_EQ(row->FieldByName(e.column).AsString(), e.value);
        EXPECT_EQ(dm->_setup_mainSQL.FieldByName(e.column).AsString(), e.value);
    }
    // Reopening finds the row complete and adds none.
    dm->_setup_mainSQL.Close();
    dm->_setup_mainSQL.Open();
    EXPECT_EQ(Count("select count(*) from _setup_main"), 1);
}

TEST_F(SettingsTest, StoredGlobalValuesStayAndOnlyNullOrZeroGetDefaults) {
    Exec(
        "INSERT INTO _setup_main (nyugta_cime, deviza_nev, fizetesi_hatarido_automatikus_szamitas,"
        " tetel_kep_max_meret, arazasimod, penztarbiz_peldanyszam, arajanlat_peldanyszam)"
        " VALUES ('Pénztárbizonylat', 'EUR', 0, 0, 3, 0, 4)");
    dm->_setup_mainSQL.Open();
    auto row = dm->GetSQLResultTable("select * from _setup_main");
    struct Expected {
        const char* column;
        const char* value;
    };
    const Expected expected[] = {
        {"nyugta_cime", "Pénztárbizonylat"},
        {"deviza_nev", "EUR"},
        {"fizetesi_hatarido_automatikus_szamitas", "0"},  // only null is replaced
        {"tetel_kep_max_meret", "50"},                    // 0 means "not set"
        {"arazasimod", "3"},
        {"penztarbiz_peldanyszam", "0"},
        {"arajanlat_peldanyszam", "4"},
        {"kimenomegrendeles_peldanyszam", "1"},
        {"fajta3_nev", "Fajta 3."},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.column);
        EXPECT_EQ(row->FieldByName(e.column).AsString(), e.value);
    }
    EXPECT_EQ(Count("select count(*) from _setup_main"), 1);
}

// The first workstation writes inside a transaction it has not committed yet; the second
// one's insert waits for it, is refused by the table's key, and the second one reads the row
// the first one stored.
TEST_F(SettingsTest, TwoWorkstationsCompletingAnEmptyTableStoreOneRow) {
    auto other = ConnectedDm();
    dm->ZConnection.StartTransaction();
    dm->_setup_mainSQL.Open();
    auto second = std::async(std::launch::async, [&] { other->_setup_mainSQL.Open(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    dm->ZConnection.Commit();
    second.get();
    EXPECT_EQ(Count("select count(*) from _setup_main"), 1);
    EXPECT_EQ(other->_setup_mainSQL.RecordCount(), 1);
    EXPECT_EQ(other->_setup_mainSQL.FieldByName("kod").AsInteger(),
              dm->_setup_mainSQL.FieldByName("kod").AsInteger());
    EXPECT_EQ(other->_setup_mainSQL.FieldByName("deviza_nev").AsString(), "HUF");
}

TEST_F(SettingsTest, TwoWorkstationsCreatingTheSameUserStoreOneRow) {
    auto other = ConnectedDm();
    dm->ZConnection.StartTransaction();
    dm->SetSetup("uj");
    auto second = std::async(std::launch::async, [&] { other->SetSetup("uj"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    dm->ZConnection.Commit();
    second.get();
    EXPECT_EQ(Count("select count(*) from _setup"), 1);
    EXPECT_EQ(other->_setupSQL.FieldByName("kod").AsInteger(),
              dm->_setupSQL.FieldByName("kod").AsInteger());
    EXPECT_EQ(other->UserLang(), "0000040E");
}

TEST_F(SettingsTest, OwnerRecordIsReadByColumnName) {
    Exec("INSERT INTO tulajdonos (nev1, adoszam, partner_kod) VALUES ('Kft. ''A''', '1-2-3', 7)");
    dm->TulajdonosZQuery.Open();
    EXPECT_EQ(dm->TulajdonosZQuery.FieldByName("nev1").AsString(), "Kft. 'A'");
    EXPECT_EQ(dm->TulajdonosZQuery.FieldByName("PARTNER_KOD").AsInteger(), 7);
}

TEST_F(SettingsTest, CentralQueriesAreInTheModuleListForTheBulkOpen) {
    struct Case {
        const db::DataSet* query;
        bool bulkOpened;
    };
    const Case cases[] = {{&dm->TulajdonosZQuery, true},
                          {&dm->_setup_mainSQL, true},
                          {&dm->Lang_textZQuery, true},
                          {&dm->_setupSQL, false},
                          {&dm->GetAfaInfoZQuery, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query->Name());
        int found = 0;
        for (const db::DataSet* q : dm->Queries)
            found += q == c.query ? 1 : 0;
        EXPECT_EQ(found, 1);
        EXPECT_EQ(c.query->Tag() >= 0 && c.query->Tag() != 10, c.bulkOpened);
    }
}

}  // namespace
}  // namespace dorvan::test
