#include "datamodule/stock/stock.h"

#include "datamodule/support/service_support.h"

namespace dorvan {

double StockFigures::GetKeszlet(int TetelKod, int RaktarKod) {
    const auto q =
        OpenQuery(context_.ZConnection, "GetKeszletSQL",
                  {"select szabad", "   from tetel_raktar", "   where tetel_kod = :tetel_kod",
                   "    and raktar_kod = :raktar_kod"},
                  {{"tetel_kod", TetelKod}, {"raktar_kod", RaktarKod}});
    return q->IsEmpty() ? 0.0 : FloatField(*q, "szabad");
}

double StockFigures::Get_Keszlet(int TetelKod, int RaktarKod, db::TDateTime Datum) {
    // A line naming the warehouse on both sides is kept twice by the union (once positive,
    // once negative), so it adds nothing. The document date is compared as a date.
    const auto q = OpenQuery(
        context_.ZConnection, "Get_KeszletSQL",
        {"SELECT cel.tetel_kod, SUM(cel.mennyiseg) as mennyiseg", "  FROM",
         "    ((SELECT kod, raktar_mozgas_bizonylat, tetel_kod, mennyiseg, netto_osszeg_huf, "
         "cel_raktar_kod, forras_raktar_kod, fej_kod",
         "        FROM raktar_mozgas a", "        WHERE (cel_raktar_kod = :raktar)",
         "          AND (tetel_kod = :tetelkod))", "      UNION",
         "     (SELECT kod, raktar_mozgas_bizonylat, tetel_kod, (mennyiseg*-1) as mennyiseg, "
         "netto_osszeg_huf, cel_raktar_kod, forras_raktar_kod, fej_kod",
         "        FROM raktar_mozgas b", "        WHERE (forras_raktar_kod = :raktar)",
         "          AND (tetel_kod = :tetelkod))) as cel, raktar_mozgas_fej",
         "  WHERE cel.fej_kod = raktar_mozgas_fej.kod", "    AND raktar_mozgas_fej.datum <= :datum",
         "  GROUP BY cel.tetel_kod"},
        {{"raktar", RaktarKod}, {"tetelkod", TetelKod}, {"datum", db::Value::Date(Datum)}});
    return q->IsEmpty() ? 0.0 : FloatField(*q, "mennyiseg");
}

void StockFigures::GetTetelEgyediKeszlet(const std::string& Azonosito, int TetelKod, int RaktarKod,
                                         TEgyediKeszlet& Keszlet) {
    Keszlet.mennyiseg = -1;
    const auto known = OpenQuery(
        context_.ZConnection, "GetTetelEgyediKeszletSQL",
        {"SELECT *", " from tetel_egyedi", " where tetel_egyedi.egyedi_azonosito = :azonosito"},
        {{"azonosito", Azonosito}});
    if (known->IsEmpty()) {
        Keszlet.mennyiseg = -2;
        return;
    }
    const auto q =
        OpenQuery(context_.ZConnection, "GetTetelEgyediKeszletSQL",
                  {"SELECT tetel_raktar_egyedi.mennyiseg, tetel_raktar_egyedi.foglalt,",
                   "       tetel_raktar_egyedi.szabad", " from tetel_raktar_egyedi, tetel_egyedi",
                   " where tetel_raktar_egyedi.egyedi_azonosito_kod = tetel_egyedi.kod",
                   "   and tetel_raktar_egyedi.tetel_kod = :tetel_kod",
                   "   and tetel_raktar_egyedi.raktar_kod = :raktar_kod",
                   "   and tetel_egyedi.egyedi_azonosito = :azonosito"},
                  {{"tetel_kod", TetelKod}, {"raktar_kod", RaktarKod}, {"azonosito", Azonosito}});
    if (q->RecordCount() != 1) {
        Keszlet.mennyiseg = -1;
        return;
    }
    Keszlet.mennyiseg = FloatField(*q, "mennyiseg");
    Keszlet.foglalt = FloatField(*q, "foglalt");
    Keszlet.szabad = FloatField(*q, "szabad");
}

void StockFigures::GetTetelEgyediOsszesKeszlet(int TetelKod, TEgyediKeszlet& Keszlet) {
    const auto q = OpenQuery(
        context_.ZConnection, "GetTetelEgyediOsszesKeszletSQL",
        {"SELECT sum(tetel_raktar_egyedi.mennyiseg) as mennyiseg, sum(tetel_raktar_egyedi.foglalt) "
         "as foglalt,",
         "       sum(tetel_raktar_egyedi.szabad) as szabad",
         " from tetel_raktar_egyedi, tetel_egyedi",
         " where tetel_raktar_egyedi.egyedi_azonosito_kod = tetel_egyedi.kod",
         "   and tetel_raktar_egyedi.tetel_kod = :tetel_kod",
         " group by tetel_raktar_egyedi.tetel_kod"},
        {{"tetel_kod", TetelKod}});
    Keszlet = TEgyediKeszlet{};
    if (q->IsEmpty()) {
        return;
    }
    Keszlet.mennyiseg = FloatField(*q, "mennyiseg");
    Keszlet.foglalt = FloatField(*q, "foglalt");
    Keszlet.szabad = FloatField(*q, "szabad");
}

double StockFigures::GetUtolsoAtlagar(int TetelKod, int RaktarKod) {
    const auto q = OpenQuery(
        context_.ZConnection, "GetUtolsoAtlagarSQL",
        {"SELECT raktar_mozgas.*", "  from raktar_mozgas_fej, raktar_mozgas",
         "  where raktar_mozgas_fej.kod = raktar_mozgas.fej_kod",
         "    and raktar_mozgas.tetel_Kod = :tetel_kod",
         "    and ((raktar_mozgas.forras_raktar_kod = :raktar_kod) or "
         "(raktar_mozgas.cel_raktar_kod = :raktar_kod))",
         // A header without date or time is not the latest one.
         "  order by raktar_mozgas_fej.datum desc nulls last, raktar_mozgas_fej.ido desc nulls "
         "last, raktar_mozgas.kod desc",
         "  limit 1"},
        {{"tetel_kod", TetelKod}, {"raktar_kod", RaktarKod}});
    double result = 0;
    if (q->IsEmpty()) {
        return result;
    }
    if (IntField(*q, "forras_raktar_kod") == RaktarKod) {
        result = FloatField(*q, "forras_raktar_atlagar");
    }
    if (IntField(*q, "cel_raktar_kod") == RaktarKod) {
        result = FloatField(*q, "cel_raktar_atlagar");
    }
    return result;
}

}  // namespace dorvan
