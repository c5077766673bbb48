// Partner and item master data: partners with their addresses, contacts and debt, items
// (by key and by barcode), movement types and warehouses.

#include "datamodule/masters/master_data.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "config/lib_strings.h"
#include "datamodule/core/lib_common.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "datamodule/texts/item_names.h"
#include "db/date_time.h"
#include "db/errors.h"
#include "db/value.h"

namespace dorvan {

namespace {

std::unique_ptr<db::Query> NewQuery(db::Connection& connection, const char* name,
                                    std::vector<std::string> lines, const db::ParamValues& params) {
    auto q = std::make_unique<db::Query>(connection, name);
    q->SetSql(std::move(lines));
    q->SetParams(params);
    return q;
}

// The partner's own address as an address record (key 0; the address type is kept).
void OwnAddress(const TPartnerInfo& p, TPartnerCim& cim) {
    cim.kod = 0;
    cim.nev = p.nev;
    cim.iszam = p.iszam;
    cim.telepules = p.telepules;
    cim.cim = p.cim;
    cim.orszag = p.orszag;
}

void AddressRow(const db::DataSet& d, TPartnerCim& cim) {
    cim.kod = IntField(d, "kod");
    cim.cim_tipus = IntField(d, "cim_tipus");
    cim.nev = TextField(d, "nev");
    cim.iszam = TextField(d, "iszam");
    cim.telepules = TextField(d, "telepules");
    cim.cim = TextField(d, "cim");
    cim.orszag = TextField(d, "orszag");
}

// The day sent to the server's debt function: ISO "YYYY-MM-DD", with the time when there
// is one, so that the server reads it the same way whatever the workstation's date format.
std::string DebtDateText(TDateTime value) {
    return db::TimeOf(value) != 0 ? db::FormatPgTimestamp(value) : db::FormatPgDate(value);
}

// Fields the key and the barcode lookup fill alike.
void CommonItemFields(const db::DataSet& d, TTetelInfo& info) {
    info.kod = IntField(d, "kod");
    info.nev = TextField(d, "nev");
    info.sor2 = TextField(d, "sor2");
    info.sor3 = TextField(d, "sor3");
    info.sor4 = TextField(d, "sor4");
    info.akcios = IntField(d, "akcios");
    info.fajta1 = IntField(d, "fajta1");
    info.fajta2 = IntField(d, "fajta2");
    info.fajta3 = IntField(d, "fajta3");
    info.fajta4 = IntField(d, "fajta4");
    info.fajta5 = IntField(d, "fajta5");
    info.fajta6 = IntField(d, "fajta6");
    info.tetel_tipus = IntField(d, "tetel_tipus");
    info.mennyisegi_egyseg = IntField(d, "mennyisegi_egyseg");
    info.afa_kulcs = IntField(d, "afa_kulcs");
    info.vonalkod = TextField(d, "vonalkod");
    info.tizedesjegy = IntField(d, "tizedesjegy");
    info.forditottan_adozhat = IntField(d, "forditottan_adozhat");
    info.haszonkulcs = FloatField(d, "haszonkulcs");
    info.minimum_haszonkulcs = FloatField(d, "minimum_haszonkulcs");
    info.egyedi = IntField(d, "egyedi");
    info.kompenzacio_mezogazd = IntField(d, "kompenzacio_mezogazd");
    info.szoveges_kod = TextField(d, "szoveges_kod");
    info.kapcsolt_fokonyviszam = TextField(d, "kapcsolt_fokonyviszam");
}

}  // namespace

MasterData::MasterData(TDM& dm)
    : GetMozgasnemInfoZQuery(dm, "GetMozgasnemInfoZQuery", {"SELECT *", "   from mozgasnem"}, -1),
      GetRaktarInfoZQuery(dm, "GetRaktarInfoZQuery", {"SELECT *", "   from raktar_nevek"}, -1),
      dm_(dm) {}

// --- Text routines ------------------------------------------------------------------------

std::string lib_tokenStr(std::string_view text, int field, std::string_view delimiter) {
    const std::string_view delim = delimiter.empty() ? std::string_view(" ") : delimiter;
    const auto delimChars = Utf8Chars(delim);
    const std::string_view d = delimChars.front();
    const auto chars = Utf8Chars(text);
    int counter = 0;
    bool inside = false;
    std::string result;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const std::string_view c = chars[i];
        if (c == "'") {
            inside = !inside;
            if (inside && i > 0)
                ++counter;
        } else if (c == d && !inside && i > 0) {
            if (chars[i - 1] != d)
                ++counter;
            continue;
        }
        if (counter + 1 == field)
            result += c;
    }
    std::erase(result, '\'');
    return result;
}

