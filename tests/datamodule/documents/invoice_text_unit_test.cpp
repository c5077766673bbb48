// Issuer and customer blocks, the user cache, the clause accumulation and the amount texts of
// the closing clauses, without a database.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/format_settings.h"
#include "datamodule/documents/closing_clauses.h"
#include "datamodule/documents/issuer_blocks.h"
#include "db/mem_table.h"
#include "report/engine/number_format.h"

namespace dorvan {
namespace {

using Lines = std::vector<std::string>;

const char* const kFullTemplate =
    "kiallito_nev1\nkiallito_nev2\nkiallito_cim\nkiallito_adoszam\nkiallito_adoszam_eu\n"
    "kiallito_bank\nkiallito_egyeb_adat_a_szamlan";

TKiallito Owner() {
    TKiallito k;
    k.nev1 = "Tiszavirág Kft.";
    k.nev2 = "Szolnoki áruház";
    k.iszam = "5000";
    k.telepules = "Szolnok";
    k.cim = "Kossuth Lajos út 12.";
    k.adoszam = "12345678-2-16";
    k.adoszam_eu = "HU12345678";
    k.bank_neve = " OTP Bank ";
    k.bank_szamlaszam = "11773016-01234567 ";
    k.bank_szamlaszam_iban = " HU42 1177";
    k.bank_swift = "OTPVHUHB";
    k.megjegyzes = "  Cégjegyzékszám: 16-09-012345 ";
    k.bizonylat_fajta = 5;
    return k;
}

TEST(IssuerBlock, LinesPerKindOfDocument) {
    const Lines invoice = {
        "Név: \tTiszavirág Kft.", "\tSzolnoki áruház",           "Cím: \t5000 Szolnok",
        "\tKossuth Lajos út 12.", "Adósz.:\t12345678-2-16",      "EU adó:\tHU12345678",
        "Bank: \tOTP Bank",       "\t11773016-01234567",         "IBAN: \tHU42 1177",
        "SWIFT: \tOTPVHUHB",      "Cégjegyzékszám: 16-09-012345"};
    const Lines receipt = {"Név: \tTiszavirág Kft.", "\tSzolnoki áruház", "Cím: \t5000 Szolnok",
                           "\tKossuth Lajos út 12.", "Cégjegyzékszám: 16-09-012345"};
    const Lines goodsReceipt = {"Név: \tTiszavirág Kft.",      "\tSzolnoki áruház",
                                "Cím: \t5000 Szolnok",         "\tKossuth Lajos út 12.",
                                "Adósz.:\t12345678-2-16",      "EU adó:\tHU12345678",
                                "Cégjegyzékszám: 16-09-012345"};
    struct Case {
        int fajta;
        const Lines* expected;
    };
    const Case cases[] = {{5, &invoice}, {4, &invoice}, {3, &receipt}, {17, &goodsReceipt}};
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.fajta));
        TKiallito k = Owner();
        k.bizonylat_fajta = c.fajta;
        EXPECT_EQ(KiallitoLines(k, kFullTemplate), *c.expected);
    }
}

