#pragma once
// Records of the reference lookups (VAT keys, payment methods, units, ISO statuses, money
// accounts, currencies, discounts, sales agents, employees, project statuses, e-mail lists,
// projects) and the pure parts of those lookups. The lookups themselves are methods of TDM
// (lookups.cpp). A lookup fills the record in place; fields it does not set keep the
// caller's values.

#include <string>

#include "datamodule/module_query.h"
#include "datamodule/support/service_support.h"
#include "db/date_time.h"

namespace dorvan {

using db::TDateTime;

// VAT key.
struct TAFAInfo {
    std::string nev;  // name in the requested language
    double afakulcs = 0;
    double netto_arany = 0;          // net share of a gross amount, in percent
    std::string reszosszeg_felirat;  // label of the VAT subtotal line
};

// Payment method.
struct TFizmodInfo {
    int kod = 0;
    std::string nev;  // name in the requested language
    int halasztott_fizetesu = 0;
    int hatarido = 0;  // payment term in days
    int postakoltseg = 0;
    std::string zaradek;  // closing clause in the requested language
    int keszpenzes = 0;
};

// Unit of measure.
struct TMennyisegiEgysegInfo {
    int kod = 0;
    std::string nev;
};

// ISO status of a supplier.
struct TIso_StatuszInfo {
    std::string nev;
    int engedely = 0;  // 1: approved status
};

// Money account: cash desk or bank account.
struct TPenzeszkozInfo {
    int kod = 0;
    std::string nev;
    std::string megjegyzes;
    int tipus = 0;
    std::string azonosito;
    int alapertelmezett = 0;
    int kapcsolt_telephely = 0;
    std::string bank_neve;
    std::string bank_szamlaszam;
    std::string bank_szamlaszam_iban;
    std::string bank_swift;
    std::string deviza_nev;
};

// Currency.
struct TDevizaInfo {
    std::string nev;  // currency code
    std::string megjegyzes;
    int bizonylat_vegosszeg_kerekites = 0;
};

// Discount.
struct TKedvezmenyInfo {
    int kod = 0;
    double kedvezmeny = 0;  // percent
    std::string nev;
    int kotott_fizetesmod = 0;
    int fizetesmod = 0;
    int netto_limit = 0;
};

// Sales agent.
struct TUzletkotoInfo {
    int kod = 0;
    std::string nev;
    std::string iranyitoszam;
    std::string telepules;
    std::string cim;
    std::string telefon;
    std::string megjegyzes;
};

// Employee (user of the product).
struct TMunkatarsInfo {
    int kod = 0;
    std::string userid;
    std::string pass;
    std::string nev;
    std::string adoazonosito;
    int superuser = 0;
    TDateTime szuletes_ideje = 0;
};

// Project status.
struct TProjektStatuszInfo {
    int kod = 0;
    std::string nev;
    int hasznalatban = 0;
    int projekt_zarva = 0;
};

// E-mail list.
struct TEmailListaInfo {
    int kod = 0;
    std::string nev;
    std::string linuxname;
};

// Project.
struct TProjektInfo {
    int kod = 0;
    std::string kod_str;  // the key zero-filled to 8 digits
    int besorolas = 0;
    int partner_kod = 0;
    std::string helyszin;
    std::string leiras;
    TDateTime rogzites = 0;
    TDateTime datum1 = 0;
    TDateTime datum2 = 0;
    int utemezes = 0;
    int utemezes2 = 0;  // receives `utemezes` as well
    int vegzi = 0;
    int ellenorzi = 0;
    std::string megjegyzes;
    int hasznalatban = 0;
    int statusz = 0;
    std::string bejelento;
    int forditott_adozas = 0;
};

// Column of a closing clause in a language: "zaradek_lang_" + the canonical code
// (LangColumn of the support header).
std::string ZaradekLangColumn(const std::string& langCode);

// Net share of a gross amount at VAT rate p, in percent: (1 - p / (p + 100)) * 100.
double AfaNettoArany(double afakulcs);
// Label of a VAT subtotal line: "<nev> (<p>%) részösszeg:", or "<nev> részösszeg:" at 0 %;
// the rate in its shortest form with the workstation's decimal separator.
std::string AfaReszosszegFelirat(const std::string& nev, double afakulcs);
// Fills the derived fields of a VAT record from `afakulcs`.
void ComputeAfaDerived(TAFAInfo& info);

class TDM;

// Reference lookups: the small code tables, the default rows and the VAT keys created when
// missing.
class Lookups {
  public:
    explicit Lookups(TDM& dm);

