// Price determination on the demo data: quotation, promotional item, group rules by
// category, default list, discounts, VAT-exempt partners and reverse charge.

#include <gtest/gtest.h>

#include "money_fixture.h"

namespace dorvan::test {
namespace {

using db::EncodeDate;

// Demo VAT keys: 1 is 27 %, 5 the EU-exempt key, 6 the reverse-charge key.
constexpr int kAfa27 = 1;
constexpr int kEuMentes = 5;
constexpr int kForditott = 6;
// 10 % and 5 % compounded; with the 4 % of bank card payment as well.
constexpr double kKedvezmeny = 0.9 * 0.95;
constexpr double kKedvezmenyKartya = 0.9 * 0.95 * 0.96;

struct PriceCase {
    const char* name;
    int tetel;
    int partner;
    int fizetesmod;
    int projekt;
    const char* deviza;
    bool silent;
    double netto;
    double brutto;
    int afa;
    const char* arDeviza;
    bool warns;
};

class PricingTest : public MoneyTest {
  protected:
    void Check(const PriceCase& c) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        TEgysegar price{7, 7, 7, "X"};
        dm->GetPartnerEgysegar(c.tetel, c.partner, c.fizetesmod, c.projekt, c.silent,
                               EncodeDate(2026, 6, 15), c.deviza, price);
        EXPECT_NEAR(price.egysegar, c.netto, 1e-9);
        EXPECT_NEAR(price.egysegar_brutto, c.brutto, 1e-9);
        EXPECT_EQ(price.afa_kulcs, c.afa);
        EXPECT_EQ(price.deviza_nev, c.arDeviza);
        EXPECT_EQ(ui.messages.size(), c.warns ? 1u : 0u);
        if (c.warns && !ui.messages.empty()) {
            EXPECT_EQ(ui.messages[0].caption, "Dorvan dialog");
            EXPECT_EQ(ui.messages[0].text.rfind("Ez a tétel fordítottan adózhat", 0), 0u);
        }
    }
};

TEST_F(PricingTest, RulesInTheirOrder) {
    const PriceCase kCases[] = {
        {"valid quotation over rules and discounts", 1, 6001, 2, 0, "", true, 4000, 5080, kAfa27,
         "HUF", false},
        {"zero quotation does not count; later rule of score 3 wins; 10 % and 5 % compound", 13,
         6001, 2, 0, "", true, 348 * kKedvezmeny, 441.96 * kKedvezmeny, kAfa27, "HUF", false},
        {"discount of another payment method only with that method", 13, 6001, 3, 0, "", true,
         348 * kKedvezmenyKartya, 441.96 * kKedvezmenyKartya, kAfa27, "HUF", false},
        {"promotional item ignores rules and discounts", 11, 6001, 2, 0, "", true, 12990, 16497.3,
         kAfa27, "HUF", false},
        {"all-wildcard rule", 12, 6001, 2, 0, "", true, 6490 * 0.97 * kKedvezmeny,
         8242.3 * 0.97 * kKedvezmeny, kAfa27, "HUF", false},
        {"no rule: the forint default list, also for another currency", 13, 6002, 2, 0, "EUR", true,
         390, 495.3, kAfa27, "HUF", false},
        {"VAT-exempt partner", 13, 4, 2, 0, "", true, 390, 390, kEuMentes, "HUF", false},
        {"reverse charge by tax number (2) over the VAT exemption", 8, 6005, 2, 0, "", true, 3290,
         3290, kForditott, "HUF", false},
        {"reverse charge by tax number (3)", 8, 6003, 2, 0, "", true, 3290, 3290, kForditott, "HUF",
         false},
        {"tax number with 1 keeps the item's key", 8, 6002, 2, 0, "", true, 3290, 4178.3, kAfa27,
         "HUF", false},
        {"reverse charge by the project", 13, 6002, 2, 1, "", true, 390, 390, kForditott, "HUF",
         false},
        {"no tax number: warning, the item's key stays", 8, 6004, 1, 0, "", false, 3290, 4178.3,
         kAfa27, "HUF", true},
        {"no tax number, silent", 8, 6004, 1, 0, "", true, 3290, 4178.3, kAfa27, "HUF", false},
        {"missing item and partner", 999999, 999999, 0, 0, "", false, 0, 0, 0, "HUF", false},
    };
    for (const PriceCase& c : kCases)
        Check(c);
}

TEST_F(PricingTest, SettingsChangeTheRules) {
    SetSetup("arazasimod_alap_listaar", 1);
    Check({"default list of the currency", 13, 6002, 2, 0, "EUR", true, 1.00, 1.27, kAfa27, "EUR",
           false});
    Check({"currency without a default list: the forint one", 13, 6002, 2, 0, "USD", true, 390,
           495.3, kAfa27, "HUF", false});
    SetSetup("projektkezeles", 0);
    Check({"project ignored without project management", 13, 6002, 2, 1, "", true, 390, 495.3,
           kAfa27, "HUF", false});
    SetSetup("arazasimod", 3);
    Check({"pricing mode 3: no discount", 13, 6001, 2, 0, "", true, 348, 441.96, kAfa27, "HUF",
           false});
}

TEST_F(PricingTest, QuotationsOfTheSameDayAreTakenByKey) {
    Exec(
        "INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta, rendben, partner_kod, datum1, "
        "datum2, deviza_nev) VALUES (9101, 10, 2, 6002, '2026-05-01', '2026-07-01', 'EUR'), "
        "(9102, 10, 2, 6002, '2026-05-01', '2026-07-01', 'EUR'), "
        "(9103, 10, 1, 6002, '2026-06-01', '2026-07-01', 'EUR')");
    Exec(
        "INSERT INTO raktar_mozgas (kod, fej_kod, tetel_kod, afakulcs, netto_egysegar, "
        "brutto_egysegar) VALUES (910101, 9102, 13, 1, 2.5, 3.175), "
        "(910201, 9101, 13, 1, 2, 2.54), (910301, 9103, 13, 1, 9, 9)");
    Check({"the quotation recorded last wins; one not accepted does not count", 13, 6002, 2, 0, "",
           true, 2.5, 3.175, kAfa27, "EUR", false});
    Exec(
        "DELETE FROM raktar_mozgas WHERE fej_kod BETWEEN 9101 AND 9103; "
        "DELETE FROM raktar_mozgas_fej WHERE kod BETWEEN 9101 AND 9103");
}

TEST_F(PricingTest, BuildingBlocks) {
    EXPECT_EQ(dm->GetEgysegarKod("Lista ár"), 1);
    EXPECT_EQ(dm->GetEgysegarKod("Export ár (EUR)"), 3);
    EXPECT_EQ(dm->GetEgysegarKod("O'Brien ára"), 0);
    EXPECT_EQ(dm->GetAlapertelmezettEgysegar(""), 1);
    EXPECT_EQ(dm->GetAlapertelmezettEgysegar("EUR"), 1);

    TEgysegar price{7, 7, 7, "X"};
    dm->GetTetelEgysegar(13, 3, price);
    EXPECT_DOUBLE_EQ(price.egysegar, 1.00);
    EXPECT_EQ(price.deviza_nev, "EUR");
    dm->GetTetelEgysegar(13, 999, price);
    EXPECT_EQ(price.egysegar, 0);
    EXPECT_EQ(price.deviza_nev, "HUF");

    dm->GetPartnerArajanlatAr(6001, 1, EncodeDate(2026, 2, 28), price);
    EXPECT_EQ(price.egysegar, 0) << "before the quotation's validity";
    dm->GetPartnerArajanlatAr(6001, 1, EncodeDate(2026, 12, 31), price);
    EXPECT_EQ(price.egysegar, 4000);

    EXPECT_NEAR(dm->GetPartnerKedvezmeny(6001, 2), 14.5, 1e-9);
    EXPECT_NEAR(dm->GetPartnerKedvezmeny(6001, 3), (1 - kKedvezmenyKartya) * 100, 1e-9);
    EXPECT_EQ(dm->GetPartnerKedvezmeny(6002, 2), 0);
    EXPECT_EQ(dm->GetPartnerNettoForgalom(6001), 0);

    EXPECT_DOUBLE_EQ(dm->Kiskerar(13, EncodeDate(2026, 6, 15)), 495.3);
    EXPECT_EQ(dm->Kiskerar(13, EncodeDate(2025, 6, 15)), 0);
}

TEST(NthCharacterTest, CountsCharacters) {
    const struct {
        const char* text;
        std::size_t n;
        const char* expected;
    } kCases[] = {
        {"12345678-2-16", 10, "2"}, {"ő2345678-3-16", 10, "3"}, {"12345678", 10, ""}, {"", 1, ""}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NthCharacter(c.text, c.n), c.expected);
    }
}

}  // namespace
}  // namespace dorvan::test