TEST(IssuerBlock, OptionalLinesAndTemplateKeys) {
    struct Case {
        const char* name;
        const char* templateText;
        TKiallito k;
        Lines expected;
    };
    TKiallito accountOnly = Owner();
    accountOnly.bank_neve.clear();
    accountOnly.bank_szamlaszam_iban.clear();
    accountOnly.bank_swift.clear();
    TKiallito noBank = Owner();
    noBank.bank_neve.clear();
    noBank.bank_szamlaszam.clear();
    noBank.bank_szamlaszam_iban.clear();
    TKiallito bare = Owner();
    bare.nev2.clear();
    bare.megjegyzes.clear();
    const Case cases[] = {
        {"only the account number: the bank line ends with its tab",
         "kiallito_bank",
         accountOnly,
         {"Bank: \t", "\t11773016-01234567"}},
        {"SWIFT alone", "kiallito_bank", noBank, {"SWIFT: \tOTPVHUHB"}},
        {"empty second name and other data add nothing",
         "kiallito_nev2\nkiallito_egyeb_adat_a_szamlan",
         bare,
         {}},
        {"kiallito_nev is the first name line",
         "kiallito_nev",
         Owner(),
         {"Név: \tTiszavirág Kft."}},
        {"a trailing space, another letter case or an unknown key add nothing",
         "kiallito_cim \nKiallito_nev1\nkiallito\n\nkiallito_adoszam",
         Owner(),
         {"Adósz.:\t12345678-2-16"}},
        {"CR LF, CR and LF end template lines; the template's order counts",
         "kiallito_adoszam_eu\r\nkiallito_adoszam\rkiallito_nev1\n",
         Owner(),
         {"EU adó:\tHU12345678", "Adósz.:\t12345678-2-16", "Név: \tTiszavirág Kft."}},
        {"a key given twice gives its lines twice",
         "kiallito_nev1\nkiallito_nev1",
         Owner(),
         {"Név: \tTiszavirág Kft.", "Név: \tTiszavirág Kft."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KiallitoLines(c.k, c.templateText), c.expected);
    }
}

TEST(IssuerBlock, TemplateKeysAndBlockText) {
    EXPECT_EQ(TemplateKeys(""), Lines{});
    EXPECT_EQ(TemplateKeys("a\r\n\r\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(TemplateKeys("nev \r\rcim"), (Lines{"nev ", "", "cim"}));
    EXPECT_EQ(BlockText({}), "");
    EXPECT_EQ(BlockText({"Név: \tX"}), "Név: \tX");
    EXPECT_EQ(BlockText({"a", "", "b"}), "a\r\rb");
}

// A customer row as the print texts of a document header carry it.
class CustomerBlock : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"partner_nev",
                                 "partner_iszam",
                                 "partner_telepules",
                                 "partner_cim",
                                 "partner_orszag",
                                 "partner_adoszam",
                                 "partner_telefon",
                                 "partner_fax",
                                 "partner_bank",
                                 "partner_email",
                                 "partner_eng_szam",
                                 "partner_ostermeloi_szam",
                                 "partner_adoazonosito",
                                 "partner_osterm_regszam",
                                 "partner_csalgazd_nyilv_szam",
                                 "partner_taj_szam",
                                 "partner_szuletesi_hely",
                                 "partner_szuletesi_nev",
                                 "partner_anyja_neve",
                                 "partner_szoveges_kod",
                                 "partner_magannyugdijp",
                                 "partner_agrar_kamarai_reg_szam",
                                 "partner_ggn_szam"})
            row.AddField(name, db::FieldType::String, 120);
        row.AddField("partner_kod", db::FieldType::Integer);
        row.AddField("partner_magannyugdijp_tag", db::FieldType::SmallInt);
        row.AddField("partner_szuletesi_datum", db::FieldType::Date);
        row.Open();
        row.Append();
    }

    void Set(const char* column, const db::Value& value) {
        row.FieldByName(column).SetValue(value);
    }

    db::MemTable row{"bizonylatszoveg_fej"};
};

TEST_F(CustomerBlock, AddressAndTaxNumberLinesAlwaysOptionalLinesWhenFilled) {
    Set("partner_nev", "O'Neill Építő Kft.");
    Set("partner_email", "iroda@oneill.hu");
    Set("partner_kod", 5);
    Set("partner_magannyugdijp", "Aranykor");
    Set("partner_ggn_szam", "4049928");
    Set("partner_szoveges_kod", "ONEILL");
    row.Post();
    const char* const tmpl =
        "nev\niszam telepules\ncim\norszag\nadoszam\ntelefon\nfax\nemail\nkod\n"
        "magannyugdijp\nggn_szam\nszoveges_kod\nszuletesi_datum\nnev ";
    const Lines expected = {"Név: \tO'Neill Építő Kft.",
                            "Cím: \t ",
                            "\t",
                            "\t",
                            "Adósz.:\t",
                            "Email:\tiroda@oneill.hu",
                            "Partnerkód: \t5",
                            "GGN:      \t4049928",
                            "Kód: \tONEILL"};
    EXPECT_EQ(VevoLines(row, tmpl), expected);
}

