#pragma once
// The data module: the face the rest of the program calls (`DM->GetSQLResult(...)`). It is a
// composition: each concern is an area class of its own (datamodule/<concern>/), built on
// the shared DmContext and created here in the order of the members below. The module
// keeps every service name as a one-line forwarder, and the query components other code
// reaches by name as references into their areas. An area's query components register
// themselves when the area is built, so the members' order is the order of the bulk
// opening at start-up.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datamodule/common_types.h"
#include "datamodule/core/connect_failure.h"
#include "datamodule/core/connections.h"
#include "datamodule/core/record_stamp.h"
#include "datamodule/core/sql_services.h"
#include "datamodule/core/startup.h"
#include "datamodule/dm_context.h"
#include "datamodule/documents/closing_clauses.h"
#include "datamodule/documents/delivery_invoicing.h"
#include "datamodule/documents/doc_headers.h"
#include "datamodule/documents/issuer_blocks.h"
#include "datamodule/documents/numbering.h"
#include "datamodule/documents/partner_journal.h"
#include "datamodule/documents/projects.h"
#include "datamodule/documents/reversal.h"
#include "datamodule/masters/lookups.h"
#include "datamodule/masters/master_data.h"
#include "datamodule/module_query.h"
#include "datamodule/money/cash_desk.h"
#include "datamodule/money/pricing.h"
#include "datamodule/money/rates.h"
#include "datamodule/money/unit_prices.h"
#include "datamodule/stock/stock.h"
#include "datamodule/system/event_log.h"
#include "datamodule/system/layouts_rights.h"
#include "datamodule/system/maintenance.h"
#include "datamodule/system/presence.h"
#include "datamodule/system/setup.h"
#include "datamodule/system/startup_checks.h"
#include "datamodule/system/update_scripts.h"
#include "datamodule/texts/item_names.h"
#include "datamodule/texts/lang_texts.h"
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

    // --- Connections (datamodule/core/connections.h) ---
    Connections connections_{*this};
    void ConnectLocal(const db::ConnectionParams& params) { connections_.ConnectLocal(params); }
    void DisconnectAll() { connections_.DisconnectAll(); }
    void ReopenLostConnections() { connections_.ReopenLost(); }
    bool ConnectionLost() { return connections_.AnyLost(); }
    std::string ConnectionLostDuringCommand(const std::string& reason) {
        return connections_.LostDuringCommand(reason);
    }

    // --- SQL services (datamodule/core/sql_services.h) ---
    SqlServices sql_{*this};
    std::string GetSQLResult(const std::string& sql) { return sql_.GetSQLResult(sql); }
    std::string GetSQLResult(const std::string& sql, db::Connection& connection) {
        return sql_.GetSQLResult(sql, connection);
    }
    std::string GetSQLResult(const std::string& sql, const db::ParamValues& params) {
        return sql_.GetSQLResult(sql, params);
    }
    std::string GetSQLResult(const std::string& sql, const db::ParamValues& params,
                             db::Connection& connection) {
        return sql_.GetSQLResult(sql, params, connection);
    }
    std::unique_ptr<db::Query> GetSQLResultTable(const std::string& sql) {
        return sql_.GetSQLResultTable(sql);
    }
    std::unique_ptr<db::Query> GetSQLResultTable(const std::string& sql,
                                                 const db::ParamValues& params) {
        return sql_.GetSQLResultTable(sql, params);
    }
    bool ExecSQL(const std::string& sql) { return sql_.ExecSQL(sql); }
    bool ExecSQL(const std::string& sql, const db::ParamValues& params) {
        return sql_.ExecSQL(sql, params);
    }
    bool ExecSQLList(const std::vector<std::string>& list) { return sql_.ExecSQLList(list); }
    bool ExecSQLList(const std::vector<std::string>& list, db::Connection& connection) {
        return sql_.ExecSQLList(list, connection);
    }
    TServerDateTime GetDateTime() { return sql_.GetDateTime(); }
    TDateTime GetDate() { return sql_.GetDate(); }
    void AutoDisableReqField(db::DataSet& dataSet) { SqlServices::AutoDisableReqField(dataSet); }

    // --- Record stamp (datamodule/core/record_stamp.h) ---
    RecordStamp recordStamp_{*this};
    void StoreUserData(db::DataSet& dataSet) { recordStamp_.StoreUserData(dataSet); }

    // --- Multi-language texts (datamodule/texts/lang_texts.h) ---
    LangTexts langTexts_{*this};
    ModuleQuery& Lang_textZQuery = langTexts_.Lang_textZQuery;
    ModuleQuery& GetBizonylat_nyelvZQuery = langTexts_.GetBizonylat_nyelvZQuery;
    db::MemTable& Lang_textMemory = langTexts_.Lang_textMemory;
    void GetLangText(const std::string& FormName, const std::string& Key,
                     const std::string& Default, std::string& Text) {
        langTexts_.GetLangText(FormName, Key, Default, Text);
    }
    std::string GetLangText(const std::string& FormName, const std::string& Key,
                            const std::string& Default) {
        return langTexts_.GetLangText(FormName, Key, Default);
    }
    void GetLangAll(const std::string& FormName, const std::string& Key, const std::string& Type,
                    std::string& Text) {
        langTexts_.GetLangAll(FormName, Key, Type, Text);
    }
    void GetLangAll_Local(const std::string& FormName, const std::string& Key,
                          const std::string& Type, std::string& Text) {
        langTexts_.GetLangAll_Local(FormName, Key, Type, Text);
    }
    void GetLangObject(const std::string& FormName, const TLangControl& Component,
                       std::string& Text) {
        langTexts_.GetLangObject(FormName, Component, Text);
    }
    void GetLangSubObject(const std::string& FormName, const TLangControl& Control, int Index,
                          std::string& Text) {
        langTexts_.GetLangSubObject(FormName, Control, Index, Text);
    }
    void Get_Lang_Text_To_Local_MemDatabase() { langTexts_.Get_Lang_Text_To_Local_MemDatabase(); }
    void GetLangKeyInfo(const std::string& KeyCode, TLangKeyInfo& Info) {
        langTexts_.GetLangKeyInfo(KeyCode, Info);
    }
    void GetBizonylat_nyelvInfo(int OrderValue, const std::string& ColumnName, std::string& Text) {
        langTexts_.GetBizonylat_nyelvInfo(OrderValue, ColumnName, Text);
    }
    std::string UserLang() const { return langTexts_.UserLang(); }
    std::string ConfigLangText_Provided(const std::string& FormName, const std::string& Key,
                                        const std::string& Default) {
        return langTexts_.ConfigLangText_Provided(FormName, Key, Default);
    }

    // --- Settings and owner record (datamodule/system/setup.h) ---
    Setup setup_{*this};
    ModuleQuery& TulajdonosZQuery = setup_.TulajdonosZQuery;
    ModuleQuery& _setup_mainSQL = setup_._setup_mainSQL;
    ModuleQuery& _setupSQL = setup_._setupSQL;
    void SetSetup(const std::string& UserID) { setup_.SetSetup(UserID); }
    bool SignIn(const std::string& UserID) { return setup_.SignIn(UserID); }
    void _setup_mainSQLAfterOpen(db::DataSet& DataSet) { setup_._setup_mainSQLAfterOpen(DataSet); }

    // --- Start-up (datamodule/core/startup.h) ---
    Startup startup_{*this};
    ModuleQuery& TesztZQuery = startup_.TesztZQuery;
    ModuleQuery& Raktar_mozgas_fejZQuery = startup_.Raktar_mozgas_fejZQuery;
    ConnectRetryPolicy& ConnectRetry = startup_.ConnectRetry;
    std::function<void()>& OnClearUserCache = startup_.OnClearUserCache;
    std::function<void()>& OnQueryingUpdateScript = startup_.OnQueryingUpdateScript;
    std::function<void()>& OnStartupChecks = startup_.OnStartupChecks;
    void DataModuleCreate() { startup_.DataModuleCreate(); }

    // --- Issuer blocks, users, printed forms (datamodule/documents/issuer_blocks.h) ---
    IssuerBlocks issuerBlocks_{*this};
    ModuleQuery& EgyediZQuery = issuerBlocks_.EgyediZQuery;
    TUserCache& UserCache = issuerBlocks_.UserCache;
    void GetKiallito(int BizonylatKod, int Prev, TKiallito& Kiallito) {
        issuerBlocks_.GetKiallito(BizonylatKod, Prev, Kiallito);
    }
    std::vector<std::string> GetKiallitoStringList(int BizonylatKod, int Prev) {
        return issuerBlocks_.GetKiallitoStringList(BizonylatKod, Prev);
    }
    std::vector<std::string> GetVevoStringList(const db::DataSet& DataSet) {
        return issuerBlocks_.GetVevoStringList(DataSet);
    }
    void GetUserInfo(const std::string& UserID, TUserInfo& Info) {
        issuerBlocks_.GetUserInfo(UserID, Info);
    }
    void GetNyomtatvanyInfo(int kod, TNyomtatvanyInfo& Info) {
        issuerBlocks_.GetNyomtatvanyInfo(kod, Info);
    }
    void EgyediZQueryBeforeOpen(db::DataSet& DataSet) {
        issuerBlocks_.EgyediZQueryBeforeOpen(DataSet);
    }
    db::Query& OwnerRecord() { return issuerBlocks_.OwnerRecord(); }

    // --- Reference lookups (datamodule/masters/lookups.h) ---
    Lookups lookups_{*this};
    ModuleQuery& GetAfaInfoZQuery = lookups_.GetAfaInfoZQuery;
    ModuleQuery& GetFizmodInfoZQuery = lookups_.GetFizmodInfoZQuery;
    ModuleQuery& GetMennyisegiEgysegInfoZQuery = lookups_.GetMennyisegiEgysegInfoZQuery;
    ModuleQuery& GetFajtaNevZQuery = lookups_.GetFajtaNevZQuery;
    ModuleQuery& GetIso_StatuszInfoZQuery = lookups_.GetIso_StatuszInfoZQuery;
    ModuleQuery& GetPenzeszkozInfoZQuery = lookups_.GetPenzeszkozInfoZQuery;
    ModuleQuery& GetDevizaInfoZQuery = lookups_.GetDevizaInfoZQuery;
    ModuleQuery& GetKedvezmenyInfoZQuery = lookups_.GetKedvezmenyInfoZQuery;
    ModuleQuery& GetUzletkotoInfoZQuery = lookups_.GetUzletkotoInfoZQuery;
    ModuleQuery& GetPartnerCsoportZQuery = lookups_.GetPartnerCsoportZQuery;
    ModuleQuery& GetGyartasSQL = lookups_.GetGyartasSQL;
    void GetAFAInfo(int kod, const std::string& LangCode, TAFAInfo& Info) {
        lookups_.GetAFAInfo(kod, LangCode, Info);
    }
    void GetFizmodInfo(int kod, const std::string& LangCode, TFizmodInfo& Info) {
        lookups_.GetFizmodInfo(kod, LangCode, Info);
    }
    void GetMennyisegiEgysegInfo(int kod, const std::string& LangCode,
                                 TMennyisegiEgysegInfo& Info) {
        lookups_.GetMennyisegiEgysegInfo(kod, LangCode, Info);
    }
    void GetFajtaNev(int kod, std::string& Text) { lookups_.GetFajtaNev(kod, Text); }
    int GetFajtakod(const std::string& Nev) { return lookups_.GetFajtakod(Nev); }
    void GetIso_StatuszInfo(int kod, TIso_StatuszInfo& Info) {
        lookups_.GetIso_StatuszInfo(kod, Info);
    }
    void GetPenzeszkozInfo(int kod, TPenzeszkozInfo& Info) {
        lookups_.GetPenzeszkozInfo(kod, Info);
    }
    void GetDevizaInfo(const std::string& Nev, TDevizaInfo& Info) {
        lookups_.GetDevizaInfo(Nev, Info);
    }
    void GetKedvezmenyInfo(int kod, TKedvezmenyInfo& Info) {
        lookups_.GetKedvezmenyInfo(kod, Info);
    }
    void GetUzletkotoInfo(int kod, TUzletkotoInfo& Info) { lookups_.GetUzletkotoInfo(kod, Info); }
    void GetPartnerCsoportInfo(int kod, std::string& Text) {
        lookups_.GetPartnerCsoportInfo(kod, Text);
    }
    void GetMunkatarsInfo(int kod, TMunkatarsInfo& Info) { lookups_.GetMunkatarsInfo(kod, Info); }
    void GetProjektStatuszInfo(int kod, TProjektStatuszInfo& Info) {
        lookups_.GetProjektStatuszInfo(kod, Info);
    }
    void GetEmailListaInfo(int kod, TEmailListaInfo& Info) {
        lookups_.GetEmailListaInfo(kod, Info);
    }
    void GetProjektInfo(int kod, TProjektInfo& Info) { lookups_.GetProjektInfo(kod, Info); }
    int GetISOEngedely(int PartnerKod) { return lookups_.GetISOEngedely(PartnerKod); }
    int GetAlapertelmezettAfa() { return lookups_.GetAlapertelmezettAfa(); }
    int GetAlapertelmezettFizetesmod() { return lookups_.GetAlapertelmezettFizetesmod(); }
    int GetKpFizmodKod() { return lookups_.GetKpFizmodKod(); }
    void GetDefaultMennyisegiEgyseg(TMennyisegiEgysegInfo& Info) {
        lookups_.GetDefaultMennyisegiEgyseg(Info);
    }
    int GetDefaultISO_statusz() { return lookups_.GetDefaultISO_statusz(); }
    int GetAlapertelmezettPenzeszkoz(int Tipus, const std::string& DevizaNev) {
        return lookups_.GetAlapertelmezettPenzeszkoz(Tipus, DevizaNev);
    }
    int GetMunkatarsCount() { return lookups_.GetMunkatarsCount(); }
    int Get0AFAKulcs() { return lookups_.Get0AFAKulcs(); }
    int GetEUsMentesAFAKulcs() { return lookups_.GetEUsMentesAFAKulcs(); }
    int GetForditottAdosMentesAFAKulcs() { return lookups_.GetForditottAdosMentesAFAKulcs(); }
    int GetGyartas(int Kesztermek) { return lookups_.GetGyartas(Kesztermek); }

    // --- Printed item names (datamodule/texts/item_names.h) ---
    ItemNames itemNames_{*this};
    std::string GetBizonylatNev(const db::DataSet& DataSet, const std::string& Suffix) {
        return itemNames_.GetBizonylatNev(DataSet, Suffix);
    }

    // --- Document headers and links (datamodule/documents/doc_headers.h) ---
    DocHeaders docHeaders_{*this};
    ModuleQuery& Raktar_mozgasZQuery = docHeaders_.Raktar_mozgasZQuery;
    ModuleQuery& bizonylatszovegZQuery = docHeaders_.bizonylatszovegZQuery;
    void GetRaktar_mozgas_fejInfo(int kod, TRaktar_mozgas_fejInfo& Info) {
        docHeaders_.GetRaktar_mozgas_fejInfo(kod, Info);
    }
    int GetFejKod(const std::string& Bizonylatszam, int Bizonylat_fajta) {
        return docHeaders_.GetFejKod(Bizonylatszam, Bizonylat_fajta);
    }
    void GetRkmozgBiz(const std::string& Bizonylatszam, int Bizonylat_fajta, std::string& Text) {
        docHeaders_.GetRkmozgBiz(Bizonylatszam, Bizonylat_fajta, Text);
    }
    void GetFobizonylat(int kod, std::string& Text) { docHeaders_.GetFobizonylat(kod, Text); }
    bool SetCelbizonylat(int kod, int Cel_kod, int Cel_fajta, const std::string& Cel_szam) {
        return docHeaders_.SetCelbizonylat(kod, Cel_kod, Cel_fajta, Cel_szam);
    }
    void GetLastBizKelt(TBizKelt& Kelt) { docHeaders_.GetLastBizKelt(Kelt); }
    TDateTime GetLastFobizBizKelt(int Bizonylat_fajta) {
        return docHeaders_.GetLastFobizBizKelt(Bizonylat_fajta);
    }
    int GetPartner_kp_forgalom(int Partner_kod, int Year, int Month) {
        return docHeaders_.GetPartner_kp_forgalom(Partner_kod, Year, Month);
    }
    bool ErasePrev(int kod) { return docHeaders_.ErasePrev(kod); }
    void Delete_kapcsolt_mozgasnem(int kod) { docHeaders_.Delete_kapcsolt_mozgasnem(kod); }
    void Raktar_mozgasZQueryAfterScroll(db::DataSet& DataSet) {
        docHeaders_.Raktar_mozgasZQueryAfterScroll(DataSet);
    }
    void bizonylatszovegZQueryBeforeOpen(db::DataSet& DataSet) {
        docHeaders_.bizonylatszovegZQueryBeforeOpen(DataSet);
    }

    // --- Partner and item master data (datamodule/masters/master_data.h) ---
    MasterData masterData_{*this};
    ModuleQuery& GetMozgasnemInfoZQuery = masterData_.GetMozgasnemInfoZQuery;
    ModuleQuery& GetRaktarInfoZQuery = masterData_.GetRaktarInfoZQuery;
    void GetPartnerInfo(int kod, int Szamlazasi_cim_kod, int Posta_cim_kod, TPartnerInfo& Info) {
        masterData_.GetPartnerInfo(kod, Szamlazasi_cim_kod, Posta_cim_kod, Info);
    }
    int GetPartnerNevDb(const std::string& Nev, int kod) {
        return masterData_.GetPartnerNevDb(Nev, kod);
    }
    void GetPartner_Tartozas(int kod, bool Flag, TDateTime Datum, TPartnerTartozas& Tartozas) {
        masterData_.GetPartner_Tartozas(kod, Flag, Datum, Tartozas);
    }
    void GetTetelInfo(int kod, const std::string& LangCode, TTetelInfo& Info) {
        masterData_.GetTetelInfo(kod, LangCode, Info);
    }
    void GetTetelInfo_via_vonalkod(const std::string& Vonalkod, TTetelInfo& Info) {
        masterData_.GetTetelInfo_via_vonalkod(Vonalkod, Info);
    }
    void GetMozgasnemInfo(int kod, TMozgasnemInfo& Info) {
        masterData_.GetMozgasnemInfo(kod, Info);
    }
    void GetRaktarInfo(int kod, TRaktarInfo& Info) { masterData_.GetRaktarInfo(kod, Info); }

    // --- Closing clauses and line texts (datamodule/documents/closing_clauses.h) ---
    ClosingClauses closingClauses_{*this};
    void Raktar_mozgas_fejZaradekCalcFields(db::DataSet& Fej, db::DataSet& Tetel) {
        closingClauses_.Raktar_mozgas_fejZaradekCalcFields(Fej, Tetel);
    }
    std::string GetMasodik_sor(db::DataSet& Tetel, int Prev, const std::string& Suffix) {
        return closingClauses_.GetMasodik_sor(Tetel, Prev, Suffix);
    }
    std::string GetEgyediMegjegyzes(int SorKod, int Prev) {
        return closingClauses_.GetEgyediMegjegyzes(SorKod, Prev);
    }

    // --- Event log (datamodule/system/event_log.h) ---
    EventLog eventLog_{*this};
    void AddLogItem(const std::string& Muvelet, const std::string& Leiras) {
        eventLog_.AddLogItem(Muvelet, Leiras);
    }
    bool FindLogItem(const std::string& Muvelet, const std::string& Leiras) {
        return eventLog_.FindLogItem(Muvelet, Leiras);
    }
    void DeleteError(db::DataSet* Sender, const std::exception& E, TDataAction& Action) {
        eventLog_.DeleteError(Sender, E, Action);
    }

    // --- Client presence (datamodule/system/presence.h) ---
    ClientPresence presence_{*this};
    void SendIPSign(bool Start, std::string& Message) { presence_.SendIPSign(Start, Message); }
    bool RingingUser(const std::string& Ip, const std::string& Host, const std::string& LocalIp,
                     const std::string& Message) {
        return presence_.RingingUser(Ip, Host, LocalIp, Message);
    }
    bool RingingAllUser(const std::string& Message) { return presence_.RingingAllUser(Message); }
    std::vector<std::string> GetAktivKliens(bool LeaveOutThis) {
        return presence_.GetAktivKliens(LeaveOutThis);
    }
    // Server time of this run's last presence signal; 0 until one was sent.
    TDateTime LastSignTime() const { return presence_.LastSignTime(); }

    // --- Update scripts (datamodule/system/update_scripts.h) ---
    UpdateScripts updateScripts_{*this};
    void SetNewScriptLogOK() { updateScripts_.SetNewScriptLogOK(); }
    bool ScriptLogExists() const { return updateScripts_.ScriptLogExists; }
    int FindScriptlogItem(const std::string& Script) {
        return updateScripts_.FindScriptlogItem(Script);
    }
    void AddScriptLogItem(const std::string& Script, int Statusz) {
        updateScripts_.AddScriptLogItem(Script, Statusz);
    }
    void StartUpdateScript(const std::string& Path, bool Log) {
        updateScripts_.StartUpdateScript(Path, Log);
    }
    void QueryingUpdateScript() { updateScripts_.QueryingUpdateScript(); }
    // One line naming the active users when the update step declined to run; "" otherwise.
    const std::string& UpdateScriptRefusal() const { return updateScripts_.Refusal(); }

    // --- Stock and average cost (datamodule/stock/stock.h) ---
    StockFigures stock_{*this};
    double GetKeszlet(int TetelKod, int RaktarKod) {
        return stock_.GetKeszlet(TetelKod, RaktarKod);
    }
    double Get_Keszlet(int TetelKod, int RaktarKod, TDateTime Datum) {
        return stock_.Get_Keszlet(TetelKod, RaktarKod, Datum);
    }
    void GetTetelEgyediKeszlet(const std::string& Azonosito, int TetelKod, int RaktarKod,
                               TEgyediKeszlet& Keszlet) {
        stock_.GetTetelEgyediKeszlet(Azonosito, TetelKod, RaktarKod, Keszlet);
    }
    void GetTetelEgyediOsszesKeszlet(int TetelKod, TEgyediKeszlet& Keszlet) {
        stock_.GetTetelEgyediOsszesKeszlet(TetelKod, Keszlet);
    }
    double GetUtolsoAtlagar(int TetelKod, int RaktarKod) {
        return stock_.GetUtolsoAtlagar(TetelKod, RaktarKod);
    }

    // --- Exchange rates (datamodule/money/rates.h) ---
    Rates rates_{*this};
    double GetArfolyam(const std::string& DevizaNev, bool Silent, TDateTime Datum) {
        return rates_.GetArfolyam(DevizaNev, Silent, Datum);
    }
    double lib_convertCurrency(const std::string& Forras, const std::string& Cel, double Osszeg,
                               TDateTime Datum) {
        return rates_.lib_convertCurrency(Forras, Cel, Osszeg, Datum);
    }
    void ConvertEgysegar(const std::string& CelDeviza, const TEgysegar& Source, TDateTime Datum,
                         TEgysegar& Target) {
        rates_.ConvertEgysegar(CelDeviza, Source, Datum, Target);
    }
    void DevizaCheckAndRebuild() { rates_.DevizaCheckAndRebuild(); }

    // --- Price determination (datamodule/money/pricing.h) ---
    Pricing pricing_{*this};
    void GetPartnerEgysegar(int TetelKod, int PartnerKod, int FizetesmodKod, int ProjektKod,
                            bool Silent, TDateTime Datum, const std::string& DevizaNev,
                            TEgysegar& Egysegar) {
        pricing_.GetPartnerEgysegar(TetelKod, PartnerKod, FizetesmodKod, ProjektKod, Silent, Datum,
                                    DevizaNev, Egysegar);
    }
    void GetTetelEgysegar(int TetelKod, int EgysegarKod, TEgysegar& Egysegar) {
        pricing_.GetTetelEgysegar(TetelKod, EgysegarKod, Egysegar);
    }
    int GetAlapertelmezettEgysegar(const std::string& DevizaNev) {
        return pricing_.GetAlapertelmezettEgysegar(DevizaNev);
    }
    int GetEgysegarKod(const std::string& Nev) { return pricing_.GetEgysegarKod(Nev); }
    void GetPartnerArajanlatAr(int PartnerKod, int TetelKod, TDateTime Datum, TEgysegar& Egysegar) {
        pricing_.GetPartnerArajanlatAr(PartnerKod, TetelKod, Datum, Egysegar);
    }
    double GetPartnerKedvezmeny(int PartnerKod, int FizetesmodKod) {
        return pricing_.GetPartnerKedvezmeny(PartnerKod, FizetesmodKod);
    }
    double GetPartnerNettoForgalom(int PartnerKod) {
        return pricing_.GetPartnerNettoForgalom(PartnerKod);
    }
    double Kiskerar(int TetelKod, TDateTime Datum) { return pricing_.Kiskerar(TetelKod, Datum); }

    // --- Start-up checks (datamodule/system/startup_checks.h) ---
    // Run by the start-up through OnStartupChecks.
    StartupChecks startupChecks_{*this};
    void FajtaTeszt() { startupChecks_.FajtaTeszt(); }
    int CreateLocalClient() { return startupChecks_.CreateLocalClient(); }

    // --- Projects, partner journal, unit prices, layouts and rights, maintenance
    // (datamodule/documents/projects.h, datamodule/documents/partner_journal.h,
    //  datamodule/money/unit_prices.h, datamodule/system/layouts_rights.h,
    //  datamodule/system/maintenance.h) ---
    Projects projects_{*this};
    PartnerJournal partnerJournal_{*this};
    UnitPrices unitPrices_{*this};
    LayoutsRights layoutsRights_{*this};
    Maintenance maintenance_{*this};
    void GetProjektForgalomInfo(int Kod, const std::string& Mode, TProjektForgalomInfo& Info) {
        projects_.GetProjektForgalomInfo(Kod, Mode, Info);
    }
    void GetMaxMinProjektDatum(int Kod, TProjektDatum& Datum) {
        projects_.GetMaxMinProjektDatum(Kod, Datum);
    }
    bool SetProjectKod(int FejKod, int ProjektKod) {
        return projects_.SetProjectKod(FejKod, ProjektKod);
    }
    void GetNevViaKod(const std::string& Table, int Kod, std::string& Text) {
        projects_.GetNevViaKod(Table, Kod, Text);
    }
    void GetProjekt_utemezesNev(int Kod, std::string& Text) {
        projects_.GetProjekt_utemezesNev(Kod, Text);
    }
    void GetProjekt_besorolasNev(int Kod, std::string& Text) {
        projects_.GetProjekt_besorolasNev(Kod, Text);
    }
    void GetProjekt_statuszNev(int Kod, std::string& Text) {
        projects_.GetProjekt_statuszNev(Kod, Text);
    }
    int AddNew_Esemeny(int PartnerKod, const std::string& Megjegyzes, const std::string& Leiras,
                       TDateTime Datum, const std::string& FileName,
                       const std::string& DokumentumTipus) {
        return partnerJournal_.AddNew_Esemeny(PartnerKod, Megjegyzes, Leiras, Datum, FileName,
                                              DokumentumTipus);
    }
    void GetEsemenyInfo(int Kod, TEsemenyInfo& Info) { partnerJournal_.GetEsemenyInfo(Kod, Info); }
    void GetEsemenyNev(int Kod, std::string& Text) { partnerJournal_.GetEsemenyNev(Kod, Text); }
    void DeleteCimke(int Kod) { partnerJournal_.DeleteCimke(Kod); }
    int RefreshEgysegAr(int TetelKod, int Mode) {
        return unitPrices_.RefreshEgysegAr(TetelKod, Mode);
    }
    int SetTetelUtolsoBeszerzesiAr(int TetelKod, double Ar, TDateTime Datum) {
        return unitPrices_.SetTetelUtolsoBeszerzesiAr(TetelKod, Ar, Datum);
    }
    int SetNewEgysegar(int TetelKod, int EgysegarKod, double Netto, double Brutto) {
        return unitPrices_.SetNewEgysegar(TetelKod, EgysegarKod, Netto, Brutto);
    }
    void GetEgysegarInfo(int Kod, TEgysegarInfo& Info) { unitPrices_.GetEgysegarInfo(Kod, Info); }
    void GetGrid(const std::string& UserID, const std::string& FormName,
                 const std::string& ColumnName, TGridInfo& Info) {
        layoutsRights_.GetGrid(UserID, FormName, ColumnName, Info);
    }
    void SetGrid(const std::string& UserID, const std::string& FormName,
                 const std::string& ColumnName, int Index, int Width, int Visible) {
        layoutsRights_.SetGrid(UserID, FormName, ColumnName, Index, Width, Visible);
    }
    void GetReport(const std::string& UserID, int ReportNumber, TReportInfo& Info) {
        layoutsRights_.GetReport(UserID, ReportNumber, Info);
    }
    int SetReport(const std::string& UserID, const std::string& ReportName, int Oriental, int Page,
                  int MarginLeft, int MarginRight, int MarginTop, int MarginBottom, int EmptyCol) {
        return layoutsRights_.SetReport(UserID, ReportName, Oriental, Page, MarginLeft, MarginRight,
                                        MarginTop, MarginBottom, EmptyCol);
    }
    void GetReportItem(int ReportKod, int FieldId, TReportItemInfo& Info) {
        layoutsRights_.GetReportItem(ReportKod, FieldId, Info);
    }
    void SetReportItem(int ReportKod, int FieldId, int FieldNo, int FieldCheck, int SizeMin,
                       int SizeMax) {
        layoutsRights_.SetReportItem(ReportKod, FieldId, FieldNo, FieldCheck, SizeMin, SizeMax);
    }
    void ClearAllReportItem(int ReportKod) { layoutsRights_.ClearAllReportItem(ReportKod); }
    int GetMenuVisible(const std::string& UserID, const std::string& MenuItem) {
        return layoutsRights_.GetMenuVisible(UserID, MenuItem);
    }
    int GetButtonCount(const std::string& UserID) { return layoutsRights_.GetButtonCount(UserID); }
    bool SetUserPassword(const std::string& UserID, const std::string& Password) {
        return layoutsRights_.SetUserPassword(UserID, Password);
    }
    void ChangeFields(std::string& Text, int PartnerKod) {
        layoutsRights_.ChangeFields(Text, PartnerKod);
    }
    void Reset_RxMemoryData() { layoutsRights_.Reset_RxMemoryData(); }
    void StopDataSource(const db::DataSet& DataSet, bool Enabled) {
        layoutsRights_.StopDataSource(DataSet, Enabled);
    }
    bool LocalShareIsTrue() const { return layoutsRights_.LocalShareIsTrue(); }
    void SetDataRecLimit(db::Query& Query, std::string& ControlText, bool Off, int Page) {
        layoutsRights_.SetDataRecLimit(Query, ControlText, Off, Page);
    }
    std::vector<TSequenceMove> SetValSequences() { return maintenance_.SetValSequences(); }
    std::string GetMaxKey(const std::string& Table, const std::string& Column, std::string& Text) {
        return maintenance_.GetMaxKey(Table, Column, Text);
    }
    bool EmptyAllTables() { return maintenance_.EmptyAllTables(); }
    void EmptyTable(const std::string& Table) { maintenance_.EmptyTable(Table); }
    std::vector<std::string> GetCountryList_from_database() {
        return maintenance_.GetCountryList_from_database();
    }
    std::string GetIszam(const std::string& Telepules, std::string& Iszam) {
        return maintenance_.GetIszam(Telepules, Iszam);
    }
    std::string GetTelepules(const std::string& Iszam, std::string& Telepules) {
        return maintenance_.GetTelepules(Iszam, Telepules);
    }
    double VariableEvaluation(const std::string& Nev, int TetelKod) {
        return maintenance_.VariableEvaluation(Nev, TetelKod);
    }
    double FormulaEvaluation(const std::string& Formula, int TetelKod) {
        return maintenance_.FormulaEvaluation(Formula, TetelKod);
    }

    // --- Documents: numbering, delivery-note invoicing, cash desk, reversal
    // (datamodule/documents/numbering.h, delivery_invoicing.h, reversal.h,
    // datamodule/money/cash_desk.h) ---
    DeliveryInvoicing deliveryInvoicing_{*this};
    Numbering numbering_{*this};
    CashDesk cashDesk_{*this};
    Reversal reversal_{*this};
    std::string AddNewBizszam(int Bizonylat_fajta, bool YearFirst, TDateTime Datum, bool Fill) {
        return numbering_.AddNewBizszam(Bizonylat_fajta, YearFirst, Datum, Fill);
    }
    std::string GetBetujel(int Bizonylat_fajta) { return numbering_.GetBetujel(Bizonylat_fajta); }
    void NextCodeGen(db::Query& Query, const std::string& Column, const std::string& DateColumn,
                     const std::string& Filter, const db::ParamValues& Params = {}) {
        numbering_.NextCodeGen(Query, Column, DateColumn, Filter, Params);
    }
    int GetRaktarBizonylatFajta(int kod, int TableSwitch) {
        return numbering_.GetRaktarBizonylatFajta(kod, TableSwitch);
    }
    void GetValtozoErtek(const std::string& Nev, int TetelKod, TEgysegar& Egysegar) {
        numbering_.GetValtozoErtek(Nev, TetelKod, Egysegar);
    }
    bool SzallitoSzamlazas(int kod, bool Kivul, double Mennyiseg) {
        return deliveryInvoicing_.SzallitoSzamlazas(kod, Kivul, Mennyiseg);
    }
    bool SzallitoEgyedSzamlazas(int kod, bool Kivul, double Mennyiseg) {
        return deliveryInvoicing_.SzallitoEgyedSzamlazas(kod, Kivul, Mennyiseg);
    }
    bool SzallitoEgyedSzamlazas_str(int Rm_kod, int Egyedi_kod, bool Kivul, double Mennyiseg) {
        return deliveryInvoicing_.SzallitoEgyedSzamlazas_str(Rm_kod, Egyedi_kod, Kivul, Mennyiseg);
    }
    std::vector<std::string> GetSzamlaNev(int kod) { return deliveryInvoicing_.GetSzamlaNev(kod); }
    void GetSzallitoSzamokText(std::string& Text) {
        deliveryInvoicing_.GetSzallitoSzamokText(Text);
    }
    void GetSzallitoi_szamlakInfo(int kod, TSzallitoi_szamlakInfo& Info) {
        deliveryInvoicing_.GetSzallitoi_szamlakInfo(kod, Info);
    }
    void GetSzamlazottIdoszak(int Szerzodes_kod, TSzamlazottIdoszak& Idoszak) {
        deliveryInvoicing_.GetSzamlazottIdoszak(Szerzodes_kod, Idoszak);
    }
    std::string AddNew_PenzeszkozValt(int Partner_kod, const std::string& Bizonylatszam,
                                      TDateTime Datum, int Forras, int Cel, double Osszeg,
                                      const std::string& Megjegyzes,
                                      const std::string& Fokonyviszam, int Fej_kod,
                                      int Szallitoi_szamla_kod, int Irany,
                                      const std::string& Penztar_bizonylat) {
        return cashDesk_.AddNew_PenzeszkozValt(Partner_kod, Bizonylatszam, Datum, Forras, Cel,
                                               Osszeg, Megjegyzes, Fokonyviszam, Fej_kod,
                                               Szallitoi_szamla_kod, Irany, Penztar_bizonylat);
    }
    std::string PenzeszkozSztorno(const std::string& Penztar_bizonylat, int Irany,
                                  TDateTime Datum) {
        return cashDesk_.PenzeszkozSztorno(Penztar_bizonylat, Irany, Datum);
    }
    TDateTime GetLastPenztBizKelt(int Irany) { return cashDesk_.GetLastPenztBizKelt(Irany); }
    int BizonylatSztorno(int kod, bool Stop, bool UseTransaction, bool KeepTime) {
        return reversal_.BizonylatSztorno(kod, Stop, UseTransaction, KeepTime);
    }
    // The server time of the last presence signal (dates reversals); 0: none in this run.
    void SetLastSignTime(TDateTime Time) { reversal_.SetLastSignTime(Time); }
};

}  // namespace dorvan
