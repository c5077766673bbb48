#pragma once
// The data module: the face the rest of the program calls (`DM->GetSQLResult(...)`).
// Its services are defined in files grouped by concern (sql_services.cpp,
// record_stamp.cpp, ...), all working on the shared DmContext.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datamodule/common_types.h"
#include "datamodule/connect_failure.h"
#include "datamodule/dm_context.h"
#include "datamodule/doc_headers.h"
#include "datamodule/documents/delivery_invoicing.h"
#include "datamodule/documents/numbering.h"
#include "datamodule/documents/reversal.h"
#include "datamodule/issuer_blocks.h"
#include "datamodule/item_names.h"
#include "datamodule/lang_texts.h"
#include "datamodule/lookups.h"
#include "datamodule/master_data.h"
#include "datamodule/module_query.h"
#include "datamodule/money/cash_desk.h"
#include "datamodule/money/pricing.h"
#include "datamodule/money/rates.h"
#include "datamodule/stock/stock.h"
#include "datamodule/system/event_log.h"
#include "datamodule/system/presence.h"
#include "datamodule/system/startup_checks.h"
#include "datamodule/system/update_scripts.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/mem_table.h"
#include "db/param.h"
#include "db/query.h"

namespace dorvan {

class TDM : public DmContext {
  public:
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // Gives ZConnection, ZConnection_nonAutoCommit and ZConnection_behind the same
    // parameters and connects them in that order.
    void ConnectLocal(const db::ConnectionParams& params);
    void DisconnectAll();

    // --- SQL services (sql_services.cpp) ---
    // First row's values joined by "," (a value is preceded by "," only when the text
    // so far is not empty); "" without rows. Finished statements run unchanged.
    std::string GetSQLResult(const std::string& sql);
    std::string GetSQLResult(const std::string& sql, db::Connection& connection);
    // The same with ":name" parameters bound.
    std::string GetSQLResult(const std::string& sql, const db::ParamValues& params);
    std::string GetSQLResult(const std::string& sql, const db::ParamValues& params,
                             db::Connection& connection);
    // An open query on ZConnection; the caller owns it. The statement-only form sends
    // its text as written (parameter check off); switch SetParamCheck(true) on before
    // giving it ":name" parameters.
    std::unique_ptr<db::Query> GetSQLResultTable(const std::string& sql);
    std::unique_ptr<db::Query> GetSQLResultTable(const std::string& sql,
                                                 const db::ParamValues& params);
    // Return true; errors raise.
    bool ExecSQL(const std::string& sql);
    bool ExecSQL(const std::string& sql, const db::ParamValues& params);
    // All lines as one script (statements separated by ";").
    bool ExecSQLList(const std::vector<std::string>& list);
    bool ExecSQLList(const std::vector<std::string>& list, db::Connection& connection);
    // The server's local clock, read in a transaction of ZConnection_nonAutoCommit;
    // whole seconds.
    TServerDateTime GetDateTime();
    TDateTime GetDate();
    // Clears the required flag of every field of the dataset.
    void AutoDisableReqField(db::DataSet& dataSet);

    // --- Record stamp (record_stamp.cpp) ---
    // Writes the user and server-time columns of the row about to be posted.
    void StoreUserData(db::DataSet& dataSet);

    // --- Settings and owner record (settings.cpp) ---
    // The owner record, the global settings row and the signed-in user's settings row.
    // Each stays open once opened; readers use their fields by column name.
    ModuleQuery TulajdonosZQuery{*this, "TulajdonosZQuery", {"select *", " from tulajdonos"}};
    ModuleQuery _setup_mainSQL{
        *this, "_setup_mainSQL", {"SELECT *", "  from _setup_main"}, 0, [this](db::DataSet& d) {
            _setup_mainSQLAfterOpen(d);
        }};
    ModuleQuery _setupSQL{
        *this, "_setupSQL", {"SELECT *", "  from _setup", "  where userid = :userID"}, -1};
    // Loads the settings row of a user, creating it with the defaults of a new user.
    void SetSetup(const std::string& UserID);
    // Completes the global settings row with its defaults (one post when anything changed).
    void _setup_mainSQLAfterOpen(db::DataSet& DataSet);