TEST_F(CustomerBlock, DatedAndFlaggedLines) {
    Set("partner_szuletesi_datum", db::Value::Date(db::EncodeDate(1975, 3, 14)));
    Set("partner_magannyugdijp", "Aranykor");
    Set("partner_magannyugdijp_tag", 1);
    Set("partner_telefon", "+36 1 234 5678");
    Set("partner_fax", "+36 1 234 5679");
    row.Post();
    const Lines expected = {"Szül.dátum: \t1975.03.14.", "Magán ny.pt: \tAranykor",
                            "Tel.:\t+36 1 234 5678", "Fax:\t+36 1 234 5679"};
    EXPECT_EQ(VevoLines(row, "szuletesi_datum\nmagannyugdijp\ntelefon\nfax"), expected);
}

TEST_F(CustomerBlock, EveryOptionalKeyWithItsCaption) {
    struct Case {
        const char* key;
        const char* column;
        const char* line;
    };
    const Case cases[] = {
        {"bank", "partner_bank", "Bank:\tv"},
        {"eng_szam", "partner_eng_szam", "Eng.szám: \tv"},
        {"ostermeloi_szam", "partner_ostermeloi_szam", "Ősterm.sz.: \tv"},
        {"adoazonosito", "partner_adoazonosito", "Adóazon.: \tv"},
        {"osterm_regszam", "partner_osterm_regszam", "MVH reg.szám: \tv"},
        {"csalgazd_nyilv_szam", "partner_csalgazd_nyilv_szam", "Csal.gazd.sz.: \tv"},
        {"taj_szam", "partner_taj_szam", "TAJ szám: \tv"},
        {"szuletesi_hely", "partner_szuletesi_hely", "Szül.hely: \tv"},
        {"szuletesi_nev", "partner_szuletesi_nev", "Szül.név: \tv"},
        {"anyja_neve", "partner_anyja_neve", "Anyja neve: \tv"},
        {"agrar_kamarai_reg_szam", "partner_agrar_kamarai_reg_szam", "Agr.kam.sz: \tv"},
    };
    row.Post();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(VevoLines(row, c.key), Lines{});  // empty value: no line
        row.Edit();
        Set(c.column, "v");
        row.Post();
        EXPECT_EQ(VevoLines(row, c.key), Lines{c.line});
        row.Edit();
        Set(c.column, db::Value());
        row.Post();
    }
    // A private pension fund without membership prints nothing.
    row.Edit();
    Set("partner_magannyugdijp", "Aranykor");
    row.Post();
    EXPECT_EQ(VevoLines(row, "magannyugdijp"), Lines{});
}

TEST(UserCache, KeepsAtMostCapacityAndDropsTheLeastRecentlyUsed) {
    TUserCache cache;
    const auto user = [](int i) {
        TUserInfo u;
        u.kod = i;
        u.userid = "user" + std::to_string(i);
        u.nev = "Név " + std::to_string(i);
        return u;
    };
    for (int i = 0; i < static_cast<int>(TUserCache::Capacity); ++i)
        cache.Add(user(i));
    EXPECT_EQ(cache.Count(), TUserCache::Capacity);
    // user0 is used again, so user1 is now the least recently used one.
    ASSERT_NE(cache.Find("user0"), nullptr);
    for (int i = 100; i < 150; ++i) {
        cache.Add(user(i));
        EXPECT_EQ(cache.Count(), TUserCache::Capacity);
    }
    EXPECT_NE(cache.Find("user0"), nullptr);
    EXPECT_EQ(cache.Find("user1"), nullptr);
    EXPECT_EQ(cache.Find("user50"), nullptr);
    EXPECT_NE(cache.Find("user51"), nullptr);
    ASSERT_NE(cache.Find("user149"), nullptr);
    EXPECT_EQ(cache.Find("user149")->nev, "Név 149");
}

