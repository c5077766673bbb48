// Closing clauses, line texts, issuer and customer blocks, users and printed forms of the
// data module over the demo company.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/lib_amount_in_words.h"
#include "datamodule/dm.h"
#include "datamodule/documents/closing_clauses.h"
#include "db/transaction.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan {
namespace {

using Lines = std::vector<std::string>;

const std::string kBankZaradek =
    "Kérjük, a számla összegét a fizetési határidőig bankszámlánkra átutalni szíveskedjen!";

class InvoiceTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dm.ConnectLocal(test::DatabaseParams());
        // Every change a test makes is rolled back at its end.
        tx = std::make_unique<db::Transaction>(dm.ZConnection);
    }

    void TearDown() override { tx.reset(); }

    // The document header with its print texts and the three clause columns; `lang` adds
    // the second-language column.
    struct Document {
        std::unique_ptr<db::Query> header;
        std::unique_ptr<db::Query> lines;
    };

    Document Open(int kod, bool lang = true, int prev = 0, bool projektLang = false) {
        const std::string p = prev == 1 ? "_prev_" : "";
        Document d;
        d.lines = std::make_unique<db::Query>(dm.ZConnection, "lines");
        d.lines->SetSql({"select rm.kod, bsz.zaradek",
                         "  from " + p + "raktar_mozgas rm, " + p + "bizonylatszoveg bsz",
                         "  where rm.kod = bsz.sor_kod and rm.fej_kod = :kod",
                         "  order by rm.kod"});
        d.lines->ParamByName("kod").SetAsInteger(kod);
        d.header = std::make_unique<db::Query>(dm.ZConnection, "header");
        d.header->SetSql({"select rm.*, bsz.fizetesmod_zaradek, bsz.egyedi_zaradek",
                          "  from " + p + "raktar_mozgas_fej rm, " + p + "bizonylatszoveg_fej bsz",
                          "  where rm.kod = bsz.fej_kod and rm.kod = :kod"});
        d.header->ParamByName("kod").SetAsInteger(kod);
        d.header->AddCalculatedField("zaradek", db::FieldType::String, 2000);
        if (lang)
            d.header->AddCalculatedField("zaradek_langtext", db::FieldType::String, 2000);
        d.header->AddCalculatedField("projekt_zaradek", db::FieldType::String, 200);
        if (projektLang)
            d.header->AddCalculatedField("projekt_zaradek_langtext", db::FieldType::String, 200);
        db::Query* lines = d.lines.get();
        d.header->OnCalcFields = [this, lines](db::DataSet& h) {
            dm.Raktar_mozgas_fejZaradekCalcFields(h, *lines);
        };
        d.header->Open();
        return d;
    }

    std::string Zaradek(const Document& d) { return d.header->FieldByName("zaradek").AsString(); }
    std::string LangText(const Document& d) {
        return d.header->FieldByName("zaradek_langtext").AsString();
    }

    void ShowRate(int on) {
        dm.ExecSQL("UPDATE _setup_main SET szamla_deviza_arfolyam_megjelenites = :on",
                   {{"on", on}});
        dm._setup_mainSQL.Close();
        dm._setup_mainSQL.Open();
    }

    TDM dm;
    std::unique_ptr<db::Transaction> tx;
};

// --- Closing clauses ---------------------------------------------------------------------

TEST_F(InvoiceTextTest, ForintInvoiceClauses) {
    Document d = Open(4317);
    const std::string expected =
        "Jótállás: 12 hónap a vásárlás napjától.\r"
        "A könyvek 5%-os ÁFA-kulccsal adóznak.\r"
        "A visszáru jóváírása a számlában szerepel.\r"
        "Köszönjük, hogy nálunk vásárolt!\r"
        "A fenti összegek magyar forintban értendők!\r"
        "Fizetendő végösszeg: kettőszázhetvenháromezer-kilencszázhetvenhat  HUF\r" +
        kBankZaradek;
    EXPECT_EQ(Zaradek(d), expected);
    // Kovács és Társa has no second language.
    EXPECT_EQ(LangText(d), "");
    EXPECT_EQ(d.header->FieldByName("projekt_zaradek").AsString(), "");
    // The lines were walked to their end.
    EXPECT_TRUE(d.lines->Eof());
    // The snapshot copy gives the same clauses.
    EXPECT_EQ(Zaradek(Open(4317, true, 1)), expected);
}

