// Reference lookups: the small code tables, cached in the module's query components or
// read fresh per call, the default rows, and the VAT keys created when missing.

#include "datamodule/masters/lookups.h"

#include <string>

#include "config/format_settings.h"
#include "config/lib_strings.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

// Opens a cached component when needed and makes the row of `key` current.
bool Seek(db::Query& q, const char* column, const db::Value& key) {
    if (!q.Active())
        q.Open();
    return q.Locate(column, {key});
}

struct NewAfaKulcs {
    const char* nev;
    int mentes;
    int eus;        // -1: left to the table's default
    int forditott;  // -1: left to the table's default
};

// Finds the VAT key matching `condition`, creating it when there is none. Callers on several
// workstations are serialised by a transaction-scoped lock of the database, so the key is
// created once.
int FindOrCreateAfaKulcs(TDM& dm, const char* name, const char* condition, const NewAfaKulcs& row) {
    // A savepoint inside the caller's transaction.
    db::Transaction tx(dm.ZConnection);
    dm.ExecSQL("select pg_advisory_xact_lock(hashtext(:lock_name))",
               {{"lock_name", std::string("afa_kulcs.") + name}});
    db::Query q(dm.ZConnection, name);
    q.SetSql({"SELECT *", " from afa_kulcs", condition});
    q.Open();
    dm.AutoDisableReqField(q);
    if (q.IsEmpty()) {
        q.Append();
        q.FieldByName("afakulcs").SetAsFloat(0);
        q.FieldByName("lang_0000040e").SetAsString(row.nev);
        if (row.eus >= 0)
            q.FieldByName("eus_tagorszagbeli_ertekesiteshez").SetAsInteger(row.eus);
        if (row.forditott >= 0)
            q.FieldByName("forditott_adozas").SetAsInteger(row.forditott);
        q.FieldByName("mentes").SetAsInteger(row.mentes);
        q.Post();
    }
    const int kod = IntField(q, "kod");
    q.Close();
    tx.Commit();
    return kod;
}

}  // namespace

std::string ZaradekLangColumn(const std::string& langCode) {
    return LangColumn(langCode, "zaradek_lang_");
}

double AfaNettoArany(double afakulcs) {
    return (1 - afakulcs / (afakulcs + 100)) * 100;
}

std::string AfaReszosszegFelirat(const std::string& nev, double afakulcs) {
    if (afakulcs == 0)
        return nev + " részösszeg:";
    std::string rate = db::FormatDouble(afakulcs);
    const std::string& separator = GlobalFormatSettings().decimalSeparator;
    if (const auto dot = rate.find('.'); dot != std::string::npos)
        rate.replace(dot, 1, separator);
    return nev + " (" + rate + "%)" + " részösszeg:";
}

void ComputeAfaDerived(TAFAInfo& info) {
    info.netto_arany = AfaNettoArany(info.afakulcs);
    info.reszosszeg_felirat = AfaReszosszegFelirat(info.nev, info.afakulcs);
}

Lookups::Lookups(TDM& dm)
    : GetAfaInfoZQuery(dm, "GetAfaInfoZQuery", {"select *", "   from afa_kulcs"}, -1),
      GetFizmodInfoZQuery(dm, "GetFizmodInfoZQuery", {"SELECT *", "   from fizetesmod"}, -1),
      GetMennyisegiEgysegInfoZQuery(dm, "GetMennyisegiEgysegInfoZQuery",
                                    {"select *", "   from mennyisegi_egyseg"}, -1),
      GetFajtaNevZQuery(dm, "GetFajtaNevZQuery", {"select *", "   from tetel_fajtak"}, -1),
      GetIso_StatuszInfoZQuery(dm, "GetIso_StatuszInfoZQuery", {"SELECT *", "   from iso_statusz"},
                               -1),
      GetPenzeszkozInfoZQuery(dm, "GetPenzeszkozInfoZQuery",
                              {"SELECT *", "   from penzeszkoz_nevek"}, -1),
      GetDevizaInfoZQuery(dm, "GetDevizaInfoZQuery", {"SELECT *", "   from deviza"}, -1),
      GetKedvezmenyInfoZQuery(dm, "GetKedvezmenyInfoZQuery", {"SELECT *", "   from kedvezmeny"},
                              -1),
      GetUzletkotoInfoZQuery(dm, "GetUzletkotoInfoZQuery", {"SELECT *", "   from uzletkoto"}, -1),
      GetPartnerCsoportZQuery(dm, "GetPartnerCsoportZQuery",
                              {"SELECT *", "   from partner_csoport"}, -1),
      GetGyartasSQL(dm, "GetGyartasSQL",
                    {"select kesztermek, beepulo, mennyiseg, osszeg,",
                     "    tetel.Lang_0000040E as nev, tetel.AFA_kulcs,",
                     "    afa_kulcs.Lang_0000040E as afakulcs", "  from gyartas, tetel, afa_kulcs",
                     "  where kesztermek = :kesztermek", "   and gyartas.beepulo = tetel.kod",
                     "   and tetel.AFA_kulcs = afa_kulcs.kod", "  order by mennyiseg DESC"},
                    -1),
      dm_(dm) {}