TEST(UserCache, UnknownUsersTakeNoRoomAndIdsMatchExactly) {
    TUserCache cache;
    cache.Add(TUserInfo{});  // a user id that was not found
    EXPECT_EQ(cache.Count(), 0u);
    TUserInfo admin;
    admin.userid = "admin";
    admin.nev = "Rendszergazda";
    cache.Add(admin);
    admin.nev = "Új név";
    cache.Add(admin);  // the same user again replaces the entry
    EXPECT_EQ(cache.Count(), 1u);
    EXPECT_EQ(cache.Find("admin")->nev, "Új név");
    EXPECT_EQ(cache.Find("Admin"), nullptr);
    EXPECT_EQ(cache.Find("admin "), nullptr);
    EXPECT_EQ(cache.Find(""), nullptr);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0u);
}

TEST(ClosingClauses, LineClausesAreJoinedWithoutRepeats) {
    struct Case {
        const char* name;
        std::vector<std::string> clauses;
        const char* expected;
    };
    const Case cases[] = {
        {"none", {}, ""},
        {"empty clauses are skipped", {"", "A", "", "B"}, "A\rB"},
        {"an exact repeat", {"A jótállás 1 év.", "A jótállás 1 év."}, "A jótállás 1 év."},
        {"a part of an earlier clause", {"Jótállás: 12 hónap.", "12 hónap"}, "Jótállás: 12 hónap."},
        {"a longer clause after its part is kept",
         {"12 hónap", "Jótállás: 12 hónap."},
         "12 hónap\rJótállás: 12 hónap."},
        {"order kept", {"B", "A", "B", "C"}, "B\rA\rC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JoinLineClauses(c.clauses), c.expected);
    }
}

TEST(ClosingClauses, IndividualUnitList) {
    EXPECT_EQ(EgyediLista({}), "");
    EXPECT_EQ(EgyediLista({{"FG-1", 1}}), "[FG-1]");
    EXPECT_EQ(EgyediLista({{"FG-1", 1}, {"LOT-A", 3}, {"LOT-B", 2.5}, {"X", -1}}),
              "[FG-1, LOT-A (3), LOT-B (2,5), X (-1)]");
    // The separator goes in front of every identifier once the list has text.
    EXPECT_EQ(EgyediLista({{"", 1}, {"B", 1}}), "[B]");
}

TEST(ClosingClauses, AmountsAsTheHufMasksPrintThem) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {0, "0,00 HUF"},
        {389.6, "389,60 HUF"},
        {1000, "1 000,00 HUF"},
        {258889.2, "258 889,20 HUF"},
        {1234567.891, "1 234 567,89 HUF"},
        {1.005, "1,01 HUF"},
        {999.995, "1 000,00 HUF"},
        {0.004, "0,00 HUF"},
        {-1234.5, "-1 234,50 HUF"},
        {123456789012.34, "123 456 789 012,34 HUF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value));
        EXPECT_EQ(FormatHufAmount(c.value), c.expected);
        // The same text as the report's number masks.
        EXPECT_EQ(FormatHufAmount(c.value), report::FormatFloat("###,##0.00 HUF", c.value));
        EXPECT_EQ(FormatHufAmount(c.value), report::FormatFloat("###,###,###,##0.00 HUF", c.value));
    }
}

TEST(ClosingClauses, QuantityText) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {{1, "1"},         {3, "3"},           {2.5, "2,5"},
                          {-0.25, "-0,25"}, {0.1 + 0.2, "0,3"}, {1234567, "1234567"},
                          {0, "0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FormatQuantity(c.value), c.expected);
    }
}

TEST(PrintedForm, DisplayText) {
    EXPECT_EQ(NyomtatvanyMegnevezes("Számla", "A4, kétnyelvű", "SZLA-A4"),
              "Számla | A4, kétnyelvű (SZLA-A4)");
    EXPECT_EQ(NyomtatvanyMegnevezes("Számla", "", "SZLA-A4"), "Számla (SZLA-A4)");
    EXPECT_EQ(NyomtatvanyMegnevezes("Számla", "A4", ""), "Számla | A4");
    EXPECT_EQ(NyomtatvanyMegnevezes("", "", ""), "");
}

}  // namespace
}  // namespace dorvan