TEST_F(InvoiceTextTest, ForintSentenceIsDirectlyFollowedByTheAmountInWords) {
    // Without line, document and payment clauses the text starts with the forint sentence.
    dm.ExecSQL("UPDATE bizonylatszoveg SET zaradek = NULL WHERE sor_kod BETWEEN 431701 AND 431710");
    dm.ExecSQL(
        "UPDATE bizonylatszoveg_fej SET egyedi_zaradek = NULL, fizetesmod_zaradek = '' "
        "WHERE fej_kod = 4317");
    Document d = Open(4317);
    EXPECT_EQ(Zaradek(d),
              "A fenti összegek magyar forintban értendők!\rFizetendő végösszeg: "
              "kettőszázhetvenháromezer-kilencszázhetvenhat  HUF");
}

TEST_F(InvoiceTextTest, DocumentWithoutCurrencyCodeIsInForints) {
    dm.ExecSQL("UPDATE raktar_mozgas_fej SET deviza_nev = NULL WHERE kod = 4302");
    EXPECT_EQ(Zaradek(Open(4302)),
              "A fenti összegek magyar forintban értendők!\r"
              "Fizetendő végösszeg: egyezer-kettőszázhetven  HUF\r"
              "A számla ellenértékét bankkártyával kiegyenlítették.");
}

TEST_F(InvoiceTextTest, ForeignCurrencyInvoiceWithTheRateStatement) {
    ShowRate(1);
    Document d = Open(4318);
    EXPECT_EQ(Zaradek(d),
              "Jótállás: 12 hónap a vásárlás napjától.\r"
              "A fenti összegek EUR-ban értendők!  Árfolyam: 1 EUR = 389,60 HUF\r"
              "Nettó végösszeg: 258 889,20 HUF ÁFA végösszeg: 0,00 HUF "
              "Fizetendő (bruttó) végösszeg: 258 889,00 HUF\r"
              "Fizetendő végösszeg: hatszázhatvannégy  50/100 EUR\r" +
                  kBankZaradek);
    // Shannon Trading reads English; the amount in words stays Hungarian.
    EXPECT_EQ(LangText(d),
              "The amounts above are in EUR!  Exchange rate: 1 EUR = 389,60 HUF\r"
              "Net total: 258 889,20 HUF VAT total: 0,00 HUF "
              "Total amount payable (gross): 258 889,00 HUF\r"
              "Total amount payable (gross): hatszázhatvannégy  50/100 EUR\r"
              "Please transfer the amount of the invoice to our bank account by the due date.");
}

TEST_F(InvoiceTextTest, ForeignCurrencyInvoiceWithoutTheRateStatement) {
    ShowRate(0);
    Document d = Open(4318);
    EXPECT_EQ(Zaradek(d),
              "Jótállás: 12 hónap a vásárlás napjától.\r"
              "\rFizetendő végösszeg: hatszázhatvannégy  50/100 EUR\r" +
                  kBankZaradek);
    EXPECT_EQ(LangText(d),
              "\rTotal amount payable (gross): hatszázhatvannégy  50/100 EUR\r"
              "Please transfer the amount of the invoice to our bank account by the due date.");
}

TEST_F(InvoiceTextTest, SecondLanguageFollowsThePartner) {
    // The same euro invoice for the German-speaking partner, then for a partner that does
    // not exist (no second language: no second-language clauses).
    dm.ExecSQL("UPDATE raktar_mozgas_fej SET partner_kod = 6 WHERE kod = 4318");
    Document german = Open(4318);
    EXPECT_EQ(LangText(german).rfind("Die obigen Beträge verstehen sich in EUR!  Wechselkurs: 1 "
                                     "EUR = 389,60 HUF\r",
                                     0),
              0u)
        << LangText(german);
    EXPECT_NE(LangText(german).find("\rBitte überweisen Sie"), std::string::npos);

    dm.ExecSQL("UPDATE raktar_mozgas_fej SET partner_kod = 999 WHERE kod = 4318");
    Document nobody = Open(4318);
    EXPECT_EQ(LangText(nobody), "");
    EXPECT_NE(Zaradek(nobody).find("Fizetendő végösszeg: "), std::string::npos);

    // A header without the second-language column gets the Hungarian clauses only.
    dm.ExecSQL("UPDATE raktar_mozgas_fej SET partner_kod = 3 WHERE kod = 4318");
    Document noColumn = Open(4318, false);
    EXPECT_EQ(Zaradek(noColumn), Zaradek(Open(4318)));
}

