// Invoicing of delivery notes.

#include "datamodule/documents/delivery_invoicing.h"

#include "datamodule/support/service_support.h"
#include "db/date_time.h"

namespace dorvan {

namespace {

// The change of the count, tested against the row's quantity at the moment of the change
// (a row changed by another client meanwhile is tested again on its new values). `:ch` is
// the signed change, already negated for an advance invoice.
constexpr const char* kSet =
    "   SET mennyiseg_szamlazva = coalesce(t.mennyiseg_szamlazva, 0) + c.ch,"
    "       mennyiseg_szamlazva_bol_rendszeren_kivul ="
    "         coalesce(t.mennyiseg_szamlazva_bol_rendszeren_kivul, 0)"
    "         + CASE WHEN c.kivul = 1 THEN c.ch ELSE 0 END";
constexpr const char* kInRange =
    "   AND ((t.mennyiseg > 0 AND t.mennyiseg - (coalesce(t.mennyiseg_szamlazva, 0) + c.ch) >= 0)"
    "     OR (t.mennyiseg < 0 AND t.mennyiseg - (coalesce(t.mennyiseg_szamlazva, 0) + c.ch) <= 0))";

bool Exists(DmContext& dm, const char* table, int kod) {
    auto q =
        OpenQuery(dm.ZConnection, "SzallitoSzamlazasSQL",
                  {std::string("select kod from ") + table + " where kod = :kod"}, {{"kod", kod}});
    return !q->IsEmpty();
}

}  // namespace

bool DeliveryInvoicing::SzallitoSzamlazas(int kod, bool outside, double q) {
    const long changed = ExecQuery(
        dm_.ZConnection, "SzallitoSzamlazasSQL",
        {"WITH c AS (SELECT rm.kod,",
         "                  CASE WHEN coalesce(h.bizonylat_fajta, 0) = 16",
         "                       THEN -CAST(:q AS double precision)",
         "                       ELSE CAST(:q AS double precision) END AS ch,",
         "                  CAST(:kivul AS integer) AS kivul", "             FROM raktar_mozgas rm",
         "             LEFT JOIN raktar_mozgas_fej h ON h.kod = rm.fej_kod",
         "            WHERE rm.kod = :kod)", "UPDATE raktar_mozgas t", kSet, "  FROM c",
         " WHERE t.kod = c.kod", kInRange},
        {{"kod", kod}, {"q", q}, {"kivul", outside ? 1 : 0}});
    return changed > 0 || !Exists(dm_, "raktar_mozgas", kod);
}

bool DeliveryInvoicing::SzallitoEgyedSzamlazas(int kod, bool outside, double q) {
    const long changed =
        ExecQuery(dm_.ZConnection, "SzallitoEgyedSzamlazasSQL",
                  {"WITH c AS (SELECT e.kod,",
                   "                  CASE WHEN coalesce(h.bizonylat_fajta, 0) = 16",
                   "                       THEN -CAST(:q AS double precision)",
                   "                       ELSE CAST(:q AS double precision) END AS ch,",
                   "                  CAST(:kivul AS integer) AS kivul",
                   "             FROM raktar_mozgas_egyedi e",
                   "             LEFT JOIN raktar_mozgas rm ON rm.kod = e.rm_kod",
                   "             LEFT JOIN raktar_mozgas_fej h ON h.kod = rm.fej_kod",
                   "            WHERE e.kod = :kod)", "UPDATE raktar_mozgas_egyedi t", kSet,
                   "  FROM c", " WHERE t.kod = c.kod", kInRange},
                  {{"kod", kod}, {"q", q}, {"kivul", outside ? 1 : 0}});
    return changed > 0;
}

bool DeliveryInvoicing::SzallitoEgyedSzamlazas_str(int rmKod, int egyediKod, bool outside,
                                                   double q) {
    // The first row of the piece on the line (by key), as a reading of the rows would find it.
    const long changed =
        ExecQuery(dm_.ZConnection, "SzallitoEgyedSzamlazasSQL",
                  {"WITH c AS (SELECT kod, CAST(:q AS double precision) AS ch,",
                   "                  CAST(:kivul AS integer) AS kivul",
                   "             FROM raktar_mozgas_egyedi",
                   "            WHERE rm_kod = :rm_kod AND egyedi_azonosito_kod = :egyedi",
                   "            ORDER BY kod LIMIT 1)", "UPDATE raktar_mozgas_egyedi t", kSet,
                   "  FROM c", " WHERE t.kod = c.kod"},
                  {{"rm_kod", rmKod}, {"egyedi", egyediKod}, {"q", q}, {"kivul", outside ? 1 : 0}});
    return changed > 0;
}

std::vector<std::string> DeliveryInvoicing::GetSzamlaNev(int kod) {
    auto q = OpenQuery(
        dm_.ZConnection, "SzallitoSzamlazasSQL",
        {"select raktar_mozgas.*, raktar_mozgas_fej.Bizonylatszam",
         "from raktar_mozgas, raktar_mozgas_fej",
         "  where raktar_mozgas_fej.kod = raktar_mozgas.fej_kod",
         "  and raktar_mozgas.szallitos_tetel_kod = :kod", "  order by raktar_mozgas.kod"},
        {{"kod", kod}});
    std::vector<std::string> list;
    for (q->First(); !q->Eof(); q->Next())
        list.push_back(TextField(*q, "Bizonylatszam"));
    return list;
}

void DeliveryInvoicing::GetSzallitoSzamokText(std::string& text) {
    text.clear();
    for (const std::string& entry : dm_.SzallitoSzamlaLista) {
        if (&entry != &dm_.SzallitoSzamlaLista.front())
            text += ", ";
        text += entry;
    }
}

void DeliveryInvoicing::GetSzallitoi_szamlakInfo(int kod, TSzallitoi_szamlakInfo& info) {
    info.kod = 0;
    auto q = OpenQuery(dm_.ZConnection, "GetRaktarBizonylatFajtaSQL",
                       {"SELECT szallitoi_szamlak.*", " from szallitoi_szamlak",
                        " where szallitoi_szamlak.kod = :kod"},
                       {{"kod", kod}});
    if (q->IsEmpty())
        return;
    info.kod = IntField(*q, "kod");
    info.bizonylatszam = TextField(*q, "bizonylatszam");
    info.kelte = q->FieldByName("kelte").AsDateTime();
    info.telj_datum = q->FieldByName("telj_datum").AsDateTime();
    info.fiz_hatarido = q->FieldByName("fiz_hatarido").AsDateTime();
    info.partner_kod = IntField(*q, "partner_kod");
    info.deviza_nev = TextField(*q, "deviza_nev");
    info.deviza_arfolyam = FloatField(*q, "deviza_arfolyam");
    info.fizetesmod_kod = IntField(*q, "fizetesmod_kod");
    info.netto_vegosszeg = FloatField(*q, "netto_vegosszeg");
    info.brutto_vegosszeg = FloatField(*q, "brutto_vegosszeg");
    info.netto_vegosszeg_huf = FloatField(*q, "netto_vegosszeg_huf");
    info.brutto_vegosszeg_huf = FloatField(*q, "brutto_vegosszeg_huf");
}

void DeliveryInvoicing::GetSzamlazottIdoszak(int szerzodesKod, TSzamlazottIdoszak& idoszak) {
    idoszak = {};
    auto q = OpenQuery(dm_.ZConnection, "GetSzamlazottIdoszak",
                       {"SELECT *", " from szerzodes_szaml_idoszak", " where szerzodes_kod = :kod",
                        " order by ev, honap"},
                       {{"kod", szerzodesKod}});
    if (q->IsEmpty())
        return;
    q->First();
    idoszak.Elso = db::EncodeDate(IntField(*q, "ev"), IntField(*q, "honap"), 1);
    q->Last();
    const int year = IntField(*q, "ev");
    const int month = IntField(*q, "honap");
    // The day before the first day of the next month.
    idoszak.Utolso =
        db::EncodeDate(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) - 1;
}

}  // namespace dorvan