    // --- Multi-language texts (lang_texts.cpp) ---
    ModuleQuery Lang_textZQuery{
        *this,
        "Lang_textZQuery",
        {"select *", "  from lang_text", "  where Lang_FormName = :FormName",
         "    and Lang_Object = :Object", "    and Lang_Object_Type = :Type"}};
    ModuleQuery GetBizonylat_nyelvZQuery{
        *this, "GetBizonylat_nyelvZQuery", {"select *", "  from bizonylat_nyelv"}, -1};
    // In-memory copy of `lang_text` (texts cut to 200 characters); closed until filled.
    db::MemTable Lang_textMemory{"Lang_textMemory"};
    // The text of (FormName, Key) in the user's language; `Default` (the Hungarian text)
    // for Hungarian users and for keys without a stored text. Creates the row of a key never
    // seen before. An empty `Default` leaves `Text` unchanged.
    void GetLangText(const std::string& FormName, const std::string& Key,
                     const std::string& Default, std::string& Text);
    std::string GetLangText(const std::string& FormName, const std::string& Key,
                            const std::string& Default);
    // The stored text in the user's language, or "" (from the memory copy while it is open).
    void GetLangAll(const std::string& FormName, const std::string& Key, const std::string& Type,
                    std::string& Text);
    // The same in the memory copy; `Text` unchanged when no row matches.
    void GetLangAll_Local(const std::string& FormName, const std::string& Key,
                          const std::string& Type, std::string& Text);
    // Translated caption of a control; "!! ismeretlen típus !!" for a kind without one.
    void GetLangObject(const std::string& FormName, const TLangControl& Component,
                       std::string& Text);
    // Translated title of grid column / text of radio-group item `Index`.
    void GetLangSubObject(const std::string& FormName, const TLangControl& Control, int Index,
                          std::string& Text);
    // Fills the memory copy from the whole table, or closes it when it holds rows.
    void Get_Lang_Text_To_Local_MemDatabase();
    void GetLangKeyInfo(const std::string& KeyCode, TLangKeyInfo& Info);
    void GetBizonylat_nyelvInfo(int OrderValue, const std::string& ColumnName, std::string& Text);
    // The signed-in user's language (`lang` of the settings row; "" without one).
    std::string UserLang() const;

    // --- Reference lookups (lookups.cpp) ---
    // Cached code tables: read once when first used, then searched in memory; close one to
    // read it again.
    ModuleQuery GetAfaInfoZQuery{*this, "GetAfaInfoZQuery", {"select *", "   from afa_kulcs"}, -1};
    ModuleQuery GetFizmodInfoZQuery{
        *this, "GetFizmodInfoZQuery", {"SELECT *", "   from fizetesmod"}, -1};
    ModuleQuery GetMennyisegiEgysegInfoZQuery{
        *this, "GetMennyisegiEgysegInfoZQuery", {"select *", "   from mennyisegi_egyseg"}, -1};
    ModuleQuery GetFajtaNevZQuery{
        *this, "GetFajtaNevZQuery", {"select *", "   from tetel_fajtak"}, -1};
    ModuleQuery GetIso_StatuszInfoZQuery{
        *this, "GetIso_StatuszInfoZQuery", {"SELECT *", "   from iso_statusz"}, -1};
    ModuleQuery GetPenzeszkozInfoZQuery{
        *this, "GetPenzeszkozInfoZQuery", {"SELECT *", "   from penzeszkoz_nevek"}, -1};
    ModuleQuery GetDevizaInfoZQuery{
        *this, "GetDevizaInfoZQuery", {"SELECT *", "   from deviza"}, -1};
    ModuleQuery GetKedvezmenyInfoZQuery{
        *this, "GetKedvezmenyInfoZQuery", {"SELECT *", "   from kedvezmeny"}, -1};
    ModuleQuery GetUzletkotoInfoZQuery{
        *this, "GetUzletkotoInfoZQuery", {"SELECT *", "   from uzletkoto"}, -1};
    ModuleQuery GetPartnerCsoportZQuery{
        *this, "GetPartnerCsoportZQuery", {"SELECT *", "   from partner_csoport"}, -1};
    // Components of a finished product, largest quantity first (GetGyartas).
    ModuleQuery GetGyartasSQL{
        *this,
        "GetGyartasSQL",
        {"select kesztermek, beepulo, mennyiseg, osszeg,",
         "    tetel.Lang_0000040E as nev, tetel.AFA_kulcs,",
         "    afa_kulcs.Lang_0000040E as afakulcs", "  from gyartas, tetel, afa_kulcs",
         "  where kesztermek = :kesztermek", "   and gyartas.beepulo = tetel.kod",
         "   and tetel.AFA_kulcs = afa_kulcs.kod", "  order by mennyiseg DESC"},
        -1};
    // Language codes: "0" or "" mean Hungarian. Not found: see each record's comment in
    // lookups.h; a lookup never fails on a missing key.
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

