// Partner and item master data against the demo database: partners with addresses,
// contacts and debt, items by key and by barcode, and the cached movement types and
// warehouses.

#include <gtest/gtest.h>

#include <stdexcept>

#include "config/format_settings.h"
#include "config/recording_ui.h"
#include "db/date_time.h"
#include "support/dm_fixture.h"

namespace dorvan {
namespace {

class MasterDataTest : public test::DmFixture {
  protected:
    void TearDown() override {
        dm->ExecSQLList({
            "delete from partner where kod >= 9000;",
            "delete from partner_emailtar where kod >= 9000;",
            "delete from partner_bank where kod >= 9000;",
            "delete from partner_cimtar where kod >= 9000;",
            "delete from tetel where kod >= 9000;",
            "delete from mozgasnem where kod >= 9000;",
            "delete from raktar_nevek where kod >= 9000;",
            "update mozgasnem set lang_0000040e = 'Értékesítés sztornó' where kod = 4;",
        });
    }

    void SetDefaultLayout(const std::string& layout, const std::string& delimiter) {
        dm->ExecSQL("update _setup_main set tetel_megnevezes = :l, tetel_megnevezes_delimiter = :d",
                    {{"l", layout}, {"d", delimiter}});
        dm->_setup_mainSQL.Close();
    }
};

// --- Partners -------------------------------------------------------------------------------

TEST_F(MasterDataTest, PartnerWithContactsAndPostalAddressFromTheAddressBook) {
    TPartnerInfo p;
    dm->GetPartnerInfo(2, 0, 0, p);
    EXPECT_EQ(p.kod, 2);
    EXPECT_EQ(p.nev, "Kovács és Társa Bt.");
    EXPECT_EQ(p.fizetesmod, 2);
    EXPECT_EQ(p.fizetesi_hat_ido, 8);
    EXPECT_EQ(p.telefon, "+36 1 234 5678");  // the partner's own phone
    EXPECT_EQ(p.fax, "+36 1 234 5679");
    EXPECT_EQ(p.bankszamla, "10400157-00012345-00000000");
    EXPECT_EQ(p.email, "iroda@kovacsestarsa.hu");
    EXPECT_EQ(p.cegjegyzekszam, "01-06-765432");
    EXPECT_EQ(p.jellemzo_deviza_nev, "HUF");
    // No billing key: the partner's own address.
    EXPECT_EQ(p.szamlazasi_cim.kod, 0);
    EXPECT_EQ(p.szamlazasi_cim.nev, "Kovács és Társa Bt.");
    EXPECT_EQ(p.szamlazasi_cim.cim, "Irinyi József utca 4-20.");
    // The postal address row (type 1) has no country: the partner's country fills it.
    EXPECT_EQ(p.posta_cim.kod, 1);
    EXPECT_EQ(p.posta_cim.cim_tipus, 1);
    EXPECT_EQ(p.posta_cim.orszag, "Magyarország");
    const std::vector<std::string> lines = {"Kovács és Társa Bt. - Könyvelés", "Budapest",
                                            "Pf. 123", "1519", "Magyarország"};
    EXPECT_EQ(p.posta_cim_sorok, lines);
}

TEST_F(MasterDataTest, PartnerBillingAndPostalKeys) {
    struct Case {
        const char* name;
        int szamlazasi;
        int posta;
        int billingKod;
        const char* billingCim;
        int postaKod;
        const char* postaCim;
    };
    const Case cases[] = {
        {"billing key of the address book", 2, 0, 2, "Gubacsi út 6.", 1, "Pf. 123"},
        {"postal key of a postal address", 0, 1, 0, "Irinyi József utca 4-20.", 1, "Pf. 123"},
        {"postal key of a non-postal address", 0, 2, 0, "Irinyi József utca 4-20.", 0,
         "Irinyi József utca 4-20."},
        {"missing billing key", 99999, 0, 0, "Irinyi József utca 4-20.", 1, "Pf. 123"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPartnerInfo p;
        dm->GetPartnerInfo(2, c.szamlazasi, c.posta, p);
        EXPECT_EQ(p.szamlazasi_cim.kod, c.billingKod);
        EXPECT_EQ(p.szamlazasi_cim.cim, c.billingCim);
        EXPECT_EQ(p.posta_cim.kod, c.postaKod);
        EXPECT_EQ(p.posta_cim.cim, c.postaCim);
    }
}

TEST_F(MasterDataTest, PartnerWithoutAddressBookPhoneFromContactsUnknownLanguage) {
    dm->ExecSQLList({
        "insert into partner (kod, nev, iszam, telepules, cim, orszag, masodik_nyelv, telefon,",
        "  szuletesi_datum, kvota_engedely) values",
        "  (9501, 'O''Hara Kft.', '6720', 'Szeged', 'Tisza Lajos krt. 1.', 'Magyarország',",
        "   'zz', '', '1980-02-29', 1);",
        "insert into partner_emailtar (kod, partner_kod, telefon, email) values",
        "  (9503, 9501, '+36 3', 'c@example.hu'), (9501, 9501, '', ''),",
        "  (9502, 9501, '+36 2', 'b@example.hu');",
        "insert into partner_cimtar (kod, partner_kod, cim_tipus, nev, cim) values",
        "  (9501, 9501, 2, 'Telephely', 'Nem postai út 2.');",
    });
    TPartnerInfo p;
    p.szamlazasi_cim.cim_tipus = 7;  // kept with the partner's own address
    dm->GetPartnerInfo(9501, 0, 0, p);
    EXPECT_EQ(p.kod, 9501);
    EXPECT_EQ(p.nev, "O'Hara Kft.");
    EXPECT_EQ(p.masodik_nyelv, "");  // not in lang_key
    EXPECT_EQ(p.telefon, "+36 2");   // the lowest-key contact with a phone
    EXPECT_EQ(p.email, "b@example.hu");
    EXPECT_EQ(p.bankszamla, "");
    EXPECT_EQ(p.szuletesi_datum, db::EncodeDate(1980, 2, 29));
    EXPECT_EQ(p.kvota_engedely, 1);
    for (const TPartnerCim* cim : {&p.szamlazasi_cim, &p.posta_cim}) {
        EXPECT_EQ(cim->kod, 0);
        EXPECT_EQ(cim->nev, "O'Hara Kft.");
        EXPECT_EQ(cim->iszam, "6720");
        EXPECT_EQ(cim->telepules, "Szeged");
        EXPECT_EQ(cim->cim, "Tisza Lajos krt. 1.");
        EXPECT_EQ(cim->orszag, "Magyarország");
    }
    EXPECT_EQ(p.szamlazasi_cim.cim_tipus, 7);
    const std::vector<std::string> lines = {"O'Hara Kft.", "Szeged", "Tisza Lajos krt. 1.", "6720",
                                            "Magyarország"};
    EXPECT_EQ(p.posta_cim_sorok, lines);

    // A known second language stays.
    TPartnerInfo shannon;
    dm->GetPartnerInfo(3, 0, 0, shannon);
    EXPECT_EQ(shannon.masodik_nyelv, "00000409");
}

TEST_F(MasterDataTest, MissingPartnerGivesMinusOneAndKeepsTheRest) {
    TPartnerInfo p;
    p.telepules = "kept";
    p.posta_cim_sorok = {"kept"};
    dm->GetPartnerInfo(999999, 0, 0, p);
    EXPECT_EQ(p.kod, -1);
    EXPECT_EQ(p.telepules, "kept");
    EXPECT_EQ(p.posta_cim_sorok, std::vector<std::string>{"kept"});
}

TEST_F(MasterDataTest, PartnerNameCountIgnoresCaseAndThePartnerItself) {
    dm->ExecSQLList({
        "insert into partner (kod, nev) values (9601, 'Alma Kft.'), (9602, 'ALMA KFT.'),",
        "  (9603, 'Alma Kft'), (9604, 'D''Arc Bt.');",
    });
    struct Case {
        const char* nev;
        int kod;
        int expected;
    };
    const Case cases[] = {
        {"alma kft.", 0, 2},
        {"Alma Kft.", 9601, 1},  // the partner itself is not counted
        {"Alma", 0, 0},
        {"d'arc bt.", 0, 1},
        {"O'Neill Építő Kft.", 0, 1},
        {"O'Neill Építő Kft.", 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nev);
        EXPECT_EQ(dm->GetPartnerNevDb(c.nev, c.kod), c.expected);
    }
}

TEST_F(MasterDataTest, PartnerDebtComposite) {
    const TDateTime day = db::EncodeDate(2026, 12, 31);
    for (const bool szallitokkal : {false, true}) {
        SCOPED_TRACE(szallitokkal);
        for (const int partner : {2, 4, 5}) {
            SCOPED_TRACE(partner);
            TPartnerTartozas t;
            dm->GetPartner_Tartozas(partner, szallitokkal, day, t);
            // The same values read column by column from the server function.
            const std::string expected = dm->GetSQLResult(
                "select (t).partner_kod, (t).datum, (t).tartozas, (t).lejart, "
                "(t).szallito_nyitott, (t).nyitott_szamlak from (select "
                "getpartner_tartozas(:p, '2026-12-31', :f) as t) s",
                {{"p", partner}, {"f", szallitokkal}});
            EXPECT_EQ(std::to_string(t.partner_kod) + ",2026-12-31," + db::FormatDouble(t.ertek3) +
                          "," + db::FormatDouble(t.ertek4) + "," + db::FormatDouble(t.ertek5) +
                          "," + std::to_string(t.ertek6),
                      expected);
            EXPECT_EQ(t.datum, day);
        }
    }
    // Partner 5 has an open delivery note: counted only when asked for.
    TPartnerTartozas without, with;
    dm->GetPartner_Tartozas(5, false, day, without);
    dm->GetPartner_Tartozas(5, true, day, with);
    EXPECT_EQ(without.ertek5, 0);
    EXPECT_GT(with.ertek5, 0);
}

TEST_F(MasterDataTest, PartnerDebtDayDoesNotDependOnTheWorkstationDateFormat) {
    FormatSettings& format = GlobalFormatSettings();
    const std::string saved = format.shortDateFormat;
    format.shortDateFormat = "MM/dd/yyyy";
    TPartnerTartozas t;
    dm->GetPartner_Tartozas(2, false, db::EncodeDate(2026, 11, 30) + db::EncodeTime(15, 0, 0), t);
    format.shortDateFormat = saved;
    EXPECT_EQ(t.partner_kod, 2);
    EXPECT_EQ(t.datum, db::EncodeDate(2026, 11, 30));  // the day the server answered for
}

TEST_F(MasterDataTest, PartnerDebtOfKeyZeroIsZeroWithTheGivenDate) {
    TPartnerTartozas t;
    t.ertek3 = 5;
    t.ertek6 = 5;
    dm->ZConnection.Disconnect();  // no query is made
    dm->GetPartner_Tartozas(0, true, db::EncodeDate(2024, 3, 31), t);
    EXPECT_EQ(t.partner_kod, 0);
    EXPECT_EQ(t.datum, db::EncodeDate(2024, 3, 31));
    EXPECT_EQ(t.ertek3, 0);
    EXPECT_EQ(t.ertek6, 0);
    dm->ConnectLocal(test::DatabaseParams());
}

// --- Items ----------------------------------------------------------------------------------

TEST_F(MasterDataTest, ItemInTheLanguageAsked) {
    SetDefaultLayout("152", "-");
    struct Case {
        const char* lang;
        const char* nev;
        const char* mee;
        const char* afa;
        const char* zaradek;
    };
    const Case cases[] = {
        {"0", "Ütvefúrógép 750 W", "db", "27%-os ÁFA", "Jótállás: 12 hónap a vásárlás napjától."},
        {"", "Ütvefúrógép 750 W", "db", "27%-os ÁFA", "Jótállás: 12 hónap a vásárlás napjától."},
        {"0000040E", "Ütvefúrógép 750 W", "db", "27%-os ÁFA",
         "Jótállás: 12 hónap a vásárlás napjától."},
        {"00000409", "Impact drill 750 W", "pcs", "VAT 27%",
         "Warranty: 12 months from the date of purchase."},
        {"00000407", "Schlagbohrmaschine 750 W", "Stk", "MwSt. 27%",
         "Garantie: 12 Monate ab Kaufdatum."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        TTetelInfo t;
        dm->GetTetelInfo(2, c.lang, t);
        EXPECT_EQ(t.kod, 2);
        EXPECT_EQ(t.nev, c.nev);
        EXPECT_EQ(t.mee_nev, c.mee);
        EXPECT_EQ(t.afa_leiras, c.afa);
        EXPECT_EQ(t.zaradek, c.zaradek);
        EXPECT_EQ(t.bizonylat_nev, std::string(c.nev) + " - 2 - Gyári szám szerint nyilvántartva");
        EXPECT_EQ(t.sor2, "Gyári szám szerint nyilvántartva");
        EXPECT_EQ(t.afa_kulcs, 1);
        EXPECT_DOUBLE_EQ(t.afa_kulcs_szaz, 27);
        EXPECT_EQ(t.mennyisegi_egyseg, 1);
        EXPECT_EQ(t.egyedi, 1);
        EXPECT_EQ(t.vonalkod, "5990001000028");
        EXPECT_DOUBLE_EQ(t.utolsobeszerzesiar, 16500);
        EXPECT_DOUBLE_EQ(t.haszonkulcs, 40);
        EXPECT_DOUBLE_EQ(t.minimum_haszonkulcs, 20);
        EXPECT_EQ(t.fajta3, 32);
        EXPECT_EQ(t.tetel_azonosito_kod, "8467 21 10");
        EXPECT_EQ(t.szoveges_kod, "FURO-750");
        EXPECT_EQ(t.kapcsolt_fokonyviszam, "911");
    }
}

TEST_F(MasterDataTest, ItemLanguageCodeIsNeverStatementText) {
    TTetelInfo t;
    EXPECT_THROW(dm->GetTetelInfo(1, "0000040e as x from tetel; --", t), std::invalid_argument);
    EXPECT_THROW(dm->GetTetelInfo(1, "0409", t), std::invalid_argument);
}

TEST_F(MasterDataTest, MissingItemGivesZeroAndEmptyFields) {
    TTetelInfo t;
    t.kod = 5;
    t.sor2 = "x";
    t.afa_kulcs_szaz = 27;
    dm->GetTetelInfo(999999, "0", t);
    EXPECT_EQ(t.kod, 0);
    EXPECT_EQ(t.nev, "");
    EXPECT_EQ(t.sor2, "");
    EXPECT_EQ(t.afa_kulcs_szaz, 0);
}

TEST_F(MasterDataTest, LastPurchasePriceRoundedOnlyByTheBarcodeLookup) {
    dm->ExecSQLList({
        "insert into tetel (kod, lang_0000040e, vonalkod, utolsobeszerzesiar, afa_kulcs,",
        "  kompenzacio_mezogazd, mennyisegi_egyseg) values",
        "  (9701, 'Kerek', 'B-9701', 123.60, 3, 2, 2),",
        "  (9702, 'Fél', 'B''9702', 122.5, 4, 0, 8);",
    });
    struct Case {
        int kod;
        const char* vonalkod;
        double byKey;
        double byBarcode;
    };
    const Case cases[] = {{9701, "B-9701", 123.60, 124}, {9702, "B'9702", 122.5, 122}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vonalkod);
        TTetelInfo byKey;
        dm->GetTetelInfo(c.kod, "0", byKey);
        EXPECT_DOUBLE_EQ(byKey.utolsobeszerzesiar, c.byKey);
        RecordingUi ui;
        ScopedUiPort port(ui);
        TTetelInfo byBarcode;
        dm->GetTetelInfo_via_vonalkod(c.vonalkod, byBarcode);
        EXPECT_EQ(byBarcode.kod, c.kod);
        EXPECT_DOUBLE_EQ(byBarcode.utolsobeszerzesiar, c.byBarcode);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(MasterDataTest, ItemByBarcode) {
    SetDefaultLayout("15", "-");
    dm->ExecSQL(
        "insert into tetel (kod, lang_0000040e, kompenzacio_mezogazd) values (9703, 'x', 0)");
    RecordingUi ui;
    ScopedUiPort port(ui);
    TTetelInfo t;
    t.afa_leiras = "kept";
    t.zaradek = "kept";
    dm->GetTetelInfo_via_vonalkod("5990001000011", t);
    EXPECT_EQ(t.kod, 1);
    EXPECT_EQ(t.nev, "Csavarhúzó készlet 12 részes");
    EXPECT_EQ(t.bizonylat_nev, "Csavarhúzó készlet 12 részes - 1");
    EXPECT_EQ(t.mee_nev, "db");
    EXPECT_DOUBLE_EQ(t.afa_kulcs_szaz, 27);
    EXPECT_DOUBLE_EQ(t.kompenzacio_mezogazd_szaz, 0);
    EXPECT_DOUBLE_EQ(t.utolsobeszerzesiar, 3150);
    EXPECT_EQ(t.afa_leiras, "kept");  // not set by the barcode lookup
    EXPECT_EQ(t.zaradek, "kept");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MasterDataTest, BarcodeOfNoneOrSeveralItems) {
    dm->ExecSQL(
        "insert into tetel (kod, lang_0000040e, vonalkod) values (9704, 'a', 'KETSZER'), (9705, "
        "'b', 'KETSZER')");
    struct Case {
        const char* vonalkod;
        const char* message;
    };
    const Case cases[] = {
        {"KETSZER", "Ezzel a vonalkóddal több tétel is azonosítható a törzsben!"},
        {"NINCS'ILYEN", "Ismeretlen vonalkód!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vonalkod);
        RecordingUi ui;
        ScopedUiPort port(ui);
        TTetelInfo t;
        t.kod = 1;
        dm->GetTetelInfo_via_vonalkod(c.vonalkod, t);
        EXPECT_EQ(t.kod, 0);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].caption, "Vonalkód azonosítási hiba");
        EXPECT_EQ(ui.messages[0].text, c.message);
    }
}

// --- Movement types and warehouses ------------------------------------------------------------

TEST_F(MasterDataTest, MovementTypeFromTheCache) {
    dm->GetMozgasnemInfoZQuery.Close();
    TMozgasnemInfo m;
    dm->GetMozgasnemInfo(4, m);
    EXPECT_EQ(m.nev, "Értékesítés sztornó");
    EXPECT_EQ(m.cel_raktar, 0);
    EXPECT_EQ(m.forras_raktar, 1);
    EXPECT_EQ(m.tipus, 2);
    EXPECT_EQ(m.sztorno, 1);
    EXPECT_EQ(m.kapcsolt_mozgas, 3);
    EXPECT_EQ(m.hasznalatban, 1);
    EXPECT_EQ(m.bizonylat_kapcsolat, 5);

    // Changed and added behind the cache: the old answers until the query is closed.
    Other(
        "update mozgasnem set lang_0000040e = 'Átnevezve', kapcsolt_mozgas = 9 where kod = 4;"
        "insert into mozgasnem (kod, lang_0000040e) values (9801, 'Új');");
    TMozgasnemInfo cached;
    dm->GetMozgasnemInfo(4, cached);
    EXPECT_EQ(cached.nev, "Értékesítés sztornó");
    EXPECT_EQ(cached.kapcsolt_mozgas, 3);
    TMozgasnemInfo fresh;
    dm->GetMozgasnemInfo(9801, fresh);
    EXPECT_EQ(fresh.nev, "");

    dm->GetMozgasnemInfoZQuery.Close();
    dm->GetMozgasnemInfo(4, cached);
    EXPECT_EQ(cached.nev, "Átnevezve");
    EXPECT_EQ(cached.kapcsolt_mozgas, 9);
    dm->GetMozgasnemInfo(9801, fresh);
    EXPECT_EQ(fresh.nev, "Új");
    dm->GetMozgasnemInfoZQuery.Close();
}

TEST_F(MasterDataTest, MissingMovementTypeEmptiesOnlyTheName) {
    TMozgasnemInfo m;
    m.nev = "x";
    m.tipus = 77;
    dm->GetMozgasnemInfo(999999, m);
    EXPECT_EQ(m.nev, "");
    EXPECT_EQ(m.tipus, 77);
}

TEST_F(MasterDataTest, Warehouses) {
    dm->GetRaktarInfoZQuery.Close();
    struct Case {
        int kod;
        const char* nev;
        int partnerRaktar;
        int partner;
        int tipus;
    };
    const Case cases[] = {
        {1, "Központi raktár", 0, 0, 1},
        {3, "Bizományosi raktár (Kovács és Társa)", 1, 2, 2},
        {999999, "", 9, 9, 9},  // not found: only the name is emptied
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kod);
        TRaktarInfo r{"x", 9, 9, 9};
        dm->GetRaktarInfo(c.kod, r);
        EXPECT_EQ(r.nev, c.nev);
        EXPECT_EQ(r.partner_raktar, c.partnerRaktar);
        EXPECT_EQ(r.partner_kod, c.partner);
        EXPECT_EQ(r.raktar_tipus, c.tipus);
    }
    // Read once: a warehouse added afterwards is not seen until the query is closed.
    Other("insert into raktar_nevek (kod, lang_0000040e, partner_kod) values (9901, 'Új', 4)");
    TRaktarInfo r;
    dm->GetRaktarInfo(9901, r);
    EXPECT_EQ(r.nev, "");
    dm->GetRaktarInfoZQuery.Close();
    dm->GetRaktarInfo(9901, r);
    EXPECT_EQ(r.nev, "Új");
    EXPECT_EQ(r.partner_raktar, 1);
}

}  // namespace
}  // namespace dorvan