// --- Cached code tables ---

void Lookups::GetAFAInfo(int kod, const std::string& LangCode, TAFAInfo& Info) {
    Info.nev.clear();
    const std::string column = LangColumn(LangCode);
    db::Query& q = GetAfaInfoZQuery;
    if (!Seek(q, "kod", kod))
        return;
    Info.nev = q.FieldByName(column).AsString();
    Info.afakulcs = q.FieldByName("afakulcs").AsFloat();
    ComputeAfaDerived(Info);
}

void Lookups::GetFizmodInfo(int kod, const std::string& LangCode, TFizmodInfo& Info) {
    Info.kod = 0;
    db::Query& q = GetFizmodInfoZQuery;
    if (!Seek(q, "kod", kod))
        return;
    Info.kod = IntField(q, "kod");
    Info.nev = q.FieldByName(LangColumn(LangCode)).AsString();
    Info.halasztott_fizetesu = IntField(q, "halasztott_fizetesu");
    Info.hatarido = IntField(q, "hatarido");
    Info.postakoltseg = IntField(q, "postakoltseg");
    Info.zaradek = q.FieldByName(ZaradekLangColumn(LangCode)).AsString();
    Info.keszpenzes = IntField(q, "keszpenzes");
}

void Lookups::GetMennyisegiEgysegInfo(int kod, const std::string& LangCode,
                                      TMennyisegiEgysegInfo& Info) {
    Info.nev.clear();
    db::Query& q = GetMennyisegiEgysegInfoZQuery;
    if (!Seek(q, "kod", kod))
        return;
    Info.kod = IntField(q, "kod");
    Info.nev = q.FieldByName(LangColumn(LangCode)).AsString();
}

void Lookups::GetFajtaNev(int kod, std::string& Text) {
    Text.clear();
    if (Seek(GetFajtaNevZQuery, "kod", kod))
        Text = TextField(GetFajtaNevZQuery, "lang_0000040e");
}

int Lookups::GetFajtakod(const std::string& Nev) {
    if (!Seek(GetFajtaNevZQuery, "lang_0000040e", Nev))
        return 0;
    return IntField(GetFajtaNevZQuery, "kod");
}

void Lookups::GetIso_StatuszInfo(int kod, TIso_StatuszInfo& Info) {
    Info.nev.clear();
    db::Query& q = GetIso_StatuszInfoZQuery;
    if (!Seek(q, "kod", kod))
        return;
    Info.nev = TextField(q, "lang_0000040e");
    Info.engedely = IntField(q, "Engedely");
}

void Lookups::GetPenzeszkozInfo(int kod, TPenzeszkozInfo& Info) {
    Info.nev.clear();
    db::Query& q = GetPenzeszkozInfoZQuery;
    if (!Seek(q, "kod", kod))
        return;
    Info.kod = IntField(q, "kod");
    Info.nev = TextField(q, "lang_0000040e");
    Info.megjegyzes = TextField(q, "megjegyzes");
    Info.tipus = IntField(q, "tipus");
    Info.azonosito = TextField(q, "azonosito");
    Info.alapertelmezett = IntField(q, "alapertelmezett");
    Info.kapcsolt_telephely = IntField(q, "kapcsolt_telephely");
    Info.bank_neve = TextField(q, "bank_neve");
    Info.bank_szamlaszam = TextField(q, "bank_szamlaszam");
    Info.bank_szamlaszam_iban = TextField(q, "bank_szamlaszam_iban");
    Info.bank_swift = TextField(q, "bank_swift");
    Info.deviza_nev = TextField(q, "deviza_nev");
}

void Lookups::GetDevizaInfo(const std::string& Nev, TDevizaInfo& Info) {
    Info.nev.clear();
    db::Query& q = GetDevizaInfoZQuery;
    if (!Seek(q, "nev", Nev))
        return;
    Info.nev = TextField(q, "nev");
    Info.megjegyzes = TextField(q, "megjegyzes");
    Info.bizonylat_vegosszeg_kerekites = IntField(q, "bizonylat_vegosszeg_kerekites");
}

