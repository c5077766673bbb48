#include "datamodule/money/pricing.h"

#include <array>

#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/value.h"

namespace dorvan {

namespace {

constexpr const char* kForint = "HUF";
constexpr std::size_t kDimensions = 6;

const std::array<std::string, kDimensions + 1> kFajtaColumns = {
    "", "fajta1", "fajta2", "fajta3", "fajta4", "fajta5", "fajta6"};

// A column of the global settings row; 0 when the row or the value is missing.
int SetupInt(TDM& dm, const std::string& column) {
    db::Query& setup = dm._setup_mainSQL;
    if (!setup.Active())
        setup.Open();
    if (setup.IsEmpty())
        return 0;
    return IntField(setup, column);
}

}  // namespace

std::string NthCharacter(const std::string& text, std::size_t n) {
    std::size_t index = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        if (++index == n)
            return text.substr(i, length);
        i += length;
    }
    return {};
}

void Pricing::GetPartnerEgysegar(int TetelKod, int PartnerKod, int FizetesmodKod, int ProjektKod,
                                 bool Silent, TDateTime Datum, const std::string& DevizaNev,
                                 TEgysegar& Egysegar) {
    Egysegar = TEgysegar{};

    // The item, the partner and (with project management) the project; missing rows read
    // as zeros and an empty tax number.
    int akcios = 0;
    std::array<int, kDimensions + 1> fajta{};
    int forditottanAdozhat = 0;
    {
        auto q = OpenQuery(dm_.ZConnection, "PrepareSQL",
                           {"SELECT akcios, fajta1, fajta2, fajta3, fajta4, fajta5, fajta6, "
                            "forditottan_adozhat",
                            " from tetel", "  where kod = :kod"},
                           {{"kod", TetelKod}});
        if (!q->IsEmpty()) {
            akcios = IntField(*q, "akcios");
            for (std::size_t k = 1; k <= kDimensions; ++k)
                fajta[k] = IntField(*q, kFajtaColumns[k]);
            forditottanAdozhat = IntField(*q, "forditottan_adozhat");
        }
    }
    int csoport = 0;
    int afaMentes = 0;
    std::string adoszam;
    {
        auto q = OpenQuery(dm_.ZConnection, "PrepareSQL",
                           {"SELECT Partner_csoport_kod, afa_mentes_forgalom, adoszam",
                            " from partner", "  where kod = :kod"},
                           {{"kod", PartnerKod}});
        if (!q->IsEmpty()) {
            csoport = IntField(*q, "partner_csoport_kod");
            afaMentes = IntField(*q, "afa_mentes_forgalom");
            adoszam = TextField(*q, "adoszam");
        }
    }
    const bool projektkezeles = SetupInt(dm_, "projektkezeles") == 1;
    int projektForditott = 0;
    if (projektkezeles) {
        auto q = OpenQuery(dm_.ZConnection, "PrepareSQL",
                           {"SELECT forditott_adozas", " from projektek", "  where kod = :kod"},
                           {{"kod", ProjektKod}});
        if (!q->IsEmpty())
            projektForditott = IntField(*q, "forditott_adozas");
    }

    // The base price.
    TEgysegar arajanlat;
    GetPartnerArajanlatAr(PartnerKod, TetelKod, Datum, arajanlat);
    if (arajanlat.egysegar != 0) {
        Egysegar = arajanlat;
    } else if (akcios == 1) {
        GetTetelEgysegar(TetelKod, GetAlapertelmezettEgysegar(DevizaNev), Egysegar);
    } else {
        bool found = false;
        int best = 0;
        {
            auto rules = OpenQuery(dm_.ZConnection, "GetPartnerEgysegarSQL",
                                   {"SELECT *", " from partner_csoport_egysegarak",
                                    "  where partner_csoport_kod = :csoport", "  order by kod"},
                                   {{"csoport", csoport}});
            const std::array<int, kDimensions + 1>& wildcard = dm_.Settings().CategoryKeys;
            for (rules->First(); !rules->Eof(); rules->Next()) {
                int score = 0;
                bool qualifies = true;
                for (std::size_t k = 1; k <= kDimensions && qualifies; ++k) {
                    const int value = IntField(*rules, kFajtaColumns[k]);
                    if (value == fajta[k])
                        ++score;
                    else if (value != wildcard[k])
                        qualifies = false;
                }
                if (!qualifies || score < best)
                    continue;
                TEgysegar lista;
                GetTetelEgysegar(TetelKod, IntField(*rules, "egysegar"), lista);
                const double szorzo = FloatField(*rules, "szorzo");
                Egysegar.egysegar = szorzo * lista.egysegar;
                Egysegar.egysegar_brutto = szorzo * lista.egysegar_brutto;
                Egysegar.afa_kulcs = lista.afa_kulcs;
                Egysegar.deviza_nev = lista.deviza_nev;
                best = score;
                found = true;
            }
        }
        if (!found)
            GetTetelEgysegar(TetelKod, GetAlapertelmezettEgysegar(DevizaNev), Egysegar);
        const int arazasimod = SetupInt(dm_, "arazasimod");
        if (arazasimod == 1 || arazasimod == 2) {
            const double d = GetPartnerKedvezmeny(PartnerKod, FizetesmodKod);
            Egysegar.egysegar *= 1 - d / 100;
            Egysegar.egysegar_brutto *= 1 - d / 100;
        }
    }

    // VAT-exempt partner.
    if (afaMentes == 1) {
        Egysegar.egysegar_brutto = Egysegar.egysegar;
        Egysegar.afa_kulcs = dm_.GetEUsMentesAFAKulcs();
    }

    // Reverse charge, by the item or by the project.
    const bool projektAlapjan = projektkezeles && projektForditott == 1;
    if (forditottanAdozhat == 1 || projektAlapjan) {
        if (adoszam.empty() && !Silent) {
            dm_.UserInterface().ShowMessage(
                std::string(kApplicationTitle) + " dialog",
                dm_.GetLangText(
                    "All", "ez_a_tetel_forditottan_adozhat",
                    "Ez a tétel fordítottan adózhat (a törzsbeli beállítása szerint), viszont\r"
                    "\ra bizonylatra rögzített partnernek az adószáma nincs kitöltve a partner "
                    "törzsben, így a\rnem állapítható meg a fordított adózásra vonatkozó "
                    "jogosultásga.\rA program a tételt a törzsben rögzített ÁFA kulcs szerint "
                    "árazta fel.\rA partner adataiban csak úgy módosíthat, ha a bizonylat "
                    "előkészítését félbeszakítja."));
        }
        const std::string statusz = NthCharacter(adoszam, 10);
        if (statusz == "2" || statusz == "3" || projektAlapjan) {
            Egysegar.egysegar_brutto = Egysegar.egysegar;
            Egysegar.afa_kulcs = dm_.GetForditottAdosMentesAFAKulcs();
        }
    }
}