TEST_F(InvoiceTextTest, NoCurrencyStatementForSomeKindsAndForAZeroTotal) {
    struct Case {
        int kod;
        const char* name;
    };
    const Case cases[] = {{4303, "outgoing order (11)"},
                          {4304, "project usage (13)"},
                          {4305, "goods receipt note (17)"},
                          {4306, "zero total"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document d = Open(c.kod);
        EXPECT_EQ(Zaradek(d), "\r" + kBankZaradek);
    }
    // A receipt sale with a total gets them.
    Document receipt = Open(4302);
    EXPECT_EQ(Zaradek(receipt),
              "A fenti összegek magyar forintban értendők!\r"
              "Fizetendő végösszeg: egyezer-kettőszázhetven  HUF\r"
              "A számla ellenértékét bankkártyával kiegyenlítették.");
}

TEST_F(InvoiceTextTest, ProjectLine) {
    const std::string expected =
        "Ez a bizonylat a(z) 1 számú projekthez kapcsolódik. (Partner: O'Neill Építő Kft.; "
        "Leírás: Irodaház burkolási munkái)";
    EXPECT_EQ(Open(4311).header->FieldByName("projekt_zaradek").AsString(), expected);
    EXPECT_EQ(Open(4304).header->FieldByName("projekt_zaradek").AsString(), expected);
    // A header with the second-language project column, for an English-speaking customer.
    Document hungarian = Open(4311, true, 0, true);
    EXPECT_EQ(hungarian.header->FieldByName("projekt_zaradek_langtext").AsString(), "");
    dm.ExecSQL("UPDATE raktar_mozgas_fej SET partner_kod = 3 WHERE kod = 4311");
    Document english = Open(4311, true, 0, true);
    EXPECT_EQ(english.header->FieldByName("projekt_zaradek").AsString(), expected);
    EXPECT_EQ(english.header->FieldByName("projekt_zaradek_langtext").AsString(),
              "This document belongs to project no. 1.");
    dm.ExecSQL("UPDATE raktar_mozgas_fej SET partner_kod = 5 WHERE kod = 4311");
    // The reverse-charge clause of the document and the amount in words.
    EXPECT_EQ(Zaradek(Open(4311)),
              "Az ügylet az Áfa tv. 142. § (1) b) pontja szerint fordítottan adózik.\r"
              "A fenti összegek magyar forintban értendők!\r"
              "Fizetendő végösszeg: egyszázegyezer-háromszáz  HUF\r" +
                  kBankZaradek);
}

TEST_F(InvoiceTextTest, NegativeTotalInWords) {
    EXPECT_NE(
        Zaradek(Open(4322)).find("Fizetendő végösszeg: mínusz negyvenezer-kettőszázötven  HUF"),
        std::string::npos);
}

// --- Line texts --------------------------------------------------------------------------

TEST_F(InvoiceTextTest, IndividualUnitsOfALine) {
    struct Case {
        int sor;
        int prev;
        const char* expected;
    };
    const Case cases[] = {
        {431702, 0, "[FG-2611-0001, FG-2611-0002]"},
        {431703, 0, "[LOT-2611-A (3), LOT-2611-B (2)]"},
        {431703, 1, "[LOT-2611-A (3), LOT-2611-B (2)]"},
        {431701, 0, ""},
        {431801, 1, ""},  // only 4317 is in the snapshot tables
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sor) + " prev " + std::to_string(c.prev));
        EXPECT_EQ(dm.GetEgyediMegjegyzes(c.sor, c.prev), c.expected);
    }
    dm.ExecSQL("UPDATE _prev_raktar_mozgas_egyedi SET mennyiseg = 2.5 WHERE kod = 4317032");
    EXPECT_EQ(dm.GetEgyediMegjegyzes(431703, 1), "[LOT-2611-A (3), LOT-2611-B (2,5)]");
    EXPECT_EQ(dm.GetEgyediMegjegyzes(431703, 0), "[LOT-2611-A (3), LOT-2611-B (2)]");
}