TDateTime lib_isoStrToDate(std::string_view text) {
    auto part = [text](std::size_t from, std::size_t length, int fallback) {
        if (from >= text.size())
            return fallback;
        return StrToIntDef(text.substr(from, length), fallback);
    };
    const int year = std::clamp(part(0, 4, 2000), 1, 9999);
    const int month = std::clamp(part(5, 2, 1), 1, 12);
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    const int day = std::clamp(part(8, 2, 1), 1, last);
    return db::EncodeDate(year, month, day);
}

void ParsePartnerTartozas(std::string_view text, TPartnerTartozas& tartozas) {
    std::string plain(text);
    std::erase(plain, '(');
    std::erase(plain, ')');
    auto number = [&plain](int field) {
        double value = 0;
        return db::ParseDouble(lib_tokenStr(plain, field, ","), value) ? value : 0.0;
    };
    tartozas.partner_kod = StrToIntDef(lib_tokenStr(plain, 1, ","), 0);
    tartozas.datum = lib_isoStrToDate(lib_tokenStr(plain, 2, ","));
    tartozas.ertek3 = number(3);
    tartozas.ertek4 = number(4);
    tartozas.ertek5 = number(5);
    tartozas.ertek6 = StrToIntDef(lib_tokenStr(plain, 6, ","), 0);
}

// --- Partners -----------------------------------------------------------------------------

void MasterData::GetPartnerInfo(int kod, int szamlazasi_cim_kod, int posta_cim_kod,
                                TPartnerInfo& info) {
    info.nev.clear();
    auto q = NewQuery(dm_.ZConnection, "GetPartnerInfoSQL",
                      {"SELECT *", " from partner", "  where kod = :kod"}, {{"kod", kod}});
    q->Open();
    if (q->RecordCount() != 1) {
        info.kod = -1;
        return;
    }
    const db::DataSet& p = *q;
    info.kod = IntField(p, "kod");
    info.nev = TextField(p, "nev");
    info.fizetesmod = IntField(p, "fizetesmod");
    info.fizetesi_hat_ido = IntField(p, "fizetesi_hat_ido");
    info.iszam = TextField(p, "iszam");
    info.telepules = TextField(p, "telepules");
    info.cim = TextField(p, "cim");
    info.orszag = TextField(p, "orszag");
    info.adoszam = TextField(p, "adoszam");
    info.eng_szam = TextField(p, "eng_szam");
    info.ostermeloi_szam = TextField(p, "ostermeloi_szam");
    info.partner_tipus = IntField(p, "partner_tipus");
    info.gyujto = IntField(p, "gyujto");
    info.partner_csoport_kod = IntField(p, "partner_csoport_kod");
    info.afa_mentes_forgalom = IntField(p, "afa_mentes_forgalom");
    info.masodik_nyelv = TextField(p, "masodik_nyelv");
    info.adoazonosito = TextField(p, "adoazonosito");
    info.osterm_regszam = TextField(p, "osterm_regszam");
    info.csalgazd_nyilv_szam = TextField(p, "csalgazd_nyilv_szam");
    info.taj_szam = TextField(p, "taj_szam");
    info.szuletesi_hely = TextField(p, "szuletesi_hely");
    info.szuletesi_nev = TextField(p, "szuletesi_nev");
    info.anyja_neve = TextField(p, "anyja_neve");
    info.szuletesi_datum = p.FieldByName("szuletesi_datum").AsDateTime();
    info.szoveges_kod = TextField(p, "szoveges_kod");
    info.telefon = TextField(p, "telefon");
    info.fax = TextField(p, "fax");
    info.kedvezmeny_megj_tiltasa = IntField(p, "kedvezmeny_megj_tiltasa");
    info.kvota_engedely = IntField(p, "Kvota_engedely");
    info.megjegyzes_biz = TextField(p, "megjegyzes_biz");
    info.magannyugdijp_tag = IntField(p, "magannyugdijp_tag");
    info.magannyugdijp = TextField(p, "magannyugdijp");
    info.figyelmezteto_uzenet = TextField(p, "figyelmezteto_uzenet");
    info.agrar_kamarai_reg_szam = TextField(p, "agrar_kamarai_reg_szam");
    info.ggn_szam = TextField(p, "ggn_szam");
    info.cegjegyzekszam = TextField(p, "cegjegyzekszam");
    info.jellemzo_deviza_nev = TextField(p, "jellemzo_deviza_nev");
    info.megjegyzes_figyelmeztetes = TextField(p, "megjegyzes_figyelmeztetes");

    // A second document language the language table does not know is dropped.
    if (!info.masodik_nyelv.empty() &&
        dm_.GetSQLResult("SELECT key_order FROM lang_key WHERE key_code = :code",
                         {{"code", info.masodik_nyelv}})
            .empty()) {
        info.masodik_nyelv.clear();
    }
    if (info.telefon.empty()) {
        info.telefon = dm_.GetSQLResult(
            "SELECT telefon FROM partner_emailtar WHERE partner_kod = :kod AND telefon <> '' "
            "ORDER BY kod LIMIT 1",
            {{"kod", kod}});
    }
    info.bankszamla = dm_.GetSQLResult(
        "SELECT bankszamla FROM partner_bank WHERE partner_kod = :kod AND bankszamla <> '' "
        "ORDER BY kod LIMIT 1",
        {{"kod", kod}});
    info.email = dm_.GetSQLResult(
        "SELECT email FROM partner_emailtar WHERE partner_kod = :kod AND email <> '' ORDER BY "
        "kod LIMIT 1",
        {{"kod", kod}});

    // Billing address: the address-book row asked for, else the partner's own address.
    OwnAddress(info, info.szamlazasi_cim);
    if (szamlazasi_cim_kod != 0) {
        q->SetSql({"SELECT *", " from partner_cimtar", "  where kod = :kod"});
        q->ParamByName("kod").SetAsInteger(szamlazasi_cim_kod);
        q->Open();
        if (!q->IsEmpty())
            AddressRow(*q, info.szamlazasi_cim);
    }
    if (info.szamlazasi_cim.orszag.empty())
        info.szamlazasi_cim.orszag = info.orszag;

    // Postal address: the address-book row asked for, else the partner's first postal
    // address (lowest key), else its own address.
    if (posta_cim_kod != 0) {
        q->SetSql({"SELECT *", " from partner_cimtar", "  where kod = :kod",
                   "    and ((cim_tipus = 1) or (cim_tipus = 3))", "  order by kod"});
        q->ParamByName("kod").SetAsInteger(posta_cim_kod);
    } else {
        q->SetSql({"SELECT *", " from partner_cimtar", "  where partner_kod = :kod",
                   "    and ((cim_tipus = 1) or (cim_tipus = 3))", "  order by kod"});
        q->ParamByName("kod").SetAsInteger(kod);
    }
    q->Open();
    if (q->IsEmpty())
        OwnAddress(info, info.posta_cim);
    else
        AddressRow(*q, info.posta_cim);
    if (info.posta_cim.orszag.empty())
        info.posta_cim.orszag = info.orszag;

    info.posta_cim_sorok = {info.posta_cim.nev, info.posta_cim.telepules, info.posta_cim.cim,
                            info.posta_cim.iszam, info.posta_cim.orszag};
}

