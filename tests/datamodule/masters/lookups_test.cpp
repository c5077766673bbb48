// Reference lookups: cached code tables read once, fresh reads, default rows, and the VAT
// keys created when missing, also when two workstations ask at the same time.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <string>
#include <thread>

#include "config/format_settings.h"
#include "support/dm_fixture.h"

namespace dorvan::test {
namespace {

constexpr const char* kFixture = R"SQL(
TRUNCATE afa_kulcs, fizetesmod, mennyisegi_egyseg, tetel_fajtak, iso_statusz, penzeszkoz_nevek,
         deviza, kedvezmeny, uzletkoto, partner_csoport, munkatars, projekt_statusz,
         partner_email_lista, projektek, partner, gyartas, tetel RESTART IDENTITY;
INSERT INTO afa_kulcs (kod, lang_0000040e, lang_00000409, afakulcs, mentes, alapertelmezett) VALUES
  (1, '27%-os ÁFA', 'VAT 27%', 27, 0, 1), (3, '5,5%-os ÁFA', 'VAT 5.5%', 5.5, 0, 0),
  (4, '0%-os ÁFA', 'VAT 0%', 0, 0, 0);
INSERT INTO fizetesmod (kod, lang_0000040e, lang_00000409, zaradek_lang_0000040e,
  zaradek_lang_00000409, halasztott_fizetesu, hatarido, postakoltseg, keszpenzes, alapertelmezett)
  VALUES (1, 'Átutalás', 'Bank transfer', 'Utalja át!', 'Transfer it!', 1, 8, 0, 0, 1),
         (2, 'Készpénz', 'Cash', 'Fizetve.', 'Paid.', 0, 0, 0, 1, 0);
INSERT INTO mennyisegi_egyseg (kod, lang_0000040e, lang_00000409) VALUES
  (1, 'kg', 'kg'), (2, 'db', 'pcs');
INSERT INTO tetel_fajtak (kod, fajta_kod, lang_0000040e) VALUES (11, 1, 'Szerszám'), (12, 1, 'Könyv');
INSERT INTO iso_statusz (kod, lang_0000040e, engedely) VALUES
  (3, 'Nem minősített', 0), (5, 'Minősített', 1), (7, 'Kiváló', 1);
INSERT INTO penzeszkoz_nevek (kod, lang_0000040e, megjegyzes, tipus, azonosito, alapertelmezett,
  kapcsolt_telephely, bank_neve, bank_szamlaszam, bank_szamlaszam_iban, bank_swift, deviza_nev)
  VALUES (1, 'Házipénztár', 'bolt', 1, 'P1', 1, 2, NULL, NULL, NULL, NULL, 'HUF'),
         (2, 'OTP euró', 'deviza', 2, 'B2', 1, 0, 'OTP', '1177', 'HU42', 'OTPV', 'EUR');
INSERT INTO deviza (nev, megjegyzes, bizonylat_vegosszeg_kerekites) VALUES
  ('HUF', 'Magyar forint', 1), ('EUR', 'Euró', 0);
INSERT INTO kedvezmeny (kod, lang_0000040e, kedvezmeny, netto_limit, fizetesmod, kotott_fizetesmod)
  VALUES (2, 'Törzsvevő', 7.5, 100000, 2, 1);
INSERT INTO uzletkoto (kod, nev, iranyitoszam, telepules, cim, telefon, megjegyzes) VALUES
  (4, 'Kiss Ábel', '5000', 'Szolnok', 'Fő tér 1.', '+36 1', 'észak');
INSERT INTO partner_csoport (kod, lang_0000040e) VALUES (9, 'Viszonteladók');
INSERT INTO munkatars (kod, userid, pass, nev, adoazonosito, superuser, szuletes_ideje) VALUES
  (3, 'nagyp', 'titok', 'Nagy Péter', '8123456789', 1, '1980-05-17'), (4, 'kiss', '', 'Kiss', '', 0, NULL);
INSERT INTO projekt_statusz (kod, lang_0000040e, hasznalatban, projekt_zarva) VALUES (6, 'Lezárt', 1, 1);
INSERT INTO partner_email_lista (kod, nev, linuxname) VALUES (2, 'Hírlevél', 'hirlevel');
INSERT INTO projektek (kod, besorolas, partner_kod, helyszin, leiras, rogzites, datum1, datum2,
  utemezes, vegzi, ellenorzi, megjegyzes, hasznalatban, statusz, bejelento, forditott_adozas)
  VALUES (42, 2, 5, 'Szolnok', 'Tetőjavítás', '2026-11-02', '2026-11-03', '2026-12-01', 3, 4, 5,
          'sürgős', 1, 6, 'Kovács', 1);
INSERT INTO partner (kod, nev, iso_engedely) VALUES (5, 'O''Neill Kft.', 7), (6, 'Névtelen', 3);
INSERT INTO tetel (kod, lang_0000040e, afa_kulcs) VALUES (1, 'Polc', 1), (13, 'Csavar', 1), (14, 'Deszka', 3);
INSERT INTO gyartas (kesztermek, beepulo, mennyiseg, osszeg) VALUES (1, 13, 8, 240), (1, 14, 2, 2890);
)SQL";

class LookupsTest : public DmFixture {
  protected:
    void SetUp() override {
        DmFixture::SetUp();
        Exec(kFixture);
    }
};

TEST(AfaLabels, NetShareAndSubtotalLabel) {
    struct Case {
        double rate;
        double nettoArany;
        const char* label;
    };
    const Case cases[] = {
        {0, 100, "X részösszeg:"},
        {27, 78.740157480314963, "X (27%) részösszeg:"},
        {5.5, 94.786729857819907, "X (5,5%) részösszeg:"},
        {18, 84.745762711864401, "X (18%) részösszeg:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        EXPECT_NEAR(AfaNettoArany(c.rate), c.nettoArany, 1e-9);
        EXPECT_EQ(AfaReszosszegFelirat("X", c.rate), c.label);
    }
}

TEST(AfaLabels, LanguageColumns) {
    EXPECT_EQ(LangColumn("0"), "lang_0000040e");
    EXPECT_EQ(LangColumn(""), "lang_0000040e");
    EXPECT_EQ(LangColumn("00000409"), "lang_00000409");
    EXPECT_EQ(ZaradekLangColumn(""), "zaradek_lang_0000040e");
    EXPECT_EQ(ZaradekLangColumn("00000407"), "zaradek_lang_00000407");
}

TEST_F(LookupsTest, AfaInfoOfZeroAndTwentySevenPercent) {
    TAFAInfo info;
    dm->GetAFAInfo(4, "0", info);
    EXPECT_EQ(info.nev, "0%-os ÁFA");
    EXPECT_EQ(info.afakulcs, 0);
    EXPECT_EQ(info.netto_arany, 100);
    EXPECT_EQ(info.reszosszeg_felirat, "0%-os ÁFA részösszeg:");

    dm->GetAFAInfo(1, "", info);
    EXPECT_EQ(info.afakulcs, 27);
    EXPECT_NEAR(info.netto_arany, 78.7401574803, 1e-9);
    EXPECT_EQ(info.reszosszeg_felirat, "27%-os ÁFA (27%) részösszeg:");

    dm->GetAFAInfo(1, "00000409", info);
    EXPECT_EQ(info.reszosszeg_felirat, "VAT 27% (27%) részösszeg:");

    // Not found: the name is emptied, the rest stays.
    dm->GetAFAInfo(99, "0", info);
    EXPECT_EQ(info.nev, "");
    EXPECT_EQ(info.afakulcs, 27);
}

TEST_F(LookupsTest, CachedTablesAreReadOnceUntilClosed) {
    TAFAInfo afa;
    TFizmodInfo fizmod;
    TDevizaInfo deviza;
    std::string fajta;
    dm->GetAFAInfo(1, "0", afa);
    dm->GetFizmodInfo(1, "0", fizmod);
    dm->GetDevizaInfo("EUR", deviza);
    dm->GetFajtaNev(11, fajta);
    // Change every table behind the caches, add rows, and take the tables away for a moment:
    // the lookups answer from memory.
    Exec(
        "UPDATE afa_kulcs SET lang_0000040e = 'új'; UPDATE fizetesmod SET lang_0000040e = 'új';"
        " UPDATE deviza SET megjegyzes = 'új'; UPDATE tetel_fajtak SET lang_0000040e = 'új';"
        " INSERT INTO afa_kulcs (kod, lang_0000040e, afakulcs) VALUES (8, 'Új kulcs', 8)");
    Exec(
        "ALTER TABLE afa_kulcs RENAME TO afa_kulcs_x; ALTER TABLE fizetesmod RENAME TO "
        "fizetesmod_x;"
        " ALTER TABLE deviza RENAME TO deviza_x; ALTER TABLE tetel_fajtak RENAME TO "
        "tetel_fajtak_x");
    for (int i = 0; i < 3; ++i) {
        dm->GetAFAInfo(1, "0", afa);
        EXPECT_EQ(afa.nev, "27%-os ÁFA");
        dm->GetAFAInfo(8, "0", afa);
        EXPECT_EQ(afa.nev, "");
        dm->GetFizmodInfo(1, "0", fizmod);
        EXPECT_EQ(fizmod.nev, "Átutalás");
        dm->GetDevizaInfo("EUR", deviza);
        EXPECT_EQ(deviza.megjegyzes, "Euró");
        dm->GetFajtaNev(11, fajta);
        EXPECT_EQ(fajta, "Szerszám");
        EXPECT_EQ(dm->GetFajtakod("Könyv"), 12);
    }
    Exec(
        "ALTER TABLE afa_kulcs_x RENAME TO afa_kulcs; ALTER TABLE fizetesmod_x RENAME TO "
        "fizetesmod;"
        " ALTER TABLE deviza_x RENAME TO deviza; ALTER TABLE tetel_fajtak_x RENAME TO "
        "tetel_fajtak");
    // Closing a component makes the next lookup read the table again.
    dm->GetAfaInfoZQuery.Close();
    dm->GetAFAInfo(8, "0", afa);
    EXPECT_EQ(afa.nev, "Új kulcs");
    dm->GetFizmodInfo(1, "0", fizmod);
    EXPECT_EQ(fizmod.nev, "Átutalás");
}

TEST_F(LookupsTest, PaymentMethodAndItsNotFoundValue) {
    TFizmodInfo info;
    dm->GetFizmodInfo(2, "00000409", info);
    EXPECT_EQ(info.kod, 2);
    EXPECT_EQ(info.nev, "Cash");
    EXPECT_EQ(info.zaradek, "Paid.");
    EXPECT_EQ(info.keszpenzes, 1);
    dm->GetFizmodInfo(1, "0", info);
    EXPECT_EQ(info.halasztott_fizetesu, 1);
    EXPECT_EQ(info.hatarido, 8);
    EXPECT_EQ(info.zaradek, "Utalja át!");
    info.nev = "hívó neve";
    dm->GetFizmodInfo(77, "0", info);
    EXPECT_EQ(info.kod, 0);
    EXPECT_EQ(info.nev, "hívó neve");
}

TEST_F(LookupsTest, CachedLookupsByKey) {
    TMennyisegiEgysegInfo me;
    dm->GetMennyisegiEgysegInfo(2, "00000409", me);
    EXPECT_EQ(me.kod, 2);
    EXPECT_EQ(me.nev, "pcs");
    dm->GetMennyisegiEgysegInfo(9, "0", me);
    EXPECT_EQ(me.nev, "");

    EXPECT_EQ(dm->GetFajtakod("Szerszám"), 11);
    EXPECT_EQ(dm->GetFajtakod("szerszám"), 0);  // letter case counts
    std::string text = "x";
    dm->GetFajtaNev(99, text);
    EXPECT_EQ(text, "");

    TIso_StatuszInfo iso;
    dm->GetIso_StatuszInfo(5, iso);
    EXPECT_EQ(iso.nev, "Minősített");
    EXPECT_EQ(iso.engedely, 1);

    TPenzeszkozInfo p;
    dm->GetPenzeszkozInfo(2, p);
    EXPECT_EQ(p.nev, "OTP euró");
    EXPECT_EQ(p.tipus, 2);
    EXPECT_EQ(p.azonosito, "B2");
    EXPECT_EQ(p.bank_szamlaszam_iban, "HU42");
    EXPECT_EQ(p.bank_swift, "OTPV");
    EXPECT_EQ(p.deviza_nev, "EUR");
    dm->GetPenzeszkozInfo(1, p);
    EXPECT_EQ(p.kapcsolt_telephely, 2);
    EXPECT_EQ(p.bank_neve, "");

    TDevizaInfo d;
    dm->GetDevizaInfo("HUF", d);
    EXPECT_EQ(d.nev, "HUF");
    EXPECT_EQ(d.bizonylat_vegosszeg_kerekites, 1);
    dm->GetDevizaInfo("huf", d);
    EXPECT_EQ(d.nev, "");

    TKedvezmenyInfo k;
    dm->GetKedvezmenyInfo(2, k);
    EXPECT_EQ(k.nev, "Törzsvevő");
    EXPECT_EQ(k.kedvezmeny, 7.5);
    EXPECT_EQ(k.netto_limit, 100000);
    EXPECT_EQ(k.kotott_fizetesmod, 1);
    EXPECT_EQ(k.fizetesmod, 2);

    TUzletkotoInfo u;
    dm->GetUzletkotoInfo(4, u);
    EXPECT_EQ(u.nev, "Kiss Ábel");
    EXPECT_EQ(u.cim, "Fő tér 1.");
    dm->GetUzletkotoInfo(5, u);
    EXPECT_EQ(u.nev, "");

    dm->GetPartnerCsoportInfo(9, text);
    EXPECT_EQ(text, "Viszonteladók");
    dm->GetPartnerCsoportInfo(1, text);
    EXPECT_EQ(text, "");
}

TEST_F(LookupsTest, FreshReadsAndTheirEmptyRecords) {
    TMunkatarsInfo m;
    dm->GetMunkatarsInfo(3, m);
    EXPECT_EQ(m.kod, 3);
    EXPECT_EQ(m.userid, "nagyp");
    EXPECT_EQ(m.pass, "titok");
    EXPECT_EQ(m.superuser, 1);
    EXPECT_EQ(m.szuletes_ideje, db::EncodeDate(1980, 5, 17));
    dm->GetMunkatarsInfo(99, m);
    EXPECT_EQ(m.kod, 0);
    EXPECT_EQ(m.nev, "");
    EXPECT_EQ(m.superuser, 0);
    EXPECT_EQ(dm->GetMunkatarsCount(), 2);

    TProjektStatuszInfo s;
    dm->GetProjektStatuszInfo(6, s);
    EXPECT_EQ(s.nev, "Lezárt");
    EXPECT_EQ(s.projekt_zarva, 1);
    dm->GetProjektStatuszInfo(7, s);
    EXPECT_EQ(s.kod, 0);
    EXPECT_EQ(s.nev, "");

    TEmailListaInfo e;
    dm->GetEmailListaInfo(2, e);
    EXPECT_EQ(e.linuxname, "hirlevel");
    dm->GetEmailListaInfo(3, e);
    EXPECT_EQ(e.kod, 0);
    EXPECT_EQ(e.nev, "");

    TProjektInfo p;
    dm->GetProjektInfo(42, p);
    EXPECT_EQ(p.kod, 42);
    EXPECT_EQ(p.kod_str, "00000042");
    EXPECT_EQ(p.partner_kod, 5);
    EXPECT_EQ(p.leiras, "Tetőjavítás");
    EXPECT_EQ(p.datum2, db::EncodeDate(2026, 12, 1));
    EXPECT_EQ(p.utemezes, 3);
    EXPECT_EQ(p.utemezes2, 3);
    EXPECT_EQ(p.ellenorzi, 5);
    EXPECT_EQ(p.statusz, 6);
    EXPECT_EQ(p.forditott_adozas, 1);
    dm->GetProjektInfo(43, p);
    EXPECT_EQ(p.kod, 0);
    EXPECT_EQ(p.kod_str, "00000000");
    EXPECT_EQ(p.leiras, "");
    EXPECT_EQ(p.rogzites, 0);

    EXPECT_EQ(dm->GetISOEngedely(5), 1);
    EXPECT_EQ(dm->GetISOEngedely(6), 0);
    EXPECT_EQ(dm->GetISOEngedely(99), 0);
}

TEST_F(LookupsTest, DefaultRows) {
    EXPECT_EQ(dm->GetAlapertelmezettAfa(), 1);
    EXPECT_EQ(dm->GetAlapertelmezettFizetesmod(), 1);
    EXPECT_EQ(dm->GetKpFizmodKod(), 2);
    TMennyisegiEgysegInfo me;
    dm->GetDefaultMennyisegiEgyseg(me);
    EXPECT_EQ(me.kod, 2);
    EXPECT_EQ(me.nev, "db");
    EXPECT_EQ(dm->GetDefaultISO_statusz(), 5);

    struct Case {
        int tipus;
        const char* deviza;
        int expected;
    };
    const Case cases[] = {
        {1, "HUF", 1}, {2, "EUR", 2}, {2, "HUF", 0}, {1, "EUR", 0}, {1, "O'X", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.tipus) + c.deviza);
        EXPECT_EQ(dm->GetAlapertelmezettPenzeszkoz(c.tipus, c.deviza), c.expected);
    }

    Exec("TRUNCATE afa_kulcs, fizetesmod, mennyisegi_egyseg, iso_statusz");
    EXPECT_EQ(dm->GetAlapertelmezettAfa(), 0);
    EXPECT_EQ(dm->GetAlapertelmezettFizetesmod(), 0);
    EXPECT_EQ(dm->GetKpFizmodKod(), 0);
    me = {7, "marad"};
    dm->GetDefaultMennyisegiEgyseg(me);
    EXPECT_EQ(me.kod, 7);
    EXPECT_EQ(me.nev, "marad");
    EXPECT_EQ(dm->GetDefaultISO_statusz(), 0);
}

TEST_F(LookupsTest, BillOfMaterials) {
    EXPECT_EQ(dm->GetGyartas(1), 2);
    db::Query& q = dm->GetGyartasSQL;
    ASSERT_TRUE(q.Active());
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(q.FieldByName("beepulo").AsInteger(), 13);  // largest quantity first
    EXPECT_EQ(q.FieldByName("nev").AsString(), "Csavar");
    EXPECT_EQ(q.FieldByName("afa_kulcs").AsInteger(), 1);
    EXPECT_EQ(q.FieldByName("afakulcs").AsString(), "27%-os ÁFA");
    q.Next();
    EXPECT_EQ(q.FieldByName("mennyiseg").AsFloat(), 2);
    EXPECT_EQ(q.FieldByName("osszeg").AsFloat(), 2890);

    EXPECT_EQ(dm->GetGyartas(13), 0);
    EXPECT_TRUE(q.Active());
    EXPECT_TRUE(q.IsEmpty());
}

// --- VAT keys created when missing ---

struct FindOrCreate {
    const char* name;
    int (TDM::*call)();
    const char* expected;  // nev|afakulcs|mentes|eus|forditott of the row
};

const FindOrCreate kFindOrCreate[] = {
    {"Get0AFAKulcs", &TDM::Get0AFAKulcs, "0%-os ÁFA|0|0|0|0"},
    {"GetEUsMentesAFAKulcs", &TDM::GetEUsMentesAFAKulcs,
     "ÁFA mentes (vevő /országa törvényei szerinti/ adófizetésre kötelezett)|0|1|1|0"},
    {"GetForditottAdosMentesAFAKulcs", &TDM::GetForditottAdosMentesAFAKulcs,
     "Fordított adózás /Áfa tv. 142.§ (1) b./ szerint adózó tétel(ek)|0|1|0|1"},
};

class VatKeysTest : public DmFixture {
  protected:
    void SetUp() override {
        DmFixture::SetUp();
        Exec("TRUNCATE afa_kulcs RESTART IDENTITY");
    }
    std::string Row(int kod) {
        return Scalar(
            "select lang_0000040e || '|' || afakulcs || '|' || mentes || '|' ||"
            " eus_tagorszagbeli_ertekesiteshez || '|' || forditott_adozas"
            " from afa_kulcs where kod = :kod",
            {{"kod", kod}});
    }
};

TEST_F(VatKeysTest, CreatedOnceThenFound) {
    for (const auto& c : kFindOrCreate) {
        SCOPED_TRACE(c.name);
        const int before = Count("select count(*) from afa_kulcs");
        const int first = (dm.get()->*c.call)();
        const int second = (dm.get()->*c.call)();
        EXPECT_GT(first, 0);
        EXPECT_EQ(second, first);
        EXPECT_EQ(Count("select count(*) from afa_kulcs"), before + 1);
        EXPECT_EQ(Row(first), c.expected);
        EXPECT_FALSE(dm->ZConnection.InTransaction());
    }
    // The three keys are different rows, each found by its own condition.
    EXPECT_EQ(Count("select count(distinct kod) from afa_kulcs"), 3);
}

TEST_F(VatKeysTest, ExistingKeyIsFound) {
    Exec(
        "INSERT INTO afa_kulcs (kod, lang_0000040e, afakulcs, mentes) VALUES (4, 'Nulla', 0, 0),"
        " (5, 'Mentes', 0, 1)");
    EXPECT_EQ(dm->Get0AFAKulcs(), 4);
    EXPECT_EQ(Count("select count(*) from afa_kulcs"), 2);
}

TEST_F(VatKeysTest, InsideCallersTransactionTheRowGoesWithIt) {
    dm->ZConnection.StartTransaction();
    const int kod = dm->Get0AFAKulcs();
    EXPECT_TRUE(dm->ZConnection.InTransaction());
    dm->ZConnection.Rollback();
    EXPECT_EQ(Count("select count(*) from afa_kulcs"), 0);
    EXPECT_NE(dm->Get0AFAKulcs(), kod);
    EXPECT_EQ(Count("select count(*) from afa_kulcs"), 1);
}

TEST_F(VatKeysTest, SecondWorkstationWaitsForTheFirstAndFindsItsRow) {
    for (const auto& c : kFindOrCreate) {
        SCOPED_TRACE(c.name);
        Exec("TRUNCATE afa_kulcs");
        auto other = ConnectedDm();
        // The first workstation creates the key inside a transaction it has not committed yet.
        dm->ZConnection.StartTransaction();
        const int first = (dm.get()->*c.call)();
        auto second = std::async(std::launch::async, [&] { return (other.get()->*c.call)(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        dm->ZConnection.Commit();
        EXPECT_EQ(second.get(), first);
        EXPECT_EQ(Count("select count(*) from afa_kulcs"), 1);
    }
}

TEST_F(VatKeysTest, TwoWorkstationsRacingCreateOneRow) {
    auto a = ConnectedDm();
    auto b = ConnectedDm();
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Exec("TRUNCATE afa_kulcs");
        std::promise<void> go;
        std::shared_future<void> start = go.get_future().share();
        auto fa = std::async(std::launch::async, [&] {
            start.wait();
            return a->Get0AFAKulcs();
        });
        auto fb = std::async(std::launch::async, [&] {
            start.wait();
            return b->Get0AFAKulcs();
        });
        go.set_value();
        const int ka = fa.get();
        const int kb = fb.get();
        EXPECT_EQ(ka, kb);
        EXPECT_EQ(Count("select count(*) from afa_kulcs"), 1);
    }
}

}  // namespace
}  // namespace dorvan::test