    // Cached code tables: read once when first used, then searched in memory; close one to
    // read it again.
    ModuleQuery GetAfaInfoZQuery;
    ModuleQuery GetFizmodInfoZQuery;
    ModuleQuery GetMennyisegiEgysegInfoZQuery;
    ModuleQuery GetFajtaNevZQuery;
    ModuleQuery GetIso_StatuszInfoZQuery;
    ModuleQuery GetPenzeszkozInfoZQuery;
    ModuleQuery GetDevizaInfoZQuery;
    ModuleQuery GetKedvezmenyInfoZQuery;
    ModuleQuery GetUzletkotoInfoZQuery;
    ModuleQuery GetPartnerCsoportZQuery;
    // Components of a finished product, largest quantity first (GetGyartas).
    ModuleQuery GetGyartasSQL;
    // Language codes: "0" or "" mean Hungarian. Not found: see each record's comment above;
    // a lookup never fails on a missing key.
    void GetAFAInfo(int kod, const std::string& LangCode, TAFAInfo& Info);        // nev ""
    void GetFizmodInfo(int kod, const std::string& LangCode, TFizmodInfo& Info);  // kod 0
    void GetMennyisegiEgysegInfo(int kod, const std::string& LangCode,
                                 TMennyisegiEgysegInfo& Info);      // nev ""
    void GetFajtaNev(int kod, std::string& Text);                   // ""
    int GetFajtakod(const std::string& Nev);                        // 0
    void GetIso_StatuszInfo(int kod, TIso_StatuszInfo& Info);       // nev ""
    void GetPenzeszkozInfo(int kod, TPenzeszkozInfo& Info);         // nev ""
    void GetDevizaInfo(const std::string& Nev, TDevizaInfo& Info);  // nev ""
    void GetKedvezmenyInfo(int kod, TKedvezmenyInfo& Info);         // nev ""
    void GetUzletkotoInfo(int kod, TUzletkotoInfo& Info);           // nev ""
    void GetPartnerCsoportInfo(int kod, std::string& Text);         // ""
    // Fresh reads; a missing row gives kod 0 and empty/zero fields.
    void GetMunkatarsInfo(int kod, TMunkatarsInfo& Info);
    void GetProjektStatuszInfo(int kod, TProjektStatuszInfo& Info);
    void GetEmailListaInfo(int kod, TEmailListaInfo& Info);
    void GetProjektInfo(int kod, TProjektInfo& Info);
    int GetISOEngedely(int PartnerKod);  // 0
    // Defaults and counts (0 when there is none).
    int GetAlapertelmezettAfa();
    int GetAlapertelmezettFizetesmod();
    int GetKpFizmodKod();
    void GetDefaultMennyisegiEgyseg(TMennyisegiEgysegInfo& Info);  // unchanged when none
    int GetDefaultISO_statusz();
    int GetAlapertelmezettPenzeszkoz(int Tipus, const std::string& DevizaNev);
    int GetMunkatarsCount();
    // Keys of the zero-rate, the EU-exempt and the reverse-charge VAT keys, each created
    // when missing (one row even when several clients ask at the same time).
    int Get0AFAKulcs();
    int GetEUsMentesAFAKulcs();
    int GetForditottAdosMentesAFAKulcs();
    // Reopens GetGyartasSQL for a finished product; the number of its components.
    int GetGyartas(int Kesztermek);

  private:
    TDM& dm_;
};

}  // namespace dorvan