TEST_F(InvoiceTextTest, PrintedLineText) {
    dm.ExecSQL("UPDATE raktar_mozgas SET megjegyzes = '  2 db dobozban ' WHERE kod = 431702");
    db::Query lines(dm.ZConnection, "lines");
    lines.SetSql({"select rm.*, bsz.*", "  from raktar_mozgas rm, bizonylatszoveg bsz",
                  "  where rm.kod = bsz.sor_kod and rm.fej_kod = 4317", "  order by rm.kod"});
    lines.Open();
    ASSERT_TRUE(lines.Locate("kod", {db::Value(431702)}));
    const std::string name = dm.GetBizonylatNev(lines, "3");
    ASSERT_FALSE(name.empty());
    // Name and note joined without a separator, then a space and the units.
    EXPECT_EQ(dm.GetMasodik_sor(lines, 0, "3"),
              name + "2 db dobozban [FG-2611-0001, FG-2611-0002]");
    ASSERT_TRUE(lines.Locate("kod", {db::Value(431701)}));
    EXPECT_EQ(dm.GetMasodik_sor(lines, 0, "3"), dm.GetBizonylatNev(lines, "3") + " ");

    // A dataset with `egyed_info` prints that column instead of reading the units.
    db::Query withInfo(dm.ZConnection, "lines");
    withInfo.SetSql({"select rm.*, bsz.*, 'kész szöveg'::varchar as egyed_info",
                     "  from raktar_mozgas rm, bizonylatszoveg bsz",
                     "  where rm.kod = bsz.sor_kod and rm.kod = 431702"});
    withInfo.Open();
    EXPECT_EQ(dm.GetMasodik_sor(withInfo, 0, "3"), name + "2 db dobozban kész szöveg");
}

// --- Issuer and customer blocks ----------------------------------------------------------

TEST_F(InvoiceTextTest, IssuerAndCustomerBlocksOfTheDemoInvoicesAreTheStoredOnes) {
    for (int kod : {4317, 4318, 4320, 4321}) {
        SCOPED_TRACE(kod);
        auto stored = dm.GetSQLResultTable("select * from bizonylatszoveg_fej where fej_kod = :kod",
                                           {{"kod", kod}});
        ASSERT_FALSE(stored->IsEmpty());
        EXPECT_EQ(BlockText(dm.GetKiallitoStringList(kod, 0)),
                  stored->FieldByName("kiallito_sorok").AsString());
        EXPECT_EQ(BlockText(dm.GetVevoStringList(*stored)),
                  stored->FieldByName("vevo_sorok").AsString());
    }
    EXPECT_EQ(dm.GetKiallitoStringList(4317, 1), dm.GetKiallitoStringList(4317, 0));
}

TEST_F(InvoiceTextTest, TemplateLinesWithATrailingSpaceAddNothing) {
    // The demo templates end in "kiallito_cim " and "fax "; Kovács és Társa has a fax.
    const Lines issuer = dm.GetKiallitoStringList(4317, 0);
    EXPECT_EQ(std::count(issuer.begin(), issuer.end(), "Cím: \t5000 Szolnok"), 1);
    auto stored = dm.GetSQLResultTable("select * from bizonylatszoveg_fej where fej_kod = 4317");
    ASSERT_EQ(stored->FieldByName("partner_fax").AsString(), "+36 1 234 5679");
    for (const std::string& line : dm.GetVevoStringList(*stored))
        EXPECT_EQ(line.rfind("Fax:", 0), std::string::npos) << line;
}

