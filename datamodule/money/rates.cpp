#include "datamodule/money/rates.h"

#include <ctime>

#include "config/date_time_pattern.h"
#include "config/format_settings.h"
#include "config/ui_port.h"
#include "datamodule/core/lib_common.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"
#include "datamodule/support/key_lock.h"
#include "datamodule/support/service_support.h"
#include "db/value.h"

namespace dorvan {

namespace {

constexpr const char* kForint = "HUF";

// A date in the workstation's short date format.
std::string ShortDateText(TDateTime value) {
    const db::DateParts d = db::DecodeDate(value);
    std::tm t{};
    t.tm_year = d.year - 1900;
    t.tm_mon = d.month - 1;
    t.tm_mday = d.day;
    return FormatDateTimePattern(GlobalFormatSettings().shortDateFormat, t);
}

// A number in its shortest general form with the workstation's decimal separator.
std::string GeneralNumberText(double value) {
    std::string text = db::FormatDouble(value);
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text.replace(dot, 1, GlobalFormatSettings().decimalSeparator);
    return text;
}

}  // namespace

double Rates::GetArfolyam(const std::string& DevizaNev, bool Silent, TDateTime Datum) {
    const db::Value day = db::Value::Date(Datum);
    auto q = OpenQuery(dm_.ZConnection, "GetArfolyamSQL",
                       {"select *", "from deviza_arfolyam", "where deviza_nev = :deviza_nev",
                        " and datum <= :datum", " order by datum desc", " limit 1"},
                       {{"deviza_nev", DevizaNev}, {"datum", day}});
    dm_.AutoDisableReqField(*q);
    q->First();

    double rate = -1;
    TDateTime rowDate = 0;
    if (!q->IsEmpty()) {
        rate = lib_roundTo(2, FloatField(*q, "huf_ertek"));
        rowDate = IsNullField(*q, "datum") ? 0 : q->FieldByName("datum").AsDateTime();
    } else if (DevizaNev == kForint) {
        // The first forint lookup on or before a day seeds the rate of 1; a client that
        // stored the same row first leaves it as it is.
        const db::ParamValues row = {{"deviza_nev", DevizaNev}, {"datum", day}};
        if (dm_.HasUniqueKey("deviza_arfolyam_nap_key")) {
            ExecQuery(
                dm_.ZConnection, "GetArfolyamInsertSQL",
                {"insert into deviza_arfolyam (deviza_nev, datum, huf_ertek)",
                 " values (:deviza_nev, :datum, 1)", " on conflict (deviza_nev, datum) do nothing"},
                row);
        } else {
            UnderKeyLock(dm_.ZConnection, "deviza_arfolyam", DevizaNev, [&] {
                ExecQuery(dm_.ZConnection, "GetArfolyamInsertSQL",
                          {"insert into deviza_arfolyam (deviza_nev, datum, huf_ertek)",
                           " select cast(:deviza_nev as varchar), cast(:datum as date), 1",
                           "  where not exists (select 1 from deviza_arfolyam",
                           "   where deviza_nev = :deviza_nev and datum = :datum)"},
                          row);
            });
        }
        rate = 1;
        rowDate = Datum;
    }
    if (rate == 0)
        rate = 1;

    if (db::DateOf(rowDate) != db::DateOf(Datum) && DevizaNev != kForint && !Silent) {
        const std::string cr = "\r";
        const std::string text =
            dm_.GetLangText("All", "arfolyam_hiany_hivatkozasidatum", "Hivatkozott dátum:") + " " +
            ShortDateText(Datum) + cr +
            dm_.GetLangText("All", "arfolyam_hiany_hivatkozottdeviza", "Hivatkozott deviza:") +
            " " + DevizaNev + cr +
            dm_.GetLangText("All", "arfolyam_hiany_nincsarfolyam",
                            "Nincs megadva a hivatkozott dátumra árfolyam!") +
            cr +
            dm_.GetLangText(
                "All", "arfolyam_hiany_felertekelesdatum",
                "Értékelés alapjául választott (Legközelebbi megadott) árfolyam dátuma:") +
            " " + ShortDateText(rowDate) + cr +
            dm_.GetLangText("All", "arfolyam_hiany_valsztottarfolyam", "A választott árfolyam:") +
            " " + GeneralNumberText(rate) + " HUF";
        dm_.UserInterface().ShowMessage(std::string(kApplicationTitle) + " dialog", text);
    }
    return rate;
}

double Rates::lib_convertCurrency(const std::string& Forras, const std::string& Cel, double Osszeg,
                                  TDateTime Datum) {
    const std::string from = Forras.empty() ? kForint : Forras;
    const std::string to = Cel.empty() ? kForint : Cel;
    double forint = Osszeg;
    if (from != kForint) {
        const double rate = GetArfolyam(from, true, Datum);
        if (rate == -1)
            throw SilentAbort();
        forint = Osszeg * rate;
    }
    if (to == kForint)
        return forint;
    const double rate = GetArfolyam(to, true, Datum);
    if (rate == -1)
        throw SilentAbort();
    return forint / rate;
}

void Rates::ConvertEgysegar(const std::string& CelDeviza, const TEgysegar& Source, TDateTime Datum,
                            TEgysegar& Target) {
    if (Source.deviza_nev.empty() || CelDeviza.empty()) {
        Target = TEgysegar{};
        return;
    }
    TEgysegar converted;
    converted.egysegar = lib_convertCurrency(Source.deviza_nev, CelDeviza, Source.egysegar, Datum);
    converted.egysegar_brutto =
        lib_convertCurrency(Source.deviza_nev, CelDeviza, Source.egysegar_brutto, Datum);
    converted.afa_kulcs = Source.afa_kulcs;
    converted.deviza_nev = CelDeviza;
    Target = std::move(converted);
}

void Rates::DevizaCheckAndRebuild() {
    const db::ParamValues row = {{"nev", kForint}, {"megjegyzes", "Magyar forint"}};
    if (dm_.HasUniqueKey("deviza_nev_key")) {
        ExecQuery(dm_.ZConnection, "DevizaCheckAndRebuildSQL",
                  {"insert into deviza (nev, megjegyzes)", " values (:nev, :megjegyzes)",
                   " on conflict (nev) do nothing"},
                  row);
        return;
    }
    UnderKeyLock(dm_.ZConnection, "deviza", kForint, [&] {
        ExecQuery(dm_.ZConnection, "DevizaCheckAndRebuildSQL",
                  {"insert into deviza (nev, megjegyzes)",
                   " select cast(:nev as varchar), cast(:megjegyzes as varchar)",
                   "  where not exists (select 1 from deviza where nev = :nev)"},
                  row);
    });
}

}  // namespace dorvan