void Lookups::GetKedvezmenyInfo(int kod, TKedvezmenyInfo& Info) {
    Info.nev.clear();
    db::Query& q = GetKedvezmenyInfoZQuery;
    if (!Seek(q, "kod", kod))
        return;
    Info.kod = IntField(q, "kod");
    Info.kedvezmeny = q.FieldByName("kedvezmeny").AsFloat();
    Info.nev = TextField(q, "lang_0000040e");
    Info.kotott_fizetesmod = IntField(q, "kotott_fizetesmod");
    Info.fizetesmod = IntField(q, "fizetesmod");
    Info.netto_limit = IntField(q, "netto_limit");
}

void Lookups::GetUzletkotoInfo(int kod, TUzletkotoInfo& Info) {
    Info.nev.clear();
    db::Query& q = GetUzletkotoInfoZQuery;
    if (!Seek(q, "kod", kod))
        return;
    Info.kod = IntField(q, "kod");
    Info.nev = TextField(q, "nev");
    Info.iranyitoszam = TextField(q, "iranyitoszam");
    Info.telepules = TextField(q, "telepules");
    Info.cim = TextField(q, "cim");
    Info.telefon = TextField(q, "telefon");
    Info.megjegyzes = TextField(q, "megjegyzes");
}

void Lookups::GetPartnerCsoportInfo(int kod, std::string& Text) {
    Text.clear();
    if (Seek(GetPartnerCsoportZQuery, "kod", kod))
        Text = TextField(GetPartnerCsoportZQuery, "lang_0000040e");
}

// --- Fresh reads ---

void Lookups::GetMunkatarsInfo(int kod, TMunkatarsInfo& Info) {
    auto q = OpenQuery(dm_.ZConnection, "GetMunkatarsInfoSQL",
                       {"SELECT *", " from munkatars", " where kod = :kod"}, {{"kod", kod}});
    if (q->IsEmpty()) {
        Info = TMunkatarsInfo{};
        return;
    }
    Info.kod = IntField(*q, "kod");
    Info.userid = TextField(*q, "UserId");
    Info.pass = TextField(*q, "Pass");
    Info.nev = TextField(*q, "nev");
    Info.adoazonosito = TextField(*q, "adoazonosito");
    Info.superuser = IntField(*q, "superuser");
    Info.szuletes_ideje = q->FieldByName("szuletes_ideje").AsDateTime();
}

void Lookups::GetProjektStatuszInfo(int kod, TProjektStatuszInfo& Info) {
    auto q = OpenQuery(dm_.ZConnection, "GetProjektStatuszInfoSQL",
                       {"SELECT *", " from projekt_statusz", " where kod = :kod"}, {{"kod", kod}});
    if (q->IsEmpty()) {
        Info = TProjektStatuszInfo{};
        return;
    }
    Info.kod = IntField(*q, "kod");
    Info.nev = TextField(*q, "lang_0000040e");
    Info.hasznalatban = IntField(*q, "hasznalatban");
    Info.projekt_zarva = IntField(*q, "projekt_zarva");
}

void Lookups::GetEmailListaInfo(int kod, TEmailListaInfo& Info) {
    auto q =
        OpenQuery(dm_.ZConnection, "GetEmailListaInfoSQL",
                  {"SELECT *", " from partner_email_lista", "  where kod = :kod"}, {{"kod", kod}});
    if (q->IsEmpty()) {
        Info = TEmailListaInfo{};
        return;
    }
    Info.kod = IntField(*q, "kod");
    Info.nev = TextField(*q, "nev");
    Info.linuxname = TextField(*q, "LinuxName");
}

void Lookups::GetProjektInfo(int kod, TProjektInfo& Info) {
    auto q =
        OpenQuery(dm_.ZConnection, "GetProjektInfo",
                  {"select *", "  from projektek", "  where kod = :projekt"}, {{"projekt", kod}});
    TProjektInfo r;
    if (!q->IsEmpty()) {
        r.kod = IntField(*q, "kod");
        r.besorolas = IntField(*q, "besorolas");
        r.partner_kod = IntField(*q, "partner_kod");
        r.helyszin = TextField(*q, "helyszin");
        r.leiras = TextField(*q, "leiras");
        r.rogzites = q->FieldByName("rogzites").AsDateTime();
        r.datum1 = q->FieldByName("datum1").AsDateTime();
        r.datum2 = q->FieldByName("datum2").AsDateTime();
        r.utemezes = IntField(*q, "utemezes");
        r.utemezes2 = r.utemezes;
        r.vegzi = IntField(*q, "vegzi");
        r.ellenorzi = IntField(*q, "ellenorzi");
        r.megjegyzes = TextField(*q, "megjegyzes");
        r.hasznalatban = IntField(*q, "hasznalatban");
        r.statusz = IntField(*q, "statusz");
        r.bejelento = TextField(*q, "bejelento");
        r.forditott_adozas = IntField(*q, "forditott_adozas");
    }
    r.kod_str = lib_rightStr("00000000" + std::to_string(r.kod), 8);
    Info = std::move(r);
}