TEST_F(InvoiceTextTest, IssuerOfAReceiptSaleHasNoTaxNumberAndNoBank) {
    TKiallito k;
    dm.GetKiallito(4302, 0, k);
    EXPECT_EQ(k.bizonylat_fajta, 3);
    EXPECT_EQ(k.bank_neve, "OTP Bank Nyrt.");  // the record has them, the block does not
    const Lines expected = {"Név: \tTiszavirág Kereskedelmi Kft.", "\tSzolnoki áruház",
                            "Cím: \t5000 Szolnok", "\tKossuth Lajos út 12.",
                            "Cégjegyzékszám: 16-09-012345, Szolnoki Törvényszék Cégbírósága"};
    EXPECT_EQ(dm.GetKiallitoStringList(4302, 0), expected);

    // A goods receipt note keeps the tax numbers but has no bank lines.
    const Lines note = dm.GetKiallitoStringList(4305, 0);
    EXPECT_EQ(std::count(note.begin(), note.end(), "Adósz.:\t12345678-2-16"), 1);
    for (const std::string& line : note) {
        EXPECT_EQ(line.find("Bank"), std::string::npos) << line;
        EXPECT_EQ(line.find("IBAN"), std::string::npos) << line;
    }
}

TEST_F(InvoiceTextTest, WarehouseOfKind3StandsForItsLinkedWarehouse) {
    TKiallito k;
    dm.GetKiallito(4307, 0, k);
    EXPECT_EQ(k.raktar_kod, 4);
    EXPECT_EQ(k.partner_kod, 2);  // of warehouse 3, not Müller (6) of warehouse 4
    EXPECT_EQ(k.partner_raktar, 1);
    EXPECT_EQ(k.nev1, "Tiszavirág Kereskedelmi Kft.");
    EXPECT_EQ(k.nev2, "(Kovács és Társa Bt.)");
    EXPECT_EQ(k.iszam, "1117");
    EXPECT_EQ(k.telepules, "Budapest");
    EXPECT_EQ(k.cim, "Irinyi József utca 4-20.");
    EXPECT_EQ(k.adoszam, "12345678-2-16");  // the owner's
    EXPECT_EQ(k.megjegyzes, "Fizetési fegyelme jó.");
    EXPECT_EQ(k.bank_szamlaszam, "11773016-01234567-00000000");
    EXPECT_EQ(k.deviza_nev, "HUF");
}

TEST_F(InvoiceTextTest, IssuerOfAMissingDocumentIsTheOwnerWithoutBank) {
    TKiallito k;
    k.bank_neve = "régi";
    dm.GetKiallito(999999, 0, k);
    EXPECT_EQ(k.bizonylat_kod, 999999);
    EXPECT_EQ(k.bizonylat_fajta, 0);
    EXPECT_EQ(k.raktar_kod, 0);
    EXPECT_EQ(k.partner_kod, 0);
    EXPECT_EQ(k.bank_neve, "");
    EXPECT_EQ(k.nev1, "Tiszavirág Kereskedelmi Kft.");
    EXPECT_EQ(k.cim, "Kossuth Lajos út 12.");
}

// --- Users and printed forms -------------------------------------------------------------

TEST_F(InvoiceTextTest, UserLookupReadsAnExistingUserOnce) {
    TUserInfo u;
    dm.GetUserInfo("kovacsne", u);
    EXPECT_EQ(u.kod, 2);
    EXPECT_EQ(u.nev, "Kovácsné Szabó Éva");
    EXPECT_EQ(u.userid, "kovacsne");
    EXPECT_EQ(u.pass, "tavasz2026");
    EXPECT_EQ(u.superuser, 0);
    // A later change of the name is not seen: the second lookup does not read the table.
    dm.ExecSQL("UPDATE munkatars SET nev = 'Új Név' WHERE userid = 'kovacsne'");
    TUserInfo again;
    dm.GetUserInfo("kovacsne", again);
    EXPECT_EQ(again.nev, "Kovácsné Szabó Éva");
    // The start-up's step empties the cache; the next lookup reads the table.
    ASSERT_TRUE(dm.OnClearUserCache);
    dm.OnClearUserCache();
    EXPECT_EQ(dm.UserCache.Count(), 0u);
    dm.GetUserInfo("kovacsne", again);
    EXPECT_EQ(again.nev, "Új Név");
}

