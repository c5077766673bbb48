#pragma once
// Records of the partner and item master-data lookups of TDM (master_data.cpp) and the pure
// text routines they use. A lookup fills the record in place; fields it does not set keep
// the caller's values.

#include <string>
#include <string_view>
#include <vector>

#include "datamodule/common_types.h"
#include "datamodule/module_query.h"

namespace dorvan {

// An address of a partner: from its address book (`partner_cimtar`), or the partner's own
// address with `kod` 0.
struct TPartnerCim {
    int kod = 0;        // address-book key; 0 when the partner's own address is used
    int cim_tipus = 0;  // address type of the address book (1 and 3: postal)
    std::string nev;
    std::string iszam;
    std::string telepules;
    std::string cim;
    std::string orszag;
};
using TSzamlazasi_cim = TPartnerCim;
using TPosta_cim = TPartnerCim;

// Everything stored about one partner. `kod` is -1 when the partner does not exist.
struct TPartnerInfo {
    int kod = 0;
    std::string nev;
    int fizetesmod = 0;
    int fizetesi_hat_ido = 0;
    std::string iszam;
    std::string telepules;
    std::string cim;
    std::string orszag;
    std::string adoszam;
    std::string eng_szam;
    std::string ostermeloi_szam;
    int partner_tipus = 0;
    int gyujto = 0;
    int partner_csoport_kod = 0;
    TSzamlazasi_cim szamlazasi_cim;
    TPosta_cim posta_cim;
    // Postal address lines: name, town, street address, postal code, country.
    std::vector<std::string> posta_cim_sorok;
    int afa_mentes_forgalom = 0;
    std::string masodik_nyelv;  // empty when `lang_key` does not know the key
    std::string adoazonosito;
    std::string osterm_regszam;
    std::string csalgazd_nyilv_szam;
    std::string taj_szam;
    std::string szuletesi_hely;
    std::string szuletesi_nev;
    std::string anyja_neve;
    TDateTime szuletesi_datum = 0;
    std::string szoveges_kod;
    std::string telefon;  // the partner's own, else the first phone of its contacts
    std::string fax;
    std::string bankszamla;  // first bank account
    std::string email;       // first e-mail address of its contacts
    int kedvezmeny_megj_tiltasa = 0;
    int kvota_engedely = 0;
    std::string megjegyzes_biz;
    int magannyugdijp_tag = 0;
    std::string magannyugdijp;
    std::string figyelmezteto_uzenet;
    std::string agrar_kamarai_reg_szam;
    std::string ggn_szam;
    std::string cegjegyzekszam;
    std::string jellemzo_deviza_nev;
    std::string megjegyzes_figyelmeztetes;
};

// Everything stored about one item. `kod` is 0 when no item was found.
struct TTetelInfo {
    int kod = 0;
    std::string nev;
    std::string sor2;
    std::string sor3;
    std::string sor4;
    std::string bizonylat_nev;  // the name as documents print it (default layout)
    int akcios = 0;
    int fajta1 = 0;
    int fajta2 = 0;
    int fajta3 = 0;
    int fajta4 = 0;
    int fajta5 = 0;
    int fajta6 = 0;
    int tetel_tipus = 0;
    int mennyisegi_egyseg = 0;
    std::string mee_nev;
    int afa_kulcs = 0;
    double afa_kulcs_szaz = 0;
    std::string afa_leiras;
    double utolsobeszerzesiar = 0;
    std::string vonalkod;
    int tizedesjegy = 0;
    int forditottan_adozhat = 0;
    double haszonkulcs = 0;
    double minimum_haszonkulcs = 0;
    int egyedi = 0;
    int kompenzacio_mezogazd = 0;
    double kompenzacio_mezogazd_szaz = 0;
    std::string kompenzacio_mezogazd_leiras;
    int fobizonylaton_nem_latszik = 0;
    std::string tetel_azonosito_kod;
    std::string szoveges_kod;
    std::string kapcsolt_fokonyviszam;
    std::string zaradek;
};

// Movement type (a row of `mozgasnem`).
struct TMozgasnemInfo {
    std::string nev;  // empty when not found
    int cel_raktar = 0;
    int forras_raktar = 0;
    int sajat = 0;
    int tipus = 0;
    int sztorno = 0;
    int kapcsolt_mozgas = 0;  // the movement type a reversal of this type gets
    int hasznalatban = 0;
    int bizonylat_kapcsolat = 0;
};

// Warehouse (a row of `raktar_nevek`).
struct TRaktarInfo {
    std::string nev;         // empty when not found
    int partner_raktar = 0;  // 1 when a partner company owns the warehouse
    int partner_kod = 0;     // that partner; 0 for an own warehouse
    int raktar_tipus = 0;
};

// Outstanding debt of a partner as the server function `getpartner_tartozas` answers it;
// the values are carried by position.
struct TPartnerTartozas {
    int partner_kod = 0;
    TDateTime datum = 0;
    double ertek3 = 0;
    double ertek4 = 0;
    double ertek5 = 0;
    int ertek6 = 0;
};

// Messages of the barcode lookup.
inline constexpr const char* kVonalkodHibaCaption = "Vonalkód azonosítási hiba";
inline constexpr const char* kVonalkodTobbTetel =
    "Ezzel a vonalkóddal több tétel is azonosítható a törzsben!";
inline constexpr const char* kVonalkodIsmeretlen = "Ismeretlen vonalkód!";

// Field `field` (from 1) of `text` split at `delimiter` (empty: one blank). Text between
// single quotes is one field and keeps its delimiters; runs of delimiters count as one; a
// delimiter at the very start is copied; every single quote is removed from the result.
std::string lib_tokenStr(std::string_view text, int field, std::string_view delimiter);

// Date of a "YYYY-MM-DD" text: characters 1-4 year, 6-7 month, 9-10 day; a part that is
// not a number takes 2000 for the year and 1 for the month or the day. Out-of-range parts
// are brought into range (month 1..12, day 1..last day of the month).
TDateTime lib_isoStrToDate(std::string_view text);

// A when `choice` is true, else B.
inline int lib_choiceInt(bool choice, int a, int b) {
    return choice ? a : b;
}

// Reads the text form of the debt composite ("(12,2024-03-31,1500,0,250,2)"): parentheses
// removed, fields split at ","; numbers that do not convert read 0.
void ParsePartnerTartozas(std::string_view text, TPartnerTartozas& tartozas);

class TDM;

// Partner and item master data.
class MasterData {
  public:
    explicit MasterData(TDM& dm);