int Lookups::GetISOEngedely(int PartnerKod) {
    auto q =
        OpenQuery(dm_.ZConnection, "GetISOEngedelySQL",
                  {"select iso_statusz.engedely", "   from partner, iso_statusz",
                   "   where partner.iso_engedely = iso_statusz.kod", "    and partner.kod = :kod"},
                  {{"kod", PartnerKod}});
    return q->IsEmpty() ? 0 : IntField(*q, "engedely");
}

// --- Defaults and counts ---

int Lookups::GetAlapertelmezettAfa() {
    return StrToIntDef(
        dm_.GetSQLResult("SELECT kod FROM afa_kulcs WHERE alapertelmezett = 1 LIMIT 1"), 0);
}

int Lookups::GetAlapertelmezettFizetesmod() {
    return StrToIntDef(
        dm_.GetSQLResult("SELECT kod FROM fizetesmod WHERE alapertelmezett = 1 LIMIT 1"), 0);
}

int Lookups::GetKpFizmodKod() {
    auto q = OpenQuery(dm_.ZConnection, "GetKpFizmodKodSQL",
                       {"SELECT kod", " from fizetesmod", " where lang_0000040e = :nev"},
                       {{"nev", "Készpénz"}});
    return q->IsEmpty() ? 0 : IntField(*q, "kod");
}

void Lookups::GetDefaultMennyisegiEgyseg(TMennyisegiEgysegInfo& Info) {
    auto q = OpenQuery(dm_.ZConnection, "GetDefaultMennyisegiEgysegSQL",
                       {"SELECT *", " from mennyisegi_egyseg", " where lang_0000040e = :nev"},
                       {{"nev", "db"}});
    if (q->IsEmpty())
        return;
    Info.kod = IntField(*q, "kod");
    Info.nev = TextField(*q, "lang_0000040e");
}

int Lookups::GetDefaultISO_statusz() {
    auto q = OpenQuery(
        dm_.ZConnection, "GetDefaultISO_statuszSQL",
        {"SELECT *", "  FROM iso_statusz", "  WHERE (engedely = 1)", " ORDER BY kod", " LIMIT 1"});
    return q->IsEmpty() ? 0 : IntField(*q, "kod");
}

int Lookups::GetAlapertelmezettPenzeszkoz(int Tipus, const std::string& DevizaNev) {
    auto q = OpenQuery(dm_.ZConnection, "GetAlapertelmezettPenzeszkozSQL",
                       {"SELECT *", " from penzeszkoz_nevek", " where alapertelmezett = 1",
                        "   and tipus = :tipus", "   and Deviza_nev = :deviza_nev"},
                       {{"tipus", Tipus}, {"deviza_nev", DevizaNev}});
    return q->IsEmpty() ? 0 : IntField(*q, "kod");
}

int Lookups::GetMunkatarsCount() {
    auto q = OpenQuery(dm_.ZConnection, "GetMunkatarsInfoSQL",
                       {"SELECT count(*) as db", " from munkatars"});
    return IntField(*q, "db");
}

// --- VAT keys created when missing ---

int Lookups::Get0AFAKulcs() {
    return FindOrCreateAfaKulcs(dm_, "Get0AFAKulcsSQL", " where afakulcs = 0 and mentes = 0",
                                {"0%-os ÁFA", 0, -1, -1});
}

int Lookups::GetEUsMentesAFAKulcs() {
    return FindOrCreateAfaKulcs(
        dm_, "GetEUsMentesAFAKulcsSQL",
        " where afakulcs = 0 and mentes = 1 and eus_tagorszagbeli_ertekesiteshez = 1",
        {"ÁFA mentes (vevő /országa törvényei szerinti/ adófizetésre kötelezett)", 1, 1, -1});
}

int Lookups::GetForditottAdosMentesAFAKulcs() {
    return FindOrCreateAfaKulcs(
        dm_, "GetForditottAdosMentesAFAKulcsSQL",
        " where afakulcs = 0 and mentes = 1 and "
        "eus_tagorszagbeli_ertekesiteshez = 0 and forditott_adozas = 1",
        {"Fordított adózás /Áfa tv. 142.§ (1) b./ szerint adózó tétel(ek)", 1, 0, 1});
}

// --- Bill of materials ---

int Lookups::GetGyartas(int Kesztermek) {
    GetGyartasSQL.Close();
    GetGyartasSQL.ParamByName("kesztermek").SetAsInteger(Kesztermek);
    GetGyartasSQL.Open();
    return GetGyartasSQL.RecordCount();
}

}  // namespace dorvan
