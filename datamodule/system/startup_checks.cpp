#include "datamodule/system/startup_checks.h"

#include <string>

#include "config/main_table.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/support/key_lock.h"
#include "datamodule/support/service_support.h"
#include "db/retry.h"
#include "db/value.h"

namespace dorvan {

namespace {

constexpr const char* kUres = "< üres >";

}  // namespace

void StartupChecks::Run() {
    UiPort& ui = dm_.UserInterface();

    // 15. The forint: its currency row and a rate of 1 on or before 1 January 1900.
    ui.ProcessMessages();
    dm_.DevizaCheckAndRebuild();
    dm_.GetArfolyam("HUF", true, db::EncodeDate(1900, 1, 1));

    // 16. The category self test, then empty category columns refer to "< üres >".
    ui.IncProgress("Self test is runing.");
    FajtaTeszt();
    dm_.SQLList.clear();
    for (int n = 4; n <= 6; ++n) {
        const std::string k = std::to_string(n);
        dm_.SQLList.push_back("UPDATE partner_csoport_egysegarak SET fajta" + k +
                              " = (SELECT kod FROM tetel_fajtak WHERE fajta_kod = " + k +
                              " and ures = 1) WHERE fajta" + k + " IS null;");
    }
    for (int n = 1; n <= 6; ++n) {
        const std::string k = std::to_string(n);
        dm_.SQLList.push_back("UPDATE tetel SET fajta" + k +
                              " = (SELECT kod FROM tetel_fajtak WHERE fajta_kod = " + k +
                              " and ures = 1) WHERE fajta" + k + " IS null;");
    }
    dm_.ExecSQLList(dm_.SQLList);

    // 17. The owner's own partner row.
    CheckOwnerPartner();
}

void StartupChecks::FajtaTeszt() {
    TMainTable& mt = dm_.Settings();
    for (int n = 1; n <= 6; ++n) {
        const db::ParamValues params = {{"fajta_kod", n}, {"nev", kUres}};
        const std::vector<std::string> select = {
            "select kod, ures from tetel_fajtak",
            " where (fajta_kod = :fajta_kod) and (lang_0000040e = :nev)", " order by kod",
            " limit 1"};
        auto q = OpenQuery(dm_.ZConnection, "FajtaTesztSQL", select, params);
        dm_.AutoDisableReqField(*q);
        if (q->IsEmpty()) {
            // One row per category, also when another workstation creates it at this moment
            // (unique index tetel_fajtak_ures_key; without it, under the category's lock).
            if (dm_.HasUniqueKey("tetel_fajtak_ures_key")) {
                ExecQuery(dm_.ZConnection, "FajtaTesztInsertSQL",
                          {"insert into tetel_fajtak (fajta_kod, lang_0000040e)",
                           " values (:fajta_kod, :nev)",
                           " on conflict (fajta_kod) where lang_0000040e = '< üres >' do nothing"},
                          params);
            } else {
                UnderKeyLock(dm_.ZConnection, "tetel_fajtak", std::to_string(n), [&] {
                    ExecQuery(dm_.ZConnection, "FajtaTesztInsertSQL",
                              {"insert into tetel_fajtak (fajta_kod, lang_0000040e)",
                               " select cast(:fajta_kod as integer), cast(:nev as varchar)",
                               " where not exists (select 1 from tetel_fajtak",
                               "  where fajta_kod = :fajta_kod and lang_0000040e = :nev)"},
                              params);
                });
            }
            q = OpenQuery(dm_.ZConnection, "FajtaTesztSQL", select, params);
        }
        if (q->IsEmpty())
            continue;
        const int kod = IntField(*q, "kod");
        mt.CategoryKeys[static_cast<std::size_t>(n)] = kod;
        if (IsNullField(*q, "ures") || IntField(*q, "ures") != 1) {
            ExecQuery(dm_.ZConnection, "FajtaTesztUresSQL",
                      {"update tetel_fajtak set ures = 1", " where kod = :kod"}, {{"kod", kod}});
        }
    }
}

int StartupChecks::CreateLocalClient() {
    db::Query& owner = dm_.OwnerRecord();
    const auto ownerText = [&owner](const char* column) {
        return owner.IsEmpty() ? std::string() : TextField(owner, column);
    };
    auto q = OpenQuery(dm_.ZConnection, "CreateLocalClientSQL",
                       {"insert into partner (nev, iszam, telepules, cim, orszag, hasznalatban,",
                        "   fizetesmod, partner_tipus, iso_engedely)",
                        " values (:nev, :iszam, :telepules, :cim, :orszag, 1, :fizetesmod, 3,",
                        "   :iso_engedely)", " returning kod"},
                       {{"nev", ownerText("nev1")},
                        {"iszam", ownerText("iszam")},
                        {"telepules", ownerText("telepules")},
                        {"cim", ownerText("utca")},
                        {"orszag", "Magyarország"},
                        {"fizetesmod", dm_.GetKpFizmodKod()},
                        {"iso_engedely", dm_.GetDefaultISO_statusz()}});
    return IntField(*q, "kod");
}

void StartupChecks::CheckOwnerPartner() {
    db::Query& owner = dm_.OwnerRecord();
    if (owner.FindField("partner_kod") == nullptr || owner.IsEmpty())
        return;
    const int ownerKod = IntField(owner, "kod");
    // The owner row stays locked from the test to the write, so a second workstation
    // starting now waits and then finds the partner this one created.
    const bool created = db::RunInTransaction(dm_.ZConnection, [&] {
        auto locked =
            OpenQuery(dm_.ZConnection, "TulajdonosLockSQL",
                      {"select partner_kod from tulajdonos", " where kod = :kod", " for update"},
                      {{"kod", ownerKod}});
        if (locked->IsEmpty())
            return false;
        const int partnerKod = IntField(*locked, "partner_kod");
        if (partnerKod != 0) {
            TPartnerInfo info;
            dm_.GetPartnerInfo(partnerKod, 0, 0, info);
            if (info.kod != -1)
                return false;
        }
        const int newKod = CreateLocalClient();
        ExecQuery(dm_.ZConnection, "TulajdonosPartnerSQL",
                  {"update tulajdonos set partner_kod = :partner_kod", " where kod = :kod"},
                  {{"partner_kod", newKod}, {"kod", ownerKod}});
        return true;
    });
    if (created)
        owner.Refresh();
}

}  // namespace dorvan
