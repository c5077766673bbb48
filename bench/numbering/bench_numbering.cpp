// Document numbers per second with 1 and with 8 clients beside the raw single-row INSERT rate
// of the same server measured in the same run, the duplicates found, and the time to reverse
// a document of 1,000 lines. Run by scripts/bench_numbering.sh against a throwaway demo
// database:
//   bench_numbering HOST PORT DATABASE USER PASSWORD [NUMBERS_PER_CLIENT]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "config/recording_ui.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "db/date_time.h"

namespace {

using Clock = std::chrono::steady_clock;
dorvan::db::ConnectionParams g_params;

// Runs `work(client)` on `clients` threads at once; the seconds from start to the last end.
double Timed(int clients, const std::function<void(int)>& work) {
    std::vector<std::thread> threads;
    const auto start = Clock::now();
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&, i] { work(i); });
    for (auto& t : threads)
        t.join();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Single-row INSERTs committed one by one: the server's own pace for one-statement writes.
double RawRate(int clients, int each) {
    std::vector<std::unique_ptr<dorvan::db::Connection>> conns;
    for (int i = 0; i < clients; ++i) {
        conns.push_back(std::make_unique<dorvan::db::Connection>("raw"));
        conns.back()->SetParams(g_params);
        conns.back()->Connect();
    }
    const double seconds = Timed(clients, [&](int c) {
        for (int n = 0; n < each; ++n)
            conns[static_cast<std::size_t>(c)]->Execute(
                "INSERT INTO bench_raw (ugyfel, n) VALUES ($1, $2)",
                {std::to_string(c), std::to_string(n)});
    });
    return clients * each / seconds;
}

// Numbers of one kind and year; checks that every serial 1..total came out once.
double NumberRate(int clients, int each, int year, long& duplicates) {
    std::vector<std::unique_ptr<dorvan::TDM>> modules;
    for (int i = 0; i < clients; ++i) {
        modules.push_back(std::make_unique<dorvan::TDM>());
        modules.back()->ConnectLocal(g_params);
    }
    std::vector<std::vector<std::string>> got(static_cast<std::size_t>(clients));
    const dorvan::db::TDateTime date = dorvan::db::EncodeDate(year, 1, 1);
    const double seconds = Timed(clients, [&](int c) {
        for (int n = 0; n < each; ++n)
            got[static_cast<std::size_t>(c)].push_back(
                modules[static_cast<std::size_t>(c)]->AddNewBizszam(9, true, date, true));
    });
    std::set<std::string> distinct;
    long total = 0;
    for (const auto& list : got) {
        distinct.insert(list.begin(), list.end());
        total += static_cast<long>(list.size());
    }
    duplicates = total - static_cast<long>(distinct.size());
    const std::string registered = modules[0]->GetSQLResult(
        "select count(distinct szam) || '/' || max(szam) from szszb where bizonylat_fajta = 9 "
        "and ev = :ev",
        {{"ev", year}});
    if (registered != std::to_string(total) + "/" + std::to_string(total))
        ++duplicates;  // a gap or a repeat in the register
    return total / seconds;
}

// Reverses a document of `lines` lines (no stock moves), each with a print text.
double ReversalSeconds(int lines) {
    dorvan::TDM dm;
    dm.ConnectLocal(g_params);
    dm.ExecSQLList({
        "insert into raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, "
        "raktar_mozgas_bizonylat, datum, ido, kelte, mozgasnem_kod, partner_kod) values (7901, 5, "
        "'SZ2026/0007901', 'RM2026/0007901', '2026-12-01', '08:00', '2026-12-01', 3, 2);",
    });
    dm.ExecSQL(
        "insert into raktar_mozgas (fej_kod, tetel_kod, mennyiseg, netto_egysegar, "
        "netto_arbevetel) select 7901, 6, n, 100, n * 100 from generate_series(1, :lines) n",
        {{"lines", lines}});
    dm.ExecSQL(
        "insert into bizonylatszoveg (sor_kod, nev) select kod, 'Tétel ' || kod from "
        "raktar_mozgas where fej_kod = 7901");
    dm.ExecSQL("insert into bizonylatszoveg_fej (fej_kod, partner_nev) values (7901, 'Bench')");
    const auto start = Clock::now();
    const int kod = dm.BizonylatSztorno(7901, false, true, false);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (kod == 0) {
        std::fprintf(stderr, "the reversal did nothing\n");
        std::exit(1);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s HOST PORT DATABASE USER PASSWORD [NUMBERS_PER_CLIENT]\n",
                     argv[0]);
        return 2;
    }
    g_params.host = argv[1];
    g_params.port = std::atoi(argv[2]);
    g_params.database = argv[3];
    g_params.user = argv[4];
    g_params.password = argv[5];
    const int each = argc > 6 ? std::atoi(argv[6]) : 500;
    dorvan::RecordingUi ui;
    const dorvan::ScopedUiPort scope(ui);

    {
        dorvan::db::Connection c("setup");
        c.SetParams(g_params);
        c.Connect();
        c.Execute(
            "CREATE TABLE IF NOT EXISTS bench_raw (kod serial PRIMARY KEY, ugyfel integer, "
            "n integer)");
    }
    long dup1 = 0;
    long dup8 = 0;
    const double raw1 = RawRate(1, each * 4);
    const double raw8 = RawRate(8, each);
    const double num1 = NumberRate(1, each * 4, 2051, dup1);
    const double num8 = NumberRate(8, each, 2052, dup8);
    const double reversal = ReversalSeconds(1000);

    std::printf("raw single-row INSERT, 1 client : %9.0f rows/s\n", raw1);
    std::printf("raw single-row INSERT, 8 clients: %9.0f rows/s\n", raw8);
    std::printf(
        "document numbers,      1 client : %9.0f numbers/s  (%.0f %% of raw 1)  "
        "duplicates or gaps: %ld\n",
        num1, 100 * num1 / raw1, dup1);
    std::printf(
        "document numbers,      8 clients: %9.0f numbers/s  (%.0f %% of raw 8, %.0f %% of "
        "raw 1)  duplicates or gaps: %ld\n",
        num8, 100 * num8 / raw8, 100 * num8 / raw1, dup8);
    std::printf("goal: 8 clients at least 30 %% of the raw rate with 8 clients: %s\n",
                num8 >= 0.3 * raw8 && dup8 == 0 ? "met" : "NOT met");
    std::printf("reversal of a 1,000-line document: %.2f s\n", reversal);
    return dup1 == 0 && dup8 == 0 ? 0 : 1;
}