int MasterData::GetPartnerNevDb(const std::string& nev, int kod) {
    auto q = NewQuery(dm_.ZConnection, "GetPartnerNevDbSQL",
                      {"SELECT count(*)", " from partner", "  where upper(nev) = upper(:nev)",
                       "   and  kod <> :kod"},
                      {{"nev", nev}, {"kod", kod}});
    q->Open();
    return static_cast<int>(q->Fields(0).AsInteger());
}

void MasterData::GetPartner_Tartozas(int kod, bool szallitokkal, TDateTime datum,
                                     TPartnerTartozas& tartozas) {
    tartozas = TPartnerTartozas{};
    tartozas.partner_kod = kod;
    tartozas.datum = datum;
    if (kod == 0)
        return;
    const std::string text = dm_.GetSQLResult(
        "SELECT getpartner_tartozas(:kod, :datum, :szallitokkal);",
        {{"kod", kod}, {"datum", DebtDateText(datum)}, {"szallitokkal", szallitokkal}});
    ParsePartnerTartozas(text, tartozas);
}

// --- Items --------------------------------------------------------------------------------

void MasterData::GetTetelInfo(int kod, const std::string& lang, TTetelInfo& info) {
    info.nev.clear();
    const std::string code = NormalLangCode(lang);
    auto q = NewQuery(
        dm_.ZConnection, "GetTetelInfoSQL",
        {"SELECT tetel.*, tetel.zaradek_lang_" + code + " as zaradek, tetel.lang_" + code +
             " as nev, a1.lang_" + code + " as afa_leiras, a2.lang_" + code +
             " as kompenzacio_mezogazd_leiras,",
         "    mennyisegi_egyseg.lang_" + code +
             " as mee_nev, a1.afakulcs as afa_kulcs_szaz, a2.afakulcs as kompenzacio_mezogazd_szaz",
         " from tetel", "    LEFT JOIN afa_kulcs a1 ON tetel.afa_kulcs = a1.kod",
         "    LEFT JOIN afa_kulcs a2 ON tetel.kompenzacio_mezogazd = a2.kod",
         "    LEFT JOIN mennyisegi_egyseg ON tetel.mennyisegi_egyseg = mennyisegi_egyseg.kod",
         "  where tetel.kod = :kod"},
        {{"kod", kod}});
    q->Open();
    const db::DataSet& d = *q;
    CommonItemFields(d, info);
    info.bizonylat_nev = dm_.GetBizonylatNev(*q, "");
    info.mee_nev = TextField(d, "mee_nev");
    info.afa_kulcs_szaz = FloatField(d, "afa_kulcs_szaz");
    info.afa_leiras = TextField(d, "afa_leiras");
    info.utolsobeszerzesiar = FloatField(d, "UtolsoBeszerzesiAr");
    info.kompenzacio_mezogazd_szaz = FloatField(d, "kompenzacio_mezogazd_szaz");
    info.kompenzacio_mezogazd_leiras = TextField(d, "kompenzacio_mezogazd_leiras");
    info.fobizonylaton_nem_latszik = IntField(d, "fobizonylaton_nem_latszik");
    info.tetel_azonosito_kod = TextField(d, "tetel_azonosito_kod");
    info.zaradek = TextField(d, "zaradek");
}

