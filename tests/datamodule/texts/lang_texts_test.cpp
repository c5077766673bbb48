// Multi-language texts: lookups in the user's language, rows for keys never seen before,
// control captions, the memory copy, the language keys and the document-language table.

#include <gtest/gtest.h>

#include <string>

#include "config/lang_text.h"
#include "config/recording_ui.h"
#include "support/dm_fixture.h"

namespace dorvan::test {
namespace {

constexpr const char* kEnglish = "00000409";

class LangTextsTest : public DmFixture {
  protected:
    void SetUp() override {
        DmFixture::SetUp();
        Exec("TRUNCATE lang_text, lang_key, bizonylat_nyelv, _setup RESTART IDENTITY");
        Exec(
            "INSERT INTO _setup (userid, color_main, lang) VALUES ('hu', 1, '0000040E'),"
            " ('en', 1, '00000409'), ('de', 1, '00000407')");
        Exec(
            "INSERT INTO lang_text (lang_0000040e, lang_00000409, lang_00000407, lang_formname,"
            " lang_object_type, lang_object) VALUES"
            " ('Mentés', 'Save', 'Speichern', 'Form1', 'TEXT', 'mentes'),"
            " ('Törlés', '', NULL, 'Form1', 'TEXT', 'torles'),"
            " ('Név:', 'Name:', 'Name:', 'Form1', 'LABL', 'Label1'),"
            " ('Nettó ár', 'Net price', 'Nettopreis', 'Form1', 'GCOL', 'DBGrid1%netto_ar'),"
            " ('Magánszemély', 'Private person', 'Privatperson', 'Form1', 'RGIT', "
            "'RadioGroup1%1')");
    }

