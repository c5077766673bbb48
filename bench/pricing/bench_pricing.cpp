// Price determination benchmark: N partner prices in one process on the demo database, beside
// the cost of one bare statement round trip measured in the same run, and the time of each
// building block, so that the report says where the time goes.
//
//   bench_pricing PORT DATABASE [N]      (server on 127.0.0.1, user/password postgres)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "config/main_table.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds per call of `work` over `n` calls.
double PerCall(int n, const std::function<void(int)>& work) {
    const auto start = Clock::now();
    for (int i = 0; i < n; ++i)
        work(i);
    const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    return spent.count() / n;
}

struct PriceCase {
    int tetel;
    int partner;
    int fizetesmod;
    int projekt;
};

// A mix over the rules of the demo data: quotation, group rules with discounts, promotional
// item, default list, VAT-exempt partner, reverse charge by tax number and by project.
constexpr PriceCase kMix[] = {
    {1, 6001, 2, 0},  {13, 6001, 2, 0}, {13, 6001, 3, 0}, {11, 6001, 2, 0}, {12, 6001, 2, 0},
    {13, 6002, 2, 0}, {13, 4, 2, 0},    {8, 6005, 2, 0},  {8, 6003, 2, 0},  {13, 6002, 2, 1},
};
constexpr int kMixSize = sizeof kMix / sizeof kMix[0];

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_pricing PORT DATABASE [N]\n");
        return 2;
    }
    const int n = argc > 3 ? std::atoi(argv[3]) : 10000;
    dorvan::db::ConnectionParams params;
    params.host = "127.0.0.1";
    params.port = std::atoi(argv[1]);
    params.user = "postgres";
    params.password = "postgres";
    params.database = argv[2];

    dorvan::TDM dm;
    dm.ConnectLocal(params);
    dm.FajtaTeszt();
    const dorvan::db::TDateTime day = dorvan::db::EncodeDate(2026, 6, 15);
    dorvan::TEgysegar price;

    // Warm-up: the settings row, the VAT keys, the server's plan caches.
    for (int i = 0; i < 200; ++i) {
        const PriceCase& c = kMix[i % kMixSize];
        dm.GetPartnerEgysegar(c.tetel, c.partner, c.fizetesmod, c.projekt, true, day, "", price);
    }

    const double roundTrip = PerCall(n, [&](int) {
        auto q = dorvan::OpenQuery(dm.ZConnection, "RoundTripSQL", {"select :x as x"}, {{"x", 1}});
    });
    const double total = PerCall(n, [&](int i) {
        const PriceCase& c = kMix[i % kMixSize];
        dm.GetPartnerEgysegar(c.tetel, c.partner, c.fizetesmod, c.projekt, true, day, "", price);
    });

    struct Block {
        const char* name;
        std::function<void(int)> work;
        int perPrice;  // calls in one pass over the mix
    };
    const Block kBlocks[] = {
        {"GetPartnerArajanlatAr", [&](int) { dm.GetPartnerArajanlatAr(6001, 13, day, price); }, 10},
        {"GetTetelEgysegar", [&](int) { dm.GetTetelEgysegar(13, 1, price); }, 10},
        {"GetAlapertelmezettEgysegar", [&](int) { dm.GetAlapertelmezettEgysegar(""); }, 6},
        {"GetPartnerKedvezmeny (with turnover)", [&](int) { dm.GetPartnerKedvezmeny(6001, 2); }, 8},
        {"GetPartnerNettoForgalom", [&](int) { dm.GetPartnerNettoForgalom(6001); }, 4},
        {"GetDate (server clock)", [&](int) { dm.GetDate(); }, 4},
        {"GetEUsMentesAFAKulcs", [&](int) { dm.GetEUsMentesAFAKulcs(); }, 1},
        {"GetForditottAdosMentesAFAKulcs", [&](int) { dm.GetForditottAdosMentesAFAKulcs(); }, 3},
    };

    std::printf("price determinations: %d (mix of %d cases)\n", n, kMixSize);
    std::printf("baseline round trip (select :x):      %8.1f us\n", roundTrip);
    std::printf("GetPartnerEgysegar:                   %8.1f us  (%.1f round trips)\n", total,
                total / roundTrip);
    std::printf("\nbuilding blocks (per call; calls per %d prices):\n", kMixSize);
    const int blockN = n / 10 > 0 ? n / 10 : 1;
    for (const Block& b : kBlocks) {
        const double us = PerCall(blockN, b.work);
        std::printf("  %-38s %8.1f us  x%-2d = %6.1f us per price\n", b.name, us, b.perPrice,
                    us * b.perPrice / kMixSize);
    }
    std::printf("\ngoal: well under 1000 us per price: %s\n", total < 1000 ? "met" : "NOT met");
    return 0;
}