    // Installs GetLangText as the configuration layer's text provider while the module lives.
    ScopedLangTextProvider LangTextProviderSlot{
        [this](const std::string& form, const std::string& key, const std::string& def) {
            return ConfigLangText_Provided(form, key, def);
        }};
    std::string ConfigLangText_Provided(const std::string& FormName, const std::string& Key,
                                        const std::string& Default);

    // --- Printed item names (item_names.cpp) ---
    // The printed name of the item on the current row of `DataSet`, by the name layout of the
    // global settings with `Suffix` ("" default, "3" invoice; see ComposeBizonylatNev). A
    // suffix without a layout column raises db::FieldNotFound.
    std::string GetBizonylatNev(const db::DataSet& DataSet, const std::string& Suffix);

    // --- Document headers and links (doc_headers.cpp) ---
    // Document lines of a header (`biz`) and the print texts of the current line; moving
    // in the lines reopens the texts.
    ModuleQuery Raktar_mozgasZQuery{*this,
                                    "Raktar_mozgasZQuery",
                                    {"select *", "  from Raktar_mozgas", "  where fej_kod = :biz"},
                                    -1};
    ModuleQuery bizonylatszovegZQuery{
        *this,
        "bizonylatszovegZQuery",
        {"select *", "  from bizonylatszoveg", "  where sor_kod = :sor_kod"},
        -1};
    // A header with the partner name of its print text row; kod 0 when either is missing.
    void GetRaktar_mozgas_fejInfo(int kod, TRaktar_mozgas_fejInfo& Info);
    // Key of the first header (lowest key) with this number and kind; -1 when none.
    int GetFejKod(const std::string& Bizonylatszam, int Bizonylat_fajta);
    // `raktar_mozgas_bizonylat` of that header; "" when none.
    void GetRkmozgBiz(const std::string& Bizonylatszam, int Bizonylat_fajta, std::string& Text);
    // `bizonylatszam` of a header; "" when none.
    void GetFobizonylat(int kod, std::string& Text);
    // Records the target document of a header; false when the statement failed.
    bool SetCelbizonylat(int kod, int Cel_kod, int Cel_fajta, const std::string& Cel_szam);
    // Recording date and time of the newest header (headers without a date do not count).
    void GetLastBizKelt(TBizKelt& Kelt);
    // Latest `kelte` of a kind; 0 when none.
    TDateTime GetLastFobizBizKelt(int Bizonylat_fajta);
    // Gross cash purchases of a partner in a month (receipts, invoices, purchase tickets,
    // advance invoices; reversals count negative), whole; 0 when none.
    int GetPartner_kp_forgalom(int Partner_kod, int Year, int Month);
    // Erases the snapshot copy of a document in one transaction (a savepoint inside the
    // caller's transaction): all of it or, on an error, none of it (false).
    bool ErasePrev(int kod);
    // Deletes the movement type whose linked type is `kod` (the first one by key).
    void Delete_kapcsolt_mozgasnem(int kod);
    // Handlers: the line texts follow the current line.
    void Raktar_mozgasZQueryAfterScroll(db::DataSet& DataSet);
    void bizonylatszovegZQueryBeforeOpen(db::DataSet& DataSet);