void MasterData::GetTetelInfo_via_vonalkod(const std::string& vonalkod, TTetelInfo& info) {
    info.kod = 0;
    info.nev.clear();
    auto q = NewQuery(dm_.ZConnection, "GetTetelInfo_via_vonalkodSQL",
                      {"SELECT *, Lang_0000040E as nev", " from tetel",
                       "  where Vonalkod = :vonalkod", "  order by kod"},
                      {{"vonalkod", vonalkod}});
    q->Open();
    if (q->RecordCount() > 1) {
        dm_.UserInterface().ShowMessage(kVonalkodHibaCaption, kVonalkodTobbTetel);
        return;
    }
    if (q->IsEmpty()) {
        dm_.UserInterface().ShowMessage(kVonalkodHibaCaption, kVonalkodIsmeretlen);
        return;
    }
    const db::DataSet& d = *q;
    CommonItemFields(d, info);
    info.bizonylat_nev = dm_.GetBizonylatNev(*q, "");
    TMennyisegiEgysegInfo mee;
    dm_.GetMennyisegiEgysegInfo(info.mennyisegi_egyseg, "0000040e", mee);
    info.mee_nev = mee.nev;
    TAFAInfo afa;
    dm_.GetAFAInfo(info.afa_kulcs, "0000040e", afa);
    info.afa_kulcs_szaz = afa.afakulcs;
    TAFAInfo kompenzacio;
    dm_.GetAFAInfo(info.kompenzacio_mezogazd, "0000040e", kompenzacio);
    info.kompenzacio_mezogazd_szaz = kompenzacio.afakulcs;
    info.utolsobeszerzesiar = lib_roundTo(0, FloatField(d, "UtolsoBeszerzesiAr"));
}

// --- Movement types and warehouses (cached) -----------------------------------------------

void MasterData::GetMozgasnemInfo(int kod, TMozgasnemInfo& info) {
    info.nev.clear();
    GetMozgasnemInfoZQuery.Open();
    if (!GetMozgasnemInfoZQuery.Locate("kod", {kod}))
        return;
    const db::DataSet& d = GetMozgasnemInfoZQuery;
    info.nev = TextField(d, "Lang_0000040E");
    info.cel_raktar = IntField(d, "cel_raktar");
    info.forras_raktar = IntField(d, "forras_raktar");
    info.sajat = IntField(d, "sajat");
    info.tipus = IntField(d, "tipus");
    info.sztorno = IntField(d, "sztorno");
    info.kapcsolt_mozgas = IntField(d, "kapcsolt_mozgas");
    info.hasznalatban = IntField(d, "hasznalatban");
    info.bizonylat_kapcsolat = IntField(d, "bizonylat_kapcsolat");
}

void MasterData::GetRaktarInfo(int kod, TRaktarInfo& info) {
    info.nev.clear();
    GetRaktarInfoZQuery.Open();
    if (!GetRaktarInfoZQuery.Locate("kod", {kod}))
        return;
    const db::DataSet& d = GetRaktarInfoZQuery;
    info.nev = TextField(d, "lang_0000040e");
    info.partner_kod = IntField(d, "Partner_kod");
    info.partner_raktar = lib_choiceInt(info.partner_kod == 0, 0, 1);
    info.raktar_tipus = IntField(d, "Raktar_tipus");
}

}  // namespace dorvan
