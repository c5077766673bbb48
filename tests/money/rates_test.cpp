// Exchange rates on the demo data: the rate of a day, its warning, the forint rows,
// conversions through the forint.

#include <gtest/gtest.h>

#include <barrier>
#include <thread>
#include <vector>

#include "datamodule/silent_abort.h"
#include "money_fixture.h"

namespace dorvan::test {
namespace {

using db::EncodeDate;

class RatesTest : public MoneyTest {};

TEST_F(RatesTest, RateOfADay) {
    Exec(
        "INSERT INTO deviza_arfolyam (deviza_nev, datum, huf_ertek) "
        "VALUES ('XTS', '2026-01-01', 0.004) ON CONFLICT DO NOTHING");
    struct Case {
        const char* name;
        const char* currency;
        int month;
        int day;
        bool silent;
        double expected;
        const char* warning;  // nullptr: none
    };
    const Case kCases[] = {
        {"older rate, half to even", "EUR", 3, 5, false, 400.12,
         "Hivatkozott dátum: 2026.03.05.\rHivatkozott deviza: EUR\r"
         "Nincs megadva a hivatkozott dátumra árfolyam!\r"
         "Értékelés alapjául választott (Legközelebbi megadott) árfolyam dátuma: 2026.03.01.\r"
         "A választott árfolyam: 400,12 HUF"},
        {"older rate, silent", "EUR", 3, 5, true, 400.12, nullptr},
        {"rate of the day", "EUR", 3, 10, false, 401.5, nullptr},
        {"before the first rate", "EUR", 2, 1, true, -1, nullptr},
        {"before the first rate, not silent", "USD", 2, 1, false, -1,
         "Hivatkozott dátum: 2026.02.01.\rHivatkozott deviza: USD\r"
         "Nincs megadva a hivatkozott dátumra árfolyam!\r"
         "Értékelés alapjául választott (Legközelebbi megadott) árfolyam dátuma: 1899.12.30.\r"
         "A választott árfolyam: -1 HUF"},
        {"stored 0.004 rounds to 0, read as 1", "XTS", 6, 1, true, 1, nullptr},
        {"forint", "HUF", 3, 5, false, 1, nullptr},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        EXPECT_EQ(dm->GetArfolyam(c.currency, c.silent, EncodeDate(2026, c.month, c.day)),
                  c.expected);
        if (c.warning == nullptr) {
            EXPECT_TRUE(ui.messages.empty());
        } else {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].caption, "Dorvan dialog");
            EXPECT_EQ(ui.messages[0].text, c.warning);
        }
    }
}

TEST_F(RatesTest, ForintRateIsSeededOnceAlsoFromParallelClients) {
    Exec("DELETE FROM deviza_arfolyam WHERE deviza_nev = 'HUF'");
    const db::TDateTime start = EncodeDate(1900, 1, 1);
    for (int call = 1; call <= 2; ++call) {
        SCOPED_TRACE(call);
        EXPECT_EQ(dm->GetArfolyam("HUF", false, start), 1);
        EXPECT_EQ(Scalar("SELECT count(*) || ' ' || min(datum) || ' ' || min(huf_ertek) "
                         "FROM deviza_arfolyam WHERE deviza_nev = 'HUF'"),
                  "1 1900-01-01 1");
    }
    EXPECT_TRUE(ui.messages.empty());

    // Workstations starting together: one rate row for a new day, one currency row.
    Exec("DELETE FROM deviza WHERE nev = 'HUF'");
    constexpr int kClients = 6;
    std::barrier sync(kClients);
    std::vector<std::unique_ptr<TDM>> modules;
    for (int i = 0; i < kClients; ++i)
        modules.push_back(MoneyDm());
    std::vector<std::thread> clients;
    std::vector<double> rates(kClients, 0);
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            TDM& own = *modules[static_cast<std::size_t>(i)];
            sync.arrive_and_wait();
            own.DevizaCheckAndRebuild();
            rates[static_cast<std::size_t>(i)] =
                own.GetArfolyam("HUF", true, EncodeDate(1899, 6, 1));
        });
    }
    for (auto& t : clients)
        t.join();
    while (!modules.empty())
        modules.pop_back();  // the last one built goes first
    for (double r : rates)
        EXPECT_EQ(r, 1);
    EXPECT_EQ(Count("SELECT count(*) FROM deviza WHERE nev = 'HUF'"), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM deviza_arfolyam WHERE deviza_nev = 'HUF' "
                    "AND datum = '1899-06-01'"),
              1);
    Exec("DELETE FROM deviza_arfolyam WHERE deviza_nev = 'HUF' AND datum = '1899-06-01'");
}

TEST_F(RatesTest, ConvertsThroughTheForint) {
    struct Case {
        double amount;
        const char* from;
        const char* to;
        int month;
        int day;
        double expected;
    };
    const Case kCases[] = {
        {100, "EUR", "USD", 4, 1, 125},   {100, "EUR", "HUF", 4, 1, 40000},
        {40000, "HUF", "EUR", 4, 1, 100}, {40000, "", "EUR", 4, 1, 100},
        {100, "EUR", "", 4, 1, 40000},    {100, "EUR", "USD", 3, 5, 100 * 400.12 / 355.3},
        {5, "HUF", "HUF", 1, 1, 5},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.from) + "->" + c.to);
        EXPECT_DOUBLE_EQ(
            dm->lib_convertCurrency(c.from, c.to, c.amount, EncodeDate(2026, c.month, c.day)),
            c.expected);
    }
    // A missing rate on either side ends the operation silently.
    EXPECT_THROW(dm->lib_convertCurrency("EUR", "HUF", 1, EncodeDate(2026, 2, 1)), SilentAbort);
    EXPECT_THROW(dm->lib_convertCurrency("HUF", "USD", 1, EncodeDate(2026, 2, 1)), SilentAbort);
    EXPECT_TRUE(ui.messages.empty());
    // Forint to forint needs no database at all.
    dm->DisconnectAll();
    EXPECT_EQ(dm->lib_convertCurrency("HUF", "", 7.5, EncodeDate(2026, 2, 1)), 7.5);
}

TEST_F(RatesTest, ConvertsAUnitPriceRecord) {
    const db::TDateTime day = EncodeDate(2026, 4, 1);
    TEgysegar target{9, 9, 9, "X"};
    dm->ConvertEgysegar("USD", TEgysegar{400, 508, 1, "EUR"}, day, target);
    EXPECT_DOUBLE_EQ(target.egysegar, 500);
    EXPECT_DOUBLE_EQ(target.egysegar_brutto, 635);
    EXPECT_EQ(target.afa_kulcs, 1);
    EXPECT_EQ(target.deviza_nev, "USD");

    for (const auto& [source, to] : {std::pair{TEgysegar{400, 508, 1, ""}, "USD"},
                                     std::pair{TEgysegar{400, 508, 1, "EUR"}, ""}}) {
        TEgysegar cleared{9, 9, 9, "X"};
        dm->ConvertEgysegar(to, source, day, cleared);
        EXPECT_EQ(cleared.egysegar, 0);
        EXPECT_EQ(cleared.egysegar_brutto, 0);
        EXPECT_EQ(cleared.afa_kulcs, 0);
        EXPECT_EQ(cleared.deviza_nev, "");
    }
    EXPECT_THROW(
        dm->ConvertEgysegar("USD", TEgysegar{1, 1, 1, "EUR"}, EncodeDate(2026, 2, 1), target),
        SilentAbort);
}

}  // namespace
}  // namespace dorvan::test