TEST_F(InvoiceTextTest, UnknownUserIsReadEveryTimeAndTakesNoCacheEntry) {
    const std::size_t before = dm.UserCache.Count();
    TUserInfo u;
    u.nev = "marad?";
    dm.GetUserInfo("O'Brien", u);
    EXPECT_EQ(u.userid, "");
    EXPECT_EQ(u.nev, "");
    EXPECT_EQ(u.kod, 0);
    EXPECT_EQ(dm.UserCache.Count(), before);
    dm.ExecSQL("INSERT INTO munkatars (userid, nev) VALUES ('O''Brien', 'Seán O''Brien')");
    dm.GetUserInfo("O'Brien", u);
    EXPECT_EQ(u.userid, "O'Brien");
    EXPECT_EQ(u.nev, "Seán O'Brien");
    // User ids match exactly.
    dm.GetUserInfo("o'brien", u);
    EXPECT_EQ(u.userid, "");
}

TEST_F(InvoiceTextTest, UserCacheStaysBoundedPastAHundredUsers) {
    dm.ExecSQL(
        "INSERT INTO munkatars (userid, nev) SELECT 'u' || n, 'Felhasználó ' || n "
        "FROM generate_series(1, 120) AS n");
    TUserInfo u;
    dm.GetUserInfo("admin", u);
    for (int n = 1; n <= 120; ++n) {
        dm.GetUserInfo("u" + std::to_string(n), u);
        ASSERT_EQ(u.nev, "Felhasználó " + std::to_string(n));
    }
    EXPECT_EQ(dm.UserCache.Count(), TUserCache::Capacity);
    // The least recently used users made room: admin is read again, u120 is still cached.
    dm.ExecSQL("UPDATE munkatars SET nev = nev || ' (új)' WHERE userid IN ('admin', 'u120')");
    dm.GetUserInfo("admin", u);
    EXPECT_EQ(u.nev, "Rendszergazda (új)");
    dm.GetUserInfo("u120", u);
    EXPECT_EQ(u.nev, "Felhasználó 120");
    EXPECT_EQ(dm.UserCache.Count(), TUserCache::Capacity);
}

TEST_F(InvoiceTextTest, PrintedFormRecord) {
    TNyomtatvanyInfo info;
    dm.GetNyomtatvanyInfo(1, info);
    EXPECT_EQ(info.kod, 1);
    EXPECT_EQ(info.nev, "Számla");
    EXPECT_EQ(info.azonosito, "SZLA-A4");
    EXPECT_EQ(info.Alapertelmezett, 1);
    EXPECT_EQ(info.Hasznalatban, 1);
    EXPECT_EQ(info.megnevezes, "Számla | A4, kétnyelvű (SZLA-A4)");

    // Key 0 clears the key and leaves the rest.
    dm.GetNyomtatvanyInfo(0, info);
    EXPECT_EQ(info.kod, 0);
    EXPECT_EQ(info.nev, "Számla");

    dm.GetNyomtatvanyInfo(4242, info);
    EXPECT_EQ(info.kod, 0);
    EXPECT_EQ(info.nev, "");
}

TEST_F(InvoiceTextTest, IndividualUnitQueryFollowsTheLineQuery) {
    dm.Raktar_mozgasZQuery.Close();
    dm.Raktar_mozgasZQuery.ParamByName("biz").SetAsInteger(4317);
    dm.Raktar_mozgasZQuery.Open();
    ASSERT_TRUE(dm.Raktar_mozgasZQuery.Locate("kod", {db::Value(431703)}));
    // The line's print texts are bound to the same line.
    dm.bizonylatszovegZQuery.Close();
    dm.bizonylatszovegZQuery.Open();
    EXPECT_EQ(dm.bizonylatszovegZQuery.FieldByName("sor_kod").AsInteger(), 431703);
    dm.EgyediZQuery.Close();
    dm.EgyediZQuery.Open();
    EXPECT_EQ(dm.EgyediZQuery.RecordCount(), 2);
    EXPECT_EQ(dm.EgyediZQuery.FieldByName("egyedi_azonosito").AsString(), "LOT-2611-A");
    ASSERT_TRUE(dm.Raktar_mozgasZQuery.Locate("kod", {db::Value(431701)}));
    dm.EgyediZQuery.Close();
    dm.EgyediZQuery.Open();
    EXPECT_TRUE(dm.EgyediZQuery.IsEmpty());
}

}  // namespace
}  // namespace dorvan