void Pricing::GetTetelEgysegar(int TetelKod, int EgysegarKod, TEgysegar& Egysegar) {
    Egysegar = TEgysegar{};
    auto q = OpenQuery(
        dm_.ZConnection, "TetelEgysegarSQL",
        {"SELECT tetel_egysegar.egysegar_brutto, tetel_egysegar.egysegar,",
         "   tetel_egysegar.afa_kulcs, egysegarak.deviza_nev", " from tetel_egysegar, egysegarak",
         "  where tetel_egysegar.egysegar_kod = egysegarak.kod",
         "   and tetel_egysegar.tetel_kod = :tetel_kod",
         "   and tetel_egysegar.egysegar_kod = :egysegar_kod"},
        {{"tetel_kod", TetelKod}, {"egysegar_kod", EgysegarKod}});
    if (!q->IsEmpty()) {
        Egysegar.egysegar = FloatField(*q, "egysegar");
        Egysegar.egysegar_brutto = FloatField(*q, "egysegar_brutto");
        Egysegar.afa_kulcs = IntField(*q, "afa_kulcs");
        Egysegar.deviza_nev = TextField(*q, "deviza_nev");
    }
    if (Egysegar.deviza_nev.empty())
        Egysegar.deviza_nev = kForint;
}

int Pricing::GetAlapertelmezettEgysegar(const std::string& DevizaNev) {
    std::string deviza = DevizaNev;
    if (deviza.empty() || SetupInt(dm_, "arazasimod_alap_listaar") == 0)
        deviza = kForint;
    const auto lookup = [this](const std::string& code) {
        auto q = OpenQuery(dm_.ZConnection, "AlapertelmezettEgysegarSQL",
                           {"SELECT *", " from egysegarak", " where (alapertelmezett = 1)",
                            "   AND (deviza_nev = :deviza_nev)", "   ORDER BY kod", "   LIMIT 1"},
                           {{"deviza_nev", code}});
        return q->IsEmpty() ? -1 : IntField(*q, "kod");
    };
    const int kod = lookup(deviza);
    if (kod != -1)
        return kod;
    if (deviza == kForint)
        return 0;
    // A currency without a default list of its own falls back to the forint default list.
    const int forint = lookup(kForint);
    return forint == -1 ? 0 : forint;
}

int Pricing::GetEgysegarKod(const std::string& Nev) {
    auto q = OpenQuery(dm_.ZConnection, "GetEgysegarKodSQL",
                       {"SELECT kod", " from egysegarak", " where Lang_0000040E = :nev",
                        " order by kod", " limit 1"},
                       {{"nev", Nev}});
    return q->IsEmpty() ? 0 : IntField(*q, "kod");
}