    // --- Partner and item master data (master_data.cpp) ---
    // Cached tables: read once when first used, then searched in memory; close one to read
    // it again.
    ModuleQuery GetMozgasnemInfoZQuery{
        *this, "GetMozgasnemInfoZQuery", {"SELECT *", "   from mozgasnem"}, -1};
    ModuleQuery GetRaktarInfoZQuery{
        *this, "GetRaktarInfoZQuery", {"SELECT *", "   from raktar_nevek"}, -1};
    // A partner with its billing and postal address (address-book keys, 0 = none); kod -1
    // (nothing else changed) when the partner does not exist.
    void GetPartnerInfo(int kod, int Szamlazasi_cim_kod, int Posta_cim_kod, TPartnerInfo& Info);
    // Number of other partners (not `kod`) with this name, letter case ignored.
    int GetPartnerNevDb(const std::string& Nev, int kod);
    // The partner's debt from `getpartner_tartozas`; key 0 gives zeros without a query.
    void GetPartner_Tartozas(int kod, bool Flag, TDateTime Datum, TPartnerTartozas& Tartozas);
    // An item in a language ("0" or "" Hungarian); a missing item gives kod 0 and empty
    // fields. A language code that is not eight hexadecimal digits throws
    // std::invalid_argument.
    void GetTetelInfo(int kod, const std::string& LangCode, TTetelInfo& Info);
    // The item of a barcode; kod 0 and a message when none or several match.
    void GetTetelInfo_via_vonalkod(const std::string& Vonalkod, TTetelInfo& Info);
    // Cached; only nev emptied when not found.
    void GetMozgasnemInfo(int kod, TMozgasnemInfo& Info);
    void GetRaktarInfo(int kod, TRaktarInfo& Info);

    // --- Start-up (startup.cpp) ---
    // The start-up sequence: configuration files, network addresses, the main connection
    // (bounded attempts, then the user is asked whether to go on; giving up raises
    // ConnectGiveUp with a one-line reason), the companion connections, the update scripts,
    // the program version at the central information service, the bulk opening of the
    // module's queries, the start-up checks. Exceptions end the sequence at their step; a
    // step that ends the program calls UiPort::RequestTerminate.
    void DataModuleCreate();
    ConnectRetryPolicy ConnectRetry;
    // Steps of other service groups, run at their place in the sequence when set.
    std::function<void()> OnClearUserCache;        // empties the user cache of GetUserInfo
    std::function<void()> OnQueryingUpdateScript;  // applies pending update scripts
    std::function<void()> OnStartupChecks;  // currency check, category self test, owner partner

    // The connection test of the start-up: all columns of the owner table.
    ModuleQuery TesztZQuery{*this, "TesztZQuery", {"select *", " from tulajdonos"}};
    // A document header by key; empty until `biz` is given.
    ModuleQuery Raktar_mozgas_fejZQuery{
        *this,
        "Raktar_mozgas_fejZQuery",
        {"select *", "  from raktar_mozgas_fej", "  where kod = :biz"}};

    // --- Issuer and customer blocks, users, printed forms (issuer_blocks.cpp) ---
    // The individual units of the current line of Raktar_mozgasZQuery.
    ModuleQuery EgyediZQuery{
        *this,
        "EgyediZQuery",
        {"SELECT raktar_mozgas_egyedi.kod, raktar_mozgas_egyedi.rm_kod,",
         "       tetel_egyedi.egyedi_azonosito,",
         "       raktar_mozgas_egyedi.mennyiseg, raktar_mozgas_egyedi.mennyiseg_szamlazva",
         "   FROM raktar_mozgas_egyedi, tetel_egyedi",
         "   WHERE raktar_mozgas_egyedi.egyedi_azonosito_kod = tetel_egyedi.kod",
         "     and raktar_mozgas_egyedi.rm_kod = :kod"}};
    // Users read by GetUserInfo (at most 100, the least recently used gives way).
    TUserCache UserCache;
    // The issuer of a document (Prev 1: its "_prev_" copy): the owner, or the partner company
    // whose warehouse the goods leave, with the bank account of the document's money
    // account. A missing row leaves the fields read from it empty or 0.
    void GetKiallito(int BizonylatKod, int Prev, TKiallito& Kiallito);
    // The issuer block of a document by the owner's `kiallito_sorok` template.
    std::vector<std::string> GetKiallitoStringList(int BizonylatKod, int Prev);
    // The customer block by the owner's `vevo_sorok` template, from the current row of a
    // dataset with the "partner_..." columns of `bizonylatszoveg_fej`.
    std::vector<std::string> GetVevoStringList(const db::DataSet& DataSet);
    // A user by user id (exact match), from the cache or the database; `userid` stays empty
    // when there is no such user.
    void GetUserInfo(const std::string& UserID, TUserInfo& Info);
    // A printed form by key; kod 0 (nothing else changed) for key 0.
    void GetNyomtatvanyInfo(int kod, TNyomtatvanyInfo& Info);
    // Handler of EgyediZQuery: binds it to the current line of Raktar_mozgasZQuery.
    void EgyediZQueryBeforeOpen(db::DataSet& DataSet);
    // The owner record (TulajdonosZQuery), opened when it is closed.
    db::Query& OwnerRecord();