    // Cached tables: read once when first used, then searched in memory; close one to read
    // it again.
    ModuleQuery GetMozgasnemInfoZQuery;
    ModuleQuery GetRaktarInfoZQuery;
    // A partner with its billing and postal address (address-book keys, 0 = none); kod -1
    // (nothing else changed) when the partner does not exist.
    void GetPartnerInfo(int kod, int Szamlazasi_cim_kod, int Posta_cim_kod, TPartnerInfo& Info);
    // Number of other partners (not `kod`) with this name, letter case ignored.
    int GetPartnerNevDb(const std::string& Nev, int kod);
    // The partner's debt from `getpartner_tartozas`; key 0 gives zeros without a query.
    void GetPartner_Tartozas(int kod, bool szallitokkal, TDateTime Datum,
                             TPartnerTartozas& Tartozas);
    // An item in a language ("0" or "" Hungarian); a missing item gives kod 0 and empty
    // fields. A language code that is not eight hexadecimal digits throws
    // std::invalid_argument.
    void GetTetelInfo(int kod, const std::string& LangCode, TTetelInfo& Info);
    // The item of a barcode; kod 0 and a message when none or several match.
    void GetTetelInfo_via_vonalkod(const std::string& Vonalkod, TTetelInfo& Info);
    // Cached; only nev emptied when not found.
    void GetMozgasnemInfo(int kod, TMozgasnemInfo& Info);
    void GetRaktarInfo(int kod, TRaktarInfo& Info);

  private:
    TDM& dm_;
};

}  // namespace dorvan