    int LangRows() { return Count("select count(*) from lang_text"); }
    int LangRows(const std::string& form, const std::string& key) {
        return std::stoi(
            Scalar("select count(*) from lang_text where lang_formname = :f and"
                   " lang_object = :k",
                   {{"f", form}, {"k", key}}));
    }
};

TEST_F(LangTextsTest, HungarianUserSeesDefaultAndUnseenKeyGetsRow) {
    dm->SetSetup("hu");
    std::string text = "régi";
    dm->GetLangText("Form1", "uj_kulcs", "Új szöveg", text);
    EXPECT_EQ(text, "Új szöveg");
    auto row = dm->GetSQLResultTable(
        "select * from lang_text where lang_formname = 'Form1' and lang_object = 'uj_kulcs'");
    ASSERT_EQ(row->RecordCount(), 1);
    EXPECT_EQ(row->FieldByName("lang_0000040e").AsString(), "Új szöveg");
    EXPECT_EQ(row->FieldByName("lang_00000409").AsString(), "???");
    EXPECT_EQ(row->FieldByName("lang_00000407").AsString(), "???");
    EXPECT_EQ(row->FieldByName("lang_object_type").AsString(), "TEXT");

    // Known key: the text written in the code wins for Hungarian users.
    dm->GetLangText("Form1", "mentes", "Mentés most", text);
    EXPECT_EQ(text, "Mentés most");
    dm->GetLangText("Form1", "uj_kulcs", "Új szöveg", text);
    EXPECT_EQ(LangRows("Form1", "uj_kulcs"), 1);
}

TEST_F(LangTextsTest, UserReadsStoredTextOfTheirLanguage) {
    struct Case {
        const char* user;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"en", "mentes", "Save"},
        {"de", "mentes", "Speichern"},
        {"hu", "mentes", "Mentés"},
        // A known key whose column is empty: the Hungarian default.
        {"en", "torles", "Törlés"},
        {"de", "torles", "Törlés"},
        // A key never seen: the default, and the new row says "???" for the others.
        {"en", "sosem_latott", "Törlés"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + c.key);
        dm->SetSetup(c.user);
        EXPECT_EQ(
            dm->GetLangText("Form1", c.key, c.key == std::string("mentes") ? "Mentés" : "Törlés"),
            c.expected);
    }
    // The known key with an empty column is not added again and again.
    EXPECT_EQ(LangRows("Form1", "torles"), 1);
    EXPECT_EQ(LangRows(), 6);
}

TEST_F(LangTextsTest, EmptyDefaultDoesNothing) {
    dm->SetSetup("en");
    std::string text = "marad";
    dm->GetLangText("Form1", "semmi", "", text);
    EXPECT_EQ(text, "marad");
    EXPECT_EQ(LangRows(), 5);
}

TEST_F(LangTextsTest, KeysWithApostrophesAreValues) {
    dm->SetSetup("en");
    const std::string key = "O'Neill' or '1'='1";
    EXPECT_EQ(dm->GetLangText("Form'1", key, "Ügyfél 'A'"), "Ügyfél 'A'");
    EXPECT_EQ(LangRows("Form'1", key), 1);
    Exec("UPDATE lang_text SET lang_00000409 = 'Customer ''A''' WHERE lang_formname = 'Form''1'");
    EXPECT_EQ(dm->GetLangText("Form'1", key, "Ügyfél 'A'"), "Customer 'A'");

    TLangKeyInfo info;
    info.key_code = "előző";
    dm->GetLangKeyInfo("0000'40e", info);
    EXPECT_EQ(info.key_code, "");
}

TEST_F(LangTextsTest, WithoutSignedInUserTheTextsAreHungarian) {
    // Nobody signed in (no settings row open), a user without a settings row, and users whose
    // row names no language: the lookups answer in Hungarian instead of failing.
    Exec("INSERT INTO _setup (userid, color_main, lang) VALUES ('ures', 1, ''), ('nulla', 1, '0')");
    const char* const kUsers[] = {nullptr, "nincs_ilyen", "ures", "nulla"};
    for (const char* user : kUsers) {
        SCOPED_TRACE(user == nullptr ? "(nobody)" : user);
        if (user != nullptr) {
            dm->SetSetup(user);
            if (std::string(user) == "nincs_ilyen")
                dm->_setupSQL.Close();  // as if its row could not be had
        }
        EXPECT_EQ(dm->UserLang(), "0000040E");
        std::string text;
        EXPECT_NO_THROW(dm->GetLangText("Form1", "mentes", "Mentés most", text));
        EXPECT_EQ(text, "Mentés most");
        EXPECT_EQ(dm->GetLangText("All", "szallito_keszlet_tullepes",
                                  "Szállítólevélen feltüntetett készlet túllépése!"),
                  "Szállítólevélen feltüntetett készlet túllépése!");
        std::string stored;
        dm->GetLangAll("Form1", "Label1", "LABL", stored);
        EXPECT_EQ(stored, "Név:");
        EXPECT_EQ(ConfigLangText("Form1", "mentes", "Mentés"), "Mentés");
    }
    EXPECT_EQ(LangRows("All", "szallito_keszlet_tullepes"), 1);
}

TEST_F(LangTextsTest, ConfigurationCaptionsComeFromTheModule) {
    dm->SetSetup("en");
    EXPECT_EQ(ConfigLangText("Form1", "mentes", "Mentés"), "Save");
    dm->DisconnectAll();
    EXPECT_EQ(ConfigLangText("Form1", "mentes", "Mentés"), "Mentés");
    dm.reset();
    EXPECT_EQ(ConfigLangText("Form1", "mentes", "Mentés"), "Mentés");
}

TEST_F(LangTextsTest, ControlCaptions) {
    struct Case {
        const char* user;
        LangControlKind kind;
        const char* name;
        const char* caption;
        const char* expected;
        const char* newRowType;  // type of the row the call adds; nullptr: none
    };
    const Case cases[] = {
        {"en", LangControlKind::Label, "Label1", "Név:", "Name:", nullptr},
        {"hu", LangControlKind::Label, "Label1", "Név (régi):", "Név:", nullptr},
        {"en", LangControlKind::BitButton, "BitBtn1", "Rendben", "Rendben", "BTBN"},
        {"en", LangControlKind::MenuItem, "N1", "-", "-", nullptr},
        {"en", LangControlKind::CheckBox, "CheckBox1", "", "", nullptr},
        {"en", LangControlKind::Other, "Button1", "Gomb", "!! ismeretlen típus !!", nullptr},
        {"en", LangControlKind::Grid, "DBGrid1", "Rács", "!! ismeretlen típus !!", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dm->SetSetup(c.user);
        const int before = LangRows();
        std::string text = "x";
        dm->GetLangObject("Form1", TLangControl{c.kind, c.name, c.caption, {}}, text);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(LangRows(), before + (c.newRowType ? 1 : 0));
        if (c.newRowType) {
            EXPECT_EQ(Scalar("select lang_object_type || '|' || lang_0000040e || '|' ||"
                             " lang_00000409 from lang_text where lang_object = :k",
                             {{"k", c.name}}),
                      std::string(c.newRowType) + "|" + c.caption + "|???");
        }
    }
}

TEST_F(LangTextsTest, TypeCodesOfControlKinds) {
    struct Case {
        LangControlKind kind;
        const char* code;
        const char* subCode;
    };
    const Case cases[] = {
        {LangControlKind::Label, "LABL", ""},
        {LangControlKind::Panel, "PANL", ""},
        {LangControlKind::SpeedButton, "SPBN", ""},
        {LangControlKind::BitButton, "BTBN", ""},
        {LangControlKind::ReportLabel, "QLAB", ""},
        {LangControlKind::MenuItem, "MITM", ""},
        {LangControlKind::DbCheckBox, "DCHB", ""},
        {LangControlKind::TabSheet, "TBSH", ""},
        {LangControlKind::Action, "ACTN", ""},
        {LangControlKind::CheckBox, "CHKB", ""},
        {LangControlKind::RadioGroup, "RGRP", "RGIT"},
        {LangControlKind::DbRadioGroup, "DBRG", "DRGI"},
        {LangControlKind::RadioButton, "RBTN", ""},
        {LangControlKind::Grid, "", "GCOL"},
        {LangControlKind::Other, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(LangObjectTypeCode(c.kind), c.code);
        EXPECT_EQ(LangSubObjectTypeCode(c.kind), c.subCode);
    }
}

TEST_F(LangTextsTest, GridColumnsAndRadioItems) {
    dm->SetSetup("en");
    const TLangControl grid{
        LangControlKind::Grid, "DBGrid1", "", {{"nev", "Név"}, {"netto_ar", "Nettó ár"}}};
    const TLangControl radio{
        LangControlKind::RadioGroup, "RadioGroup1", "Típus", {{"", "Cég"}, {"", "Magánszemély"}}};
    const TLangControl dbRadio{LangControlKind::DbRadioGroup, "DBRadioGroup1", "", {{"", "Igen"}}};
    std::string text;
    dm->GetLangSubObject("Form1", grid, 1, text);
    EXPECT_EQ(text, "Net price");
    dm->GetLangSubObject("Form1", radio, 1, text);
    EXPECT_EQ(text, "Private person");

    struct NewRow {
        const TLangControl* control;
        int index;
        const char* key;
        const char* type;
        const char* caption;
    };
    const NewRow rows[] = {{&grid, 0, "DBGrid1%nev", "GCOL", "Név"},
                           {&radio, 0, "RadioGroup1%0", "RGIT", "Cég"},
                           {&dbRadio, 0, "DBRadioGroup1%0", "DRGI", "Igen"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key);
        dm->GetLangSubObject("Form1", *r.control, r.index, text);
        EXPECT_EQ(text, r.caption);
        EXPECT_EQ(Scalar("select lang_object_type || '|' || lang_0000040e from lang_text"
                         " where lang_object = :k",
                         {{"k", r.key}}),
                  std::string(r.type) + "|" + r.caption);
    }
    const TLangControl label{LangControlKind::Label, "Label1", "Név:", {{"", "x"}}};
    dm->GetLangSubObject("Form1", label, 0, text);
    EXPECT_EQ(text, "!! ismeretlen típus !!");
}

TEST_F(LangTextsTest, MemoryCopyCutsTextsAndAnswersWithoutTheDatabase) {
    // 250 characters of two bytes each in English.
    std::string longText;
    for (int i = 0; i < 250; ++i)
        longText += (i % 10 == 9) ? "ő" : "é";
    Exec(
        "INSERT INTO lang_text (lang_0000040e, lang_00000409, lang_formname, lang_object_type,"
        " lang_object) VALUES ('hosszú', '" +
        longText + "', 'Form2', 'TEXT', 'hosszu')");
    dm->SetSetup("en");
    RecordingUi ui;
    ScopedUiPort port(ui);

    dm->Get_Lang_Text_To_Local_MemDatabase();
    ASSERT_TRUE(dm->Lang_textMemory.Active());
    EXPECT_EQ(dm->Lang_textMemory.RecordCount(), 6);
    EXPECT_EQ(ui.tableNames.front(), "Nyelvi fájl megnyitása...");
    EXPECT_EQ(ui.tableNames.at(ui.tableNames.size() - 2), "Nyelvi fájl feldolgozása: 100%");
    EXPECT_EQ(ui.tableNames.back(), "");
    EXPECT_EQ(ui.waitCursorDepth, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(dm->ZConnection.InTransaction());

    std::string text;
    dm->GetLangAll("Form2", "hosszu", "TEXT", text);
    EXPECT_EQ(text, longText.substr(0, 400));  // 200 characters
    EXPECT_EQ(dm->GetLangText("Form2", "hosszu", "hosszú"), longText.substr(0, 400));

    // Changes of the table are not seen while the copy is open.
    Exec("UPDATE lang_text SET lang_00000409 = 'Store' WHERE lang_object = 'mentes'");
    dm->GetLangAll("Form1", "mentes", "TEXT", text);
    EXPECT_EQ(text, "Save");
    text = "marad";
    dm->GetLangAll_Local("Form1", "nincs", "TEXT", text);
    EXPECT_EQ(text, "marad");
    // A key missing from the copy is still stored in the database, once.
    EXPECT_EQ(dm->GetLangText("Form1", "uj", "Új"), "Új");
    EXPECT_EQ(dm->GetLangText("Form1", "uj", "Új"), "Új");
    EXPECT_EQ(LangRows("Form1", "uj"), 1);

    // Without a settings row the copy answers in Hungarian, like the database does.
    dm->_setupSQL.Close();
    EXPECT_EQ(dm->GetLangText("Form1", "masik", "Másik"), "Másik");
    EXPECT_EQ(LangRows("Form1", "masik"), 1);
    dm->GetLangAll("Form1", "mentes", "TEXT", text);
    EXPECT_EQ(text, "Mentés");
    dm->SetSetup("en");

    // The second call closes the copy: lookups read the database again.
    dm->Get_Lang_Text_To_Local_MemDatabase();
    EXPECT_FALSE(dm->Lang_textMemory.Active());
    dm->GetLangAll("Form1", "mentes", "TEXT", text);
    EXPECT_EQ(text, "Store");
}

TEST_F(LangTextsTest, MemoryCopyFailureIsReportedAndKeepsTheCopyOpen) {
    dm->SetSetup("en");
    RecordingUi ui;
    ScopedUiPort port(ui);
    Exec("ALTER TABLE lang_text RENAME TO lang_text_x");
    dm->Get_Lang_Text_To_Local_MemDatabase();
    Exec("ALTER TABLE lang_text_x RENAME TO lang_text");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Dorvan dialog");
    EXPECT_EQ(ui.messages[0].text, "Hiba a lokális nyelvi fájl lértehozásakor!");
    EXPECT_EQ(ui.waitCursorDepth, 0);
    EXPECT_EQ(ui.tableNames.back(), "");
    EXPECT_FALSE(dm->ZConnection.InTransaction());
    EXPECT_TRUE(dm->Lang_textMemory.Active());
}

TEST_F(LangTextsTest, LanguageKeysAndDocumentTexts) {
    Exec(
        "INSERT INTO lang_key (key_code, key_order, key_name, font, carset, key_code_withname)"
        " VALUES ('00000409', 2, 'English', 'Arial', '0 - ANSI_CHARSET', '00000409 - English')");
    Exec(
        "INSERT INTO bizonylat_nyelv (order_field, lang_0000040e, lang_00000409) VALUES"
        " (10000, 'SZÁMLA', 'INVOICE'), (10005, 'Lap:', 'Page:')");
    TLangKeyInfo info;
    dm->GetLangKeyInfo(kEnglish, info);
    EXPECT_EQ(info.key_code, kEnglish);
    EXPECT_EQ(info.key_order, 2);
    EXPECT_EQ(info.key_name, "English");
    EXPECT_EQ(info.font, "Arial");
    EXPECT_EQ(info.carset, "0 - ANSI_CHARSET");
    EXPECT_EQ(info.key_code_withname, "00000409 - English");

    std::string text = "x";
    dm->GetBizonylat_nyelvInfo(10005, "lang_00000409", text);
    EXPECT_EQ(text, "Page:");
    dm->GetBizonylat_nyelvInfo(99999, "lang_00000409", text);
    EXPECT_EQ(text, "");
    // Read once: later changes of the table are not seen during the run.
    Exec("UPDATE bizonylat_nyelv SET lang_00000409 = 'BILL' WHERE order_field = 10000");
    dm->GetBizonylat_nyelvInfo(10000, "LANG_00000409", text);
    EXPECT_EQ(text, "INVOICE");
}

}  // namespace
}  // namespace dorvan::test