    // --- Closing clauses and line texts (closing_clauses.cpp) ---
    // Fills the header's `zaradek` and, when the header has them, `zaradek_langtext` and
    // `projekt_zaradek` (`projekt_zaradek_langtext`): the lines' own clauses, the document's
    // clause, the currency statement, the amount in words, the payment clause, the project
    // line; the second-language texts in the partner's `masodik_nyelv`. Clauses are
    // separated by "\r". Opens the lines when closed and leaves them after the last row.
    void Raktar_mozgas_fejZaradekCalcFields(db::DataSet& Fej, db::DataSet& Tetel);
    // Printed text of the current line: the item name (GetBizonylatNev with `Suffix`), the
    // trimmed note, a space, the individual units (`egyed_info` when the dataset has it,
    // else GetEgyediMegjegyzes).
    std::string GetMasodik_sor(db::DataSet& Tetel, int Prev, const std::string& Suffix);
    // "[id, id (2), ...]" of the individual units of a line (Prev 1: the "_prev_" copy);
    // "" when it has none.
    std::string GetEgyediMegjegyzes(int SorKod, int Prev);

    // --- Documents: numbering, delivery-note invoicing, cash desk, reversal
    // (datamodule/documents/numbering.h, delivery_invoicing.h, reversal.h,
    // datamodule/money/cash_desk.h) ---
    DeliveryInvoicing DeliveryNoteInvoicing{*this};
    Numbering DocumentNumbering{*this};
    CashDesk CashDeskPostings{*this};
    Reversal DocumentReversal{*this};
    std::string AddNewBizszam(int Bizonylat_fajta, bool YearFirst, TDateTime Datum, bool Fill) {
        return DocumentNumbering.AddNewBizszam(Bizonylat_fajta, YearFirst, Datum, Fill);
    }
    std::string GetBetujel(int Bizonylat_fajta) {
        return DocumentNumbering.GetBetujel(Bizonylat_fajta);
    }
    void NextCodeGen(db::Query& Query, const std::string& Column, const std::string& DateColumn,
                     const std::string& Filter, const db::ParamValues& Params = {}) {
        DocumentNumbering.NextCodeGen(Query, Column, DateColumn, Filter, Params);
    }
    int GetRaktarBizonylatFajta(int kod, int TableSwitch) {
        return DocumentNumbering.GetRaktarBizonylatFajta(kod, TableSwitch);
    }
    void GetValtozoErtek(const std::string& Nev, int TetelKod, TEgysegar& Egysegar) {
        DocumentNumbering.GetValtozoErtek(Nev, TetelKod, Egysegar);
    }
    bool SzallitoSzamlazas(int kod, bool Kivul, double Mennyiseg) {
        return DeliveryNoteInvoicing.SzallitoSzamlazas(kod, Kivul, Mennyiseg);
    }
    bool SzallitoEgyedSzamlazas(int kod, bool Kivul, double Mennyiseg) {
        return DeliveryNoteInvoicing.SzallitoEgyedSzamlazas(kod, Kivul, Mennyiseg);
    }
    bool SzallitoEgyedSzamlazas_str(int Rm_kod, int Egyedi_kod, bool Kivul, double Mennyiseg) {
        return DeliveryNoteInvoicing.SzallitoEgyedSzamlazas_str(Rm_kod, Egyedi_kod, Kivul,
                                                                Mennyiseg);
    }
    std::vector<std::string> GetSzamlaNev(int kod) {
        return DeliveryNoteInvoicing.GetSzamlaNev(kod);
    }
    void GetSzallitoSzamokText(std::string& Text) {
        DeliveryNoteInvoicing.GetSzallitoSzamokText(Text);
    }
    void GetSzallitoi_szamlakInfo(int kod, TSzallitoi_szamlakInfo& Info) {
        DeliveryNoteInvoicing.GetSzallitoi_szamlakInfo(kod, Info);
    }
    void GetSzamlazottIdoszak(int Szerzodes_kod, TSzamlazottIdoszak& Idoszak) {
        DeliveryNoteInvoicing.GetSzamlazottIdoszak(Szerzodes_kod, Idoszak);
    }
    std::string AddNew_PenzeszkozValt(int Partner_kod, const std::string& Bizonylatszam,
                                      TDateTime Datum, int Forras, int Cel, double Osszeg,
                                      const std::string& Megjegyzes,
                                      const std::string& Fokonyviszam, int Fej_kod,
                                      int Szallitoi_szamla_kod, int Irany,
                                      const std::string& Penztar_bizonylat) {
        return CashDeskPostings.AddNew_PenzeszkozValt(
            Partner_kod, Bizonylatszam, Datum, Forras, Cel, Osszeg, Megjegyzes, Fokonyviszam,
            Fej_kod, Szallitoi_szamla_kod, Irany, Penztar_bizonylat);
    }
    std::string PenzeszkozSztorno(const std::string& Penztar_bizonylat, int Irany,
                                  TDateTime Datum) {
        return CashDeskPostings.PenzeszkozSztorno(Penztar_bizonylat, Irany, Datum);
    }
    TDateTime GetLastPenztBizKelt(int Irany) { return CashDeskPostings.GetLastPenztBizKelt(Irany); }
    int BizonylatSztorno(int kod, bool Stop, bool UseTransaction, bool KeepTime) {
        return DocumentReversal.BizonylatSztorno(kod, Stop, UseTransaction, KeepTime);
    }
    // The server time of the last presence signal (dates reversals); 0: none in this run.
    void SetLastSignTime(TDateTime Time) { DocumentReversal.SetLastSignTime(Time); }
    // --- Exchange rates (datamodule/money/rates.h) ---
    Rates Rates_{*this};
    double GetArfolyam(const std::string& DevizaNev, bool Silent, TDateTime Datum) {
        return Rates_.GetArfolyam(DevizaNev, Silent, Datum);
    }
    double lib_convertCurrency(const std::string& Forras, const std::string& Cel, double Osszeg,
                               TDateTime Datum) {
        return Rates_.lib_convertCurrency(Forras, Cel, Osszeg, Datum);
    }
    void ConvertEgysegar(const std::string& CelDeviza, const TEgysegar& Source, TDateTime Datum,
                         TEgysegar& Target) {
        Rates_.ConvertEgysegar(CelDeviza, Source, Datum, Target);
    }
    void DevizaCheckAndRebuild() { Rates_.DevizaCheckAndRebuild(); }

