// Unit-price maintenance.
//
// A refresh first computes every new price (converting the purchase price into each list's
// currency, which may end the operation silently when a rate is missing) and only then writes
// the rows, in one transaction; so a refresh changes all of the item's lists or none.

#include "datamodule/money/unit_prices.h"

#include <ctime>
#include <string>
#include <vector>

#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/retry.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

// The workstation's current date and time.
TDateTime WorkstationNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return db::ComposeDateTime(
        db::EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
        db::EncodeTime(local.tm_hour, local.tm_min, local.tm_sec));
}

bool Visits(int mode, const std::string& kind) {
    switch (mode) {
        case 0:
        case 1:
        case 9:
            return kind == "1" || kind == "2" || kind == "3";
        case 2:
            return kind == "2";
        case 3:
            return kind == "3";
        default:
            return false;
    }
}

bool Recomputes(int mode, const std::string& kind) {
    return mode != 0 && Visits(mode, kind);
}

struct PriceRow {
    int kod = 0;
    double egysegar = 0;
    double egysegar_brutto = 0;
    int afa_kulcs = 0;
};

}  // namespace

UnitPrices::UnitPrices(TDM& dm)
    : GetEgysegarInfoZQuery(dm, "GetEgysegarInfoZQuery", {"SELECT *", "   from egysegarak"}, -1),
      dm_(dm) {}

int UnitPrices::RefreshEgysegAr(int TetelKod, int Mode) {
    int result = 0;
    auto lists = OpenQuery(dm_.ZConnection, "RefreshEgysegAr1SQL",
                           {"SELECT *", " from egysegarak", " order by kod"});
    TTetelInfo item;
    bool itemRead = false;
    std::vector<PriceRow> changes;
    for (lists->First(); !lists->Eof(); lists->Next()) {
        const std::string kind = TextField(*lists, "Automatikus_ertek");
        if (!Visits(Mode, kind))
            continue;
        auto row = OpenQuery(dm_.ZConnection, "RefreshEgysegAr2SQL",
                             {"SELECT *", " from tetel_egysegar", " where tetel_kod = :tetel_kod",
                              "   and egysegar_kod = :egysegar_kod"},
                             {{"tetel_kod", TetelKod}, {"egysegar_kod", IntField(*lists, "kod")}});
        if (row->IsEmpty())
            continue;
        result = 1;
        if (!itemRead) {
            dm_.GetTetelInfo(TetelKod, "0", item);
            itemRead = true;
        }
        if (item.tetel_tipus == 0)
            continue;
        const std::string currency = TextField(*lists, "deviza_nev");
        double p = 0;
        if (!currency.empty()) {
            TEgysegar forint;
            forint.egysegar = item.utolsobeszerzesiar;
            forint.deviza_nev = "HUF";
            TEgysegar converted;
            dm_.ConvertEgysegar(currency, forint, WorkstationNow(), converted);
            p = converted.egysegar;
        }
        PriceRow change;
        change.kod = IntField(*row, "kod");
        change.egysegar = FloatField(*row, "egysegar");
        if (Recomputes(Mode, kind) && p != 0) {
            if (kind == "1")
                change.egysegar = p;
            else if (kind == "2" && item.haszonkulcs != 0)
                change.egysegar = p * (1 + item.haszonkulcs / 100);
            else if (kind == "3" && item.minimum_haszonkulcs != 0)
                change.egysegar = p * (1 + item.minimum_haszonkulcs / 100);
        }
        change.egysegar_brutto = change.egysegar * (1 + item.afa_kulcs_szaz / 100);
        change.afa_kulcs = item.afa_kulcs;
        changes.push_back(change);
    }
    if (!changes.empty()) {
        db::Transaction tx(dm_.ZConnection);
        for (const PriceRow& c : changes) {
            ExecQuery(dm_.ZConnection, "RefreshEgysegAr2SQL",
                      {"update tetel_egysegar",
                       "   set egysegar = :egysegar, egysegar_brutto = :egysegar_brutto,",
                       "       afa_kulcs = :afa_kulcs", " where kod = :kod"},
                      {{"egysegar", c.egysegar},
                       {"egysegar_brutto", c.egysegar_brutto},
                       {"afa_kulcs", c.afa_kulcs},
                       {"kod", c.kod}});
        }
        tx.Commit();
    }
    return result;
}

int UnitPrices::SetTetelUtolsoBeszerzesiAr(int TetelKod, double Ar, TDateTime Datum) {
    // All or nothing; a deadlock or serialization failure with another client is tried again.
    return db::RunInTransaction(dm_.ZConnection, [&] {
        const long rows =
            ExecQuery(dm_.ZConnection, "SetTetelUtolsoBeszerzesiArSQL",
                      {"update tetel", "   set UtolsoBeszerzesiAr = :ar,",
                       "       UtolsoBeszerzesiArDatuma = :datum", "  where kod = :kod"},
                      {{"ar", Ar}, {"datum", db::Value::Date(Datum)}, {"kod", TetelKod}});
        RefreshEgysegAr(TetelKod, 1);
        return rows == 1 ? 1 : 0;
    });
}

int UnitPrices::SetNewEgysegar(int TetelKod, int EgysegarKod, double Netto, double Brutto) {
    const long rows = ExecQuery(
        dm_.ZConnection, "SetNewEgysegarSQL",
        {"update tetel_egysegar", "   set egysegar = :egysegar, egysegar_brutto = :brutto",
         "  where tetel_kod = :tetel_kod", "  and egysegar_kod = :egysegar_kod"},
        {{"egysegar", Netto},
         {"brutto", Brutto},
         {"tetel_kod", TetelKod},
         {"egysegar_kod", EgysegarKod}});
    return rows >= 1 ? 1 : 0;
}

void UnitPrices::GetEgysegarInfo(int Kod, TEgysegarInfo& Info) {
    Info.nev.clear();
    if (!GetEgysegarInfoZQuery.Active())
        GetEgysegarInfoZQuery.Open();
    if (!GetEgysegarInfoZQuery.Locate("kod", {Kod}))
        return;
    Info.kod = IntField(GetEgysegarInfoZQuery, "kod");
    Info.nev = TextField(GetEgysegarInfoZQuery, "lang_0000040e");
    Info.automatikus_ertek = TextField(GetEgysegarInfoZQuery, "automatikus_ertek");
    Info.alapertelmezett = IntField(GetEgysegarInfoZQuery, "alapertelmezett");
    Info.deviza_nev = TextField(GetEgysegarInfoZQuery, "deviza_nev");
}

}  // namespace dorvan