void Pricing::GetPartnerArajanlatAr(int PartnerKod, int TetelKod, TDateTime Datum,
                                    TEgysegar& Egysegar) {
    Egysegar = TEgysegar{};
    auto q = OpenQuery(
        dm_.ZConnection, "GetPartnerArajanlatArSQL",
        {"SELECT raktar_mozgas_fej.datum1, raktar_mozgas.netto_egysegar, "
         "raktar_mozgas.brutto_egysegar, raktar_mozgas_fej.deviza_nev, raktar_mozgas.afakulcs",
         " from raktar_mozgas_fej, raktar_mozgas",
         "  where raktar_mozgas_fej.kod = raktar_mozgas.fej_kod",
         "  and raktar_mozgas_fej.partner_kod = :partner_kod",
         "  and raktar_mozgas.tetel_kod = :tetel_kod",
         "  and rendben = 2 and bizonylat_fajta = :fajta",
         "  and raktar_mozgas_fej.datum1 <= :datum", "  and raktar_mozgas_fej.datum2 >= :datum",
         " order by raktar_mozgas_fej.datum1 DESC, raktar_mozgas_fej.kod DESC,",
         "   raktar_mozgas.kod DESC", " limit 1"},
        {{"partner_kod", PartnerKod},
         {"tetel_kod", TetelKod},
         {"fajta", ToInt(BizonylatFajta::Arajanlat)},
         {"datum", db::Value::Date(Datum)}});
    if (q->IsEmpty())
        return;
    Egysegar.egysegar = FloatField(*q, "netto_egysegar");
    Egysegar.egysegar_brutto = FloatField(*q, "brutto_egysegar");
    Egysegar.afa_kulcs = IntField(*q, "afakulcs");
    Egysegar.deviza_nev = TextField(*q, "deviza_nev");
}

double Pricing::GetPartnerKedvezmeny(int PartnerKod, int FizetesmodKod) {
    auto q = OpenQuery(dm_.ZConnection, "GetPartnerKedvezmenySQL",
                       {"SELECT kedvezmeny.kedvezmeny, kedvezmeny.kotott_fizetesmod, "
                        "kedvezmeny.netto_limit, kedvezmeny.fizetesmod",
                        " from partner_kedvezmeny, kedvezmeny",
                        "  where kedvezmeny.kod = partner_kedvezmeny.kedvezmeny_kod",
                        "  and partner_kedvezmeny.partner_kod = :partner_kod",
                        "  order by kedvezmeny.kod, partner_kedvezmeny.kod"},
                       {{"partner_kod", PartnerKod}});
    if (q->IsEmpty())
        return 0;
    const double forgalom = GetPartnerNettoForgalom(PartnerKod);
    double d = 0;
    for (q->First(); !q->Eof(); q->Next()) {
        const int fizetesmod = IntField(*q, "fizetesmod");
        if (fizetesmod != FizetesmodKod && fizetesmod != 0)
            continue;
        if (static_cast<double>(IntField(*q, "netto_limit")) > forgalom)
            continue;
        d = (1 - (1 - FloatField(*q, "kedvezmeny") / 100) * (1 - d / 100)) * 100;
    }
    return d;
}

double Pricing::GetPartnerNettoForgalom(int PartnerKod) {
    const int year = db::DecodeDate(dm_.GetDate()).year;
    auto q = OpenQuery(dm_.ZConnection, "GetPartnerNettoForgalomSQL",
                       {"SELECT SUM(netto_arbevetel_vegosszeg_huf) as netto_arbevetel_huf",
                        " from raktar_mozgas_fej", "  where partner_kod = :partner_kod",
                        "   and ((bizonylat_fajta = :nyugtas) or (bizonylat_fajta = :szamlas))",
                        "   and datum >= :datum1", "   and datum <= :datum2"},
                       {{"partner_kod", PartnerKod},
                        {"nyugtas", ToInt(BizonylatFajta::NyugtasEladas)},
                        {"szamlas", ToInt(BizonylatFajta::SzamlasEladas)},
                        {"datum1", db::Value::Date(db::EncodeDate(year, 1, 1))},
                        {"datum2", db::Value::Date(db::EncodeDate(year, 12, 31))}});
    return q->IsEmpty() ? 0 : FloatField(*q, "netto_arbevetel_huf");
}

double Pricing::Kiskerar(int TetelKod, TDateTime Datum) {
    auto q = OpenQuery(dm_.ZConnection, "KiskerarSQL",
                       {"SELECT public.get_kiskerar(CAST(:datum AS date), :tetel) AS kiskerar"},
                       {{"datum", db::Value::Date(Datum)}, {"tetel", std::to_string(TetelKod)}});
    return q->IsEmpty() ? 0 : FloatField(*q, "kiskerar");
}

}  // namespace dorvan