    // --- Price determination (datamodule/money/pricing.h) ---
    Pricing Pricing_{*this};
    void GetPartnerEgysegar(int TetelKod, int PartnerKod, int FizetesmodKod, int ProjektKod,
                            bool Silent, TDateTime Datum, const std::string& DevizaNev,
                            TEgysegar& Egysegar) {
        Pricing_.GetPartnerEgysegar(TetelKod, PartnerKod, FizetesmodKod, ProjektKod, Silent, Datum,
                                    DevizaNev, Egysegar);
    }
    void GetTetelEgysegar(int TetelKod, int EgysegarKod, TEgysegar& Egysegar) {
        Pricing_.GetTetelEgysegar(TetelKod, EgysegarKod, Egysegar);
    }
    int GetAlapertelmezettEgysegar(const std::string& DevizaNev) {
        return Pricing_.GetAlapertelmezettEgysegar(DevizaNev);
    }
    int GetEgysegarKod(const std::string& Nev) { return Pricing_.GetEgysegarKod(Nev); }
    void GetPartnerArajanlatAr(int PartnerKod, int TetelKod, TDateTime Datum, TEgysegar& Egysegar) {
        Pricing_.GetPartnerArajanlatAr(PartnerKod, TetelKod, Datum, Egysegar);
    }
    double GetPartnerKedvezmeny(int PartnerKod, int FizetesmodKod) {
        return Pricing_.GetPartnerKedvezmeny(PartnerKod, FizetesmodKod);
    }
    double GetPartnerNettoForgalom(int PartnerKod) {
        return Pricing_.GetPartnerNettoForgalom(PartnerKod);
    }
    double Kiskerar(int TetelKod, TDateTime Datum) { return Pricing_.Kiskerar(TetelKod, Datum); }

