// Issuer and customer blocks, the user lookup and its cache, the printed-form record and
// the parameter handler of the individual-unit query.

#include "datamodule/documents/issuer_blocks.h"

#include <algorithm>
#include <ctime>

#include "config/date_time_pattern.h"
#include "config/format_settings.h"
#include "config/lib_strings.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/date_time.h"

namespace dorvan {

namespace {

constexpr char kTab = '\t';

// Document kinds with their own block rules: a receipt sale prints no tax numbers and no
// bank lines, a goods receipt note no bank lines.
constexpr int kNyugtasEladas = ToInt(BizonylatFajta::NyugtasEladas);
constexpr int kAtveteliJegy = ToInt(BizonylatFajta::AtveteliJegy);

// Text of a date column with the workstation's short date format; "" for a null date.
std::string DateText(const db::Field& field) {
    if (field.IsNull())
        return {};
    const db::DateParts d = db::DecodeDate(field.AsDateTime());
    std::tm t{};
    t.tm_year = d.year - 1900;
    t.tm_mon = d.month - 1;
    t.tm_mday = d.day;
    return FormatDateTimePattern(GlobalFormatSettings().shortDateFormat, t);
}

// One row of `table` by key on the shared query of GetKiallito; the query is left open on
// it (empty when there is no such row).
void ReadByKod(db::Query& q, const std::string& table, int kod) {
    q.Close();
    q.SetSql({"select *", "   from " + table, "    where kod = :kod"});
    q.ParamByName("kod").SetAsInteger(kod);
    q.Open();
}

}  // namespace

// --- TUserCache --------------------------------------------------------------------------

const TUserInfo* TUserCache::Find(const std::string& userid) {
    for (Entry& e : entries_) {
        if (e.info.userid == userid) {
            e.lastUse = ++clock_;
            return &e.info;
        }
    }
    return nullptr;
}

void TUserCache::Add(const TUserInfo& info) {
    if (info.userid.empty())
        return;
    for (Entry& e : entries_) {
        if (e.info.userid == info.userid) {
            e.info = info;
            e.lastUse = ++clock_;
            return;
        }
    }
    if (entries_.size() < Capacity) {
        entries_.push_back({info, ++clock_});
        return;
    }
    auto oldest =
        std::min_element(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
    *oldest = {info, ++clock_};
}

void TUserCache::Clear() {
    entries_.clear();
    clock_ = 0;
}

// --- Block composition -------------------------------------------------------------------

std::vector<std::string> TemplateKeys(std::string_view templateText) {
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start < templateText.size()) {
        std::size_t end = templateText.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            keys.emplace_back(templateText.substr(start));
            break;
        }
        keys.emplace_back(templateText.substr(start, end - start));
        if (templateText[end] == '\r' && end + 1 < templateText.size() &&
            templateText[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return keys;
}

std::vector<std::string> KiallitoLines(const TKiallito& k, std::string_view templateText) {
    std::vector<std::string> lines;
    const bool nyugta = k.bizonylat_fajta == kNyugtasEladas;
    const bool bankNelkul = nyugta || k.bizonylat_fajta == kAtveteliJegy;
    for (const std::string& key : TemplateKeys(templateText)) {
        if (key == "kiallito_nev1" || key == "kiallito_nev") {
            lines.push_back("Név: " + std::string(1, kTab) + k.nev1);
        } else if (key == "kiallito_nev2") {
            if (!k.nev2.empty())
                lines.push_back(kTab + k.nev2);
        } else if (key == "kiallito_cim") {
            lines.push_back("Cím: " + std::string(1, kTab) + k.iszam + " " + k.telepules);
            lines.push_back(kTab + k.cim);
        } else if (key == "kiallito_adoszam") {
            if (!nyugta)
                lines.push_back("Adósz.:" + std::string(1, kTab) + k.adoszam);
        } else if (key == "kiallito_adoszam_eu") {
            if (!nyugta)
                lines.push_back("EU adó:" + std::string(1, kTab) + k.adoszam_eu);
        } else if (key == "kiallito_bank") {
            if (bankNelkul)
                continue;
            if (!k.bank_neve.empty() || !k.bank_szamlaszam.empty()) {
                lines.push_back("Bank: " + std::string(1, kTab) + TrimBlanks(k.bank_neve));
                lines.push_back(kTab + TrimBlanks(k.bank_szamlaszam));
            }
            if (!k.bank_szamlaszam_iban.empty())
                lines.push_back("IBAN: " + std::string(1, kTab) +
                                TrimBlanks(k.bank_szamlaszam_iban));
            if (!k.bank_swift.empty())
                lines.push_back("SWIFT: " + std::string(1, kTab) + k.bank_swift);
        } else if (key == "kiallito_egyeb_adat_a_szamlan") {
            if (!k.megjegyzes.empty())
                lines.push_back(TrimBlanks(k.megjegyzes));
        }
    }
    return lines;
}

namespace {

// A customer line: caption, tab, the column's text.
struct VevoItem {
    const char* key;
    const char* caption;
    const char* column;
    bool always;  // also when the value is empty
};

constexpr VevoItem kVevoItems[] = {
    {"nev", "Név: ", "partner_nev", true},
    {"cim", "", "partner_cim", true},
    {"orszag", "", "partner_orszag", true},
    {"adoszam", "Adósz.:", "partner_adoszam", true},
    {"telefon", "Tel.:", "partner_telefon", false},
    {"fax", "Fax:", "partner_fax", false},
    {"bank", "Bank:", "partner_bank", false},
    {"email", "Email:", "partner_email", false},
    {"eng_szam", "Eng.szám: ", "partner_eng_szam", false},
    {"ostermeloi_szam", "Ősterm.sz.: ", "partner_ostermeloi_szam", false},
    {"adoazonosito", "Adóazon.: ", "partner_adoazonosito", false},
    {"osterm_regszam", "MVH reg.szám: ", "partner_osterm_regszam", false},
    {"csalgazd_nyilv_szam", "Csal.gazd.sz.: ", "partner_csalgazd_nyilv_szam", false},
    {"taj_szam", "TAJ szám: ", "partner_taj_szam", false},
    {"szuletesi_hely", "Szül.hely: ", "partner_szuletesi_hely", false},
    {"szuletesi_nev", "Szül.név: ", "partner_szuletesi_nev", false},
    {"anyja_neve", "Anyja neve: ", "partner_anyja_neve", false},
    {"szoveges_kod", "Kód: ", "partner_szoveges_kod", false},
    {"kod", "Partnerkód: ", "partner_kod", false},
    {"agrar_kamarai_reg_szam", "Agr.kam.sz: ", "partner_agrar_kamarai_reg_szam", false},
    {"ggn_szam", "GGN:      ", "partner_ggn_szam", false},
};

}  // namespace

std::vector<std::string> VevoLines(const db::DataSet& d, std::string_view templateText) {
    std::vector<std::string> lines;
    for (const std::string& key : TemplateKeys(templateText)) {
        if (key == "iszam telepules") {
            lines.push_back("Cím: " + std::string(1, kTab) +
                            d.FieldByName("partner_iszam").AsString() + " " +
                            d.FieldByName("partner_telepules").AsString());
            continue;
        }
        if (key == "szuletesi_datum") {
            const db::Field& f = d.FieldByName("partner_szuletesi_datum");
            if (!f.IsNull() && f.AsDateTime() != 0)
                lines.push_back("Szül.dátum: " + std::string(1, kTab) + DateText(f));
            continue;
        }
        if (key == "magannyugdijp") {
            const std::string value = d.FieldByName("partner_magannyugdijp").AsString();
            if (!value.empty() && d.FieldByName("partner_magannyugdijp_tag").AsInteger() != 0)
                lines.push_back("Magán ny.pt: " + std::string(1, kTab) + value);
            continue;
        }
        for (const VevoItem& item : kVevoItems) {
            if (key != item.key)
                continue;
            const std::string value = d.FieldByName(item.column).AsString();
            if (item.always || !value.empty())
                lines.push_back(item.caption + std::string(1, kTab) + value);
            break;
        }
    }
    return lines;
}

std::string BlockText(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\r';
        text += lines[i];
    }
    return text;
}

std::string NyomtatvanyMegnevezes(const std::string& nev, const std::string& leiras,
                                  const std::string& azonosito) {
    std::string text = nev;
    if (!leiras.empty())
        text += " | " + leiras;
    if (!azonosito.empty())
        text += " (" + azonosito + ")";
    return text;
}

IssuerBlocks::IssuerBlocks(TDM& dm)
    : EgyediZQuery(dm, "EgyediZQuery",
                   {"SELECT raktar_mozgas_egyedi.kod, raktar_mozgas_egyedi.rm_kod,",
                    "       tetel_egyedi.egyedi_azonosito,",
                    "       raktar_mozgas_egyedi.mennyiseg, "
                    "raktar_mozgas_egyedi.mennyiseg_szamlazva",
                    "   FROM raktar_mozgas_egyedi, tetel_egyedi",
                    "   WHERE raktar_mozgas_egyedi.egyedi_azonosito_kod = tetel_egyedi.kod",
                    "     and raktar_mozgas_egyedi.rm_kod = :kod"}),
      dm_(dm) {
    // The individual units follow the current line of the document lines.
    EgyediZQuery.BeforeOpen = [this](db::DataSet& d) { EgyediZQueryBeforeOpen(d); };
}

// --- Services of the data module ---------------------------------------------------------

db::Query& IssuerBlocks::OwnerRecord() {
    if (!dm_.TulajdonosZQuery.Active())
        dm_.TulajdonosZQuery.Open();
    return dm_.TulajdonosZQuery;
}

void IssuerBlocks::GetKiallito(int BizonylatKod, int Prev, TKiallito& Kiallito) {
    Kiallito = TKiallito{};
    db::Query q(dm_.ZConnection, "GetKiallitoSQL");

    // The document: its warehouse (source, else target), money account and kind.
    ReadByKod(q, PrevTable(Prev, "raktar_mozgas_fej"), BizonylatKod);
    const int forras = IntField(q, "forras_raktar_kod");
    Kiallito.raktar_kod = forras != 0 ? forras : IntField(q, "cel_raktar_kod");
    Kiallito.penzeszkoz_kod = IntField(q, "penzeszkoz_kod");
    Kiallito.bizonylat_kod = BizonylatKod;
    Kiallito.bizonylat_fajta = IntField(q, "Bizonylat_fajta");

    // The bank account, when the document's money account is one.
    ReadByKod(q, "penzeszkoz_nevek", Kiallito.penzeszkoz_kod);
    if (q.FieldByName("tipus").AsInteger() == 2) {
        Kiallito.bank_neve = TextField(q, "bank_neve");
        Kiallito.bank_szamlaszam = TextField(q, "bank_szamlaszam");
        Kiallito.bank_szamlaszam_iban = TextField(q, "bank_szamlaszam_iban");
        Kiallito.bank_swift = TextField(q, "bank_swift");
        Kiallito.deviza_nev = TextField(q, "deviza_nev");
    }

    // The warehouse; a warehouse of kind 3 stands for its linked warehouse.
    ReadByKod(q, "raktar_nevek", Kiallito.raktar_kod);
    if (q.FieldByName("raktar_tipus").AsInteger() == 3)
        ReadByKod(q, "raktar_nevek", IntField(q, "kapcsolt_raktar"));
    Kiallito.partner_kod = IntField(q, "partner_kod");
    Kiallito.partner_raktar = Kiallito.partner_kod == 0 ? 0 : 1;

    db::Query& owner = OwnerRecord();
    if (Kiallito.partner_kod != 0) {
        // Goods issued from a partner company's warehouse.
        ReadByKod(q, "partner", Kiallito.partner_kod);
        Kiallito.nev1 = TextField(owner, "nev1");
        Kiallito.nev2 = "(" + TextField(q, "nev") + ")";
        Kiallito.iszam = TextField(q, "iszam");
        Kiallito.telepules = TextField(q, "telepules");
        Kiallito.cim = TextField(q, "cim");
        Kiallito.adoszam = TextField(owner, "adoszam");
        Kiallito.adoszam_eu = TextField(owner, "adoszam_eu");
        Kiallito.megjegyzes = TextField(q, "Megjegyzes");
    } else {
        Kiallito.nev1 = TextField(owner, "nev1");
        Kiallito.nev2 = TextField(owner, "nev2");
        Kiallito.iszam = TextField(owner, "iszam");
        Kiallito.telepules = TextField(owner, "telepules");
        Kiallito.cim = TextField(owner, "utca");
        Kiallito.adoszam = TextField(owner, "adoszam");
        Kiallito.adoszam_eu = TextField(owner, "adoszam_eu");
        Kiallito.megjegyzes = TextField(owner, "egyeb_adat_a_szamlan");
    }
}

std::vector<std::string> IssuerBlocks::GetKiallitoStringList(int BizonylatKod, int Prev) {
    TKiallito kiallito;
    GetKiallito(BizonylatKod, Prev, kiallito);
    return KiallitoLines(kiallito, TextField(OwnerRecord(), "kiallito_sorok"));
}

std::vector<std::string> IssuerBlocks::GetVevoStringList(const db::DataSet& DataSet) {
    return VevoLines(DataSet, TextField(OwnerRecord(), "vevo_sorok"));
}

void IssuerBlocks::GetUserInfo(const std::string& UserID, TUserInfo& Info) {
    Info.userid.clear();
    if (const TUserInfo* cached = UserCache.Find(UserID)) {
        Info = *cached;
        return;
    }
    db::Query q(dm_.ZConnection, "GetUserPassSQL");
    q.SetSql({"select *", "   from munkatars", "   where userid = :userid"});
    q.ParamByName("userid").SetAsString(UserID);
    q.Open();
    Info.userid = TextField(q, "UserId");
    Info.pass = TextField(q, "pass");
    Info.superuser = IntField(q, "superuser");
    Info.nev = TextField(q, "Nev");
    Info.kod = IntField(q, "kod");
    UserCache.Add(Info);
}

void IssuerBlocks::GetNyomtatvanyInfo(int kod, TNyomtatvanyInfo& Info) {
    Info.kod = 0;
    if (kod == 0)
        return;
    db::Query q(dm_.ZConnection, "GetNyomtatvanyInfoSQL");
    q.SetSql({"select *", "   from doc_fej", "   where kod = :kod"});
    q.ParamByName("kod").SetAsInteger(kod);
    q.Open();
    Info.kod = IntField(q, "kod");
    Info.nev = TextField(q, "nev");
    Info.azonosito = TextField(q, "azonosito");
    Info.Fejlec_kapcsolodik = IntField(q, "Fejlec_kapcsolodik");
    Info.Fejlec = IntField(q, "Fejlec");
    Info.Alapertelmezett = IntField(q, "Alapertelmezett");
    Info.Hasznalatban = IntField(q, "Hasznalatban");
    Info.megnevezes = NyomtatvanyMegnevezes(Info.nev, TextField(q, "leiras"), Info.azonosito);
}

void IssuerBlocks::EgyediZQueryBeforeOpen(db::DataSet& /*DataSet*/) {
    // The individual units follow the current line of the module's line query.
    EgyediZQuery.ParamByName("kod").SetValue(
        dm_.Raktar_mozgasZQuery.Active() && !dm_.Raktar_mozgasZQuery.IsEmpty()
            ? dm_.Raktar_mozgasZQuery.FieldByName("kod").AsValue()
            : db::Value(0));
}

}  // namespace dorvan