    // --- Start-up checks (datamodule/system/startup_checks.h) ---
    // Run by the start-up through OnStartupChecks.
    StartupChecks StartupChecks_{*this};
    void FajtaTeszt() { StartupChecks_.FajtaTeszt(); }
    int CreateLocalClient() { return StartupChecks_.CreateLocalClient(); }
    // --- Event log (datamodule/system/event_log.h) ---
    EventLog EventLogArea{*this};
    void AddLogItem(const std::string& Muvelet, const std::string& Leiras) {
        EventLogArea.AddLogItem(Muvelet, Leiras);
    }
    bool FindLogItem(const std::string& Muvelet, const std::string& Leiras) {
        return EventLogArea.FindLogItem(Muvelet, Leiras);
    }
    void DeleteError(db::DataSet* Sender, const std::exception& E, TDataAction& Action) {
        EventLogArea.DeleteError(Sender, E, Action);
    }

    // --- Client presence (datamodule/system/presence.h) ---
    ClientPresence PresenceArea{*this};
    void SendIPSign(bool Start, std::string& Message) { PresenceArea.SendIPSign(Start, Message); }
    bool RingingUser(const std::string& Ip, const std::string& Host, const std::string& LocalIp,
                     const std::string& Message) {
        return PresenceArea.RingingUser(Ip, Host, LocalIp, Message);
    }
    bool RingingAllUser(const std::string& Message) { return PresenceArea.RingingAllUser(Message); }
    std::vector<std::string> GetAktivKliens(bool LeaveOutThis) {
        return PresenceArea.GetAktivKliens(LeaveOutThis);
    }
    // Server time of this run's last presence signal; 0 until one was sent.
    TDateTime LastSignTime() const { return PresenceArea.LastSignTime(); }

    // --- Update scripts (datamodule/system/update_scripts.h) ---
    UpdateScripts UpdateScriptsArea{*this};
    void SetNewScriptLogOK() { UpdateScriptsArea.SetNewScriptLogOK(); }
    bool ScriptLogExists() const { return UpdateScriptsArea.ScriptLogExists; }
    int FindScriptlogItem(const std::string& Script) {
        return UpdateScriptsArea.FindScriptlogItem(Script);
    }
    void AddScriptLogItem(const std::string& Script, int Statusz) {
        UpdateScriptsArea.AddScriptLogItem(Script, Statusz);
    }
    void StartUpdateScript(const std::string& Path, bool Log) {
        UpdateScriptsArea.StartUpdateScript(Path, Log);
    }
    void QueryingUpdateScript() { UpdateScriptsArea.QueryingUpdateScript(); }
    // One line naming the active users when the update step declined to run; "" otherwise.
    const std::string& UpdateScriptRefusal() const { return UpdateScriptsArea.Refusal(); }

    // --- Stock and average cost (datamodule/stock/stock.h) ---
    StockFigures StockArea{*this};
    double GetKeszlet(int TetelKod, int RaktarKod) {
        return StockArea.GetKeszlet(TetelKod, RaktarKod);
    }
    double Get_Keszlet(int TetelKod, int RaktarKod, TDateTime Datum) {
        return StockArea.Get_Keszlet(TetelKod, RaktarKod, Datum);
    }
    void GetTetelEgyediKeszlet(const std::string& Azonosito, int TetelKod, int RaktarKod,
                               TEgyediKeszlet& Keszlet) {
        StockArea.GetTetelEgyediKeszlet(Azonosito, TetelKod, RaktarKod, Keszlet);
    }
    void GetTetelEgyediOsszesKeszlet(int TetelKod, TEgyediKeszlet& Keszlet) {
        StockArea.GetTetelEgyediOsszesKeszlet(TetelKod, Keszlet);
    }
    double GetUtolsoAtlagar(int TetelKod, int RaktarKod) {
        return StockArea.GetUtolsoAtlagar(TetelKod, RaktarKod);
    }

  private:
    db::ConnectionParams ConfiguredParams() const;
    void ConnectAttempt();
    void ConnectMain();
    void ConnectCompanions();
    void ReadCentralVersion();
};

}  // namespace dorvan
