// The start-up sequence of the data module (DataModuleCreate) and its query components.

#include "datamodule/core/startup.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "config/config_error.h"
#include "config/ini_files.h"
#include "config/lib_strings.h"
#include "config/network.h"
#include "config/servers.h"
#include "config/ui_port.h"
#include "config/version.h"
#include "datamodule/core/query_action.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"
#include "datamodule/support/service_support.h"
#include "db/errors.h"

namespace dorvan {

namespace {

bool IsLocalHost(const std::string& host) {
    return AsciiLower(host) == "localhost";
}

std::string DialogCaption() {
    return std::string(kApplicationTitle) + " dialog";
}

// Waits `pause` while letting the window system paint.
void PauseResponsive(UiPort& ui, std::chrono::milliseconds pause) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + pause;
    while (Clock::now() < until) {
        ui.ProcessMessages();
        std::this_thread::sleep_for(
            std::min<Clock::duration>(std::chrono::milliseconds(50), until - Clock::now()));
    }
}

// Disconnects a connection when the scope ends, however it ends.
class DisconnectAtEnd {
  public:
    explicit DisconnectAtEnd(db::Connection& connection) : connection_(connection) {}
    ~DisconnectAtEnd() { connection_.Disconnect(); }
    DisconnectAtEnd(const DisconnectAtEnd&) = delete;
    DisconnectAtEnd& operator=(const DisconnectAtEnd&) = delete;

  private:
    db::Connection& connection_;
};

}  // namespace

Startup::Startup(TDM& dm)
    : TesztZQuery(dm, "TesztZQuery", {"select *", " from tulajdonos"}),
      Raktar_mozgas_fejZQuery(dm, "Raktar_mozgas_fejZQuery",
                              {"select *", "  from raktar_mozgas_fej", "  where kod = :biz"}),
      dm_(dm) {}

db::ConnectionParams Startup::ConfiguredParams() const {
    const TMainTable& mt = dm_.Settings();
    db::ConnectionParams params;
    params.database = mt.Database;
    params.host = mt.Host;
    params.protocol = mt.Protocol;
    params.user = mt.User;
    params.password = mt.Password;
    params.port = ConfiguredPort(mt.Port);
    return params;
}

void Startup::ConnectAttempt() {
    TMainTable& mt = dm_.Settings();
    if (mt.Protocol != "postgresql-8" && mt.Protocol != "postgresql-7" &&
        mt.Protocol != "postgresql") {
        mt.Protocol = "postgresql-8";
    }
    dm_.ZConnection.Disconnect();
    dm_.ZConnection.SetParams(ConfiguredParams());
    dm_.ZConnection.Connect();
    WriteIniFiles();
    TesztZQuery.Close();
    TesztZQuery.Open();
    TesztZQuery.Close();
}

void Startup::ReadConfiguration() {
    ReadIniFiles();
    configuredPort_ = dm_.Settings().Port;  // before the local-server rule replaces it
}

void Startup::ApplyServerRules() {
    TMainTable& mt = dm_.Settings();
    if (IsLocalHost(mt.Host)) {
        mt.CurrentIP = "localhost";
        mt.InternetOK = false;
    } else {
        mt.CurrentIP = GetExternalIP();
    }
    if (IsLocalHost(mt.Host)) {
        mt.CurrentIP = "localhost";
        mt.InternetOK = false;
        mt.Host = "localhost";
        mt.Port = "5432";
    }
}

std::string Startup::DescribeFailure(ConnectFailureReason reason, const std::string& detail) const {
    const TMainTable& mt = dm_.Settings();
    if (reason == ConnectFailureReason::NoSettings) {
        return DescribeMissingSettings(ExecutableFolder() + kMainIniName);
    }
    std::string line = DescribeConnectFailure(reason, mt.Host, mt.Port, mt.Database, detail);
    if (IsLocalHost(mt.Host)) {
        line += LocalHostPortNote(configuredPort_);
    }
    return line;
}

void Startup::ConnectMain() {
    UiPort& ui = dm_.UserInterface();
    for (;;) {
        const TMainTable& mt = dm_.Settings();
        ConnectFailureReason reason = ConnectFailureReason::Other;
        std::string detail;
        const int attempts = std::max(1, ConnectRetry.attempts);
        for (int attempt = 1; attempt <= attempts; ++attempt) {
            if (attempt > 1) {
                PauseResponsive(ui, ConnectRetry.pause);
            }
            try {
                ConnectAttempt();
                return;
            } catch (const IniWriteError&) {
                dm_.ZConnection.Disconnect();
                throw;  // names the settings file and why; connecting again cannot help
            } catch (const std::exception& e) {
                reason = mt.Port.empty() && mt.Host.empty() ? ConnectFailureReason::NoSettings
                                                            : ClassifyConnectFailure(e);
                detail = e.what();
            }
        }
        const std::string line = DescribeFailure(reason, detail);
        if (!ui.AskYesNo(DialogCaption(), line + "\r\rÚjra próbálja a kapcsolódást?", false)) {
            dm_.ZConnection.Disconnect();
            throw ConnectGiveUp(reason, line);
        }
        // The user may have mended the configuration meanwhile: the next round uses what the
        // files say now.
        ReadConfiguration();
        ApplyServerRules();
        ui.IncProgress("Connect to database. [" + mt.Host + ":" + mt.Database + "]");
    }
}

void Startup::ConnectCompanions() {
    const db::ConnectionParams params = dm_.ZConnection.Params();
    for (db::Connection* c : {&dm_.ZConnection_nonAutoCommit, &dm_.ZConnection_behind}) {
        c->Disconnect();
        c->SetParams(params);
        c->Connect();
    }
}

void Startup::ReadCentralVersion() {
    TMainTable& mt = dm_.Settings();
    mt.LastVersion.clear();
    if (!mt.InternetOK) {
        return;
    }
    dm_.ZConnection_info.Disconnect();
    try {
        dm_.ZConnection_info.Connect();
    } catch (const db::ConnectionFailure& e) {
        // Named by its address: a bare client-library line does not say which server failed.
        const db::ConnectionParams& info = dm_.ZConnection_info.Params();
        throw db::ConnectionFailure("A központi információs szolgáltatás nem érhető el (" +
                                        info.host + ":" + std::to_string(info.port) + "/" +
                                        info.database + "): " + e.what(),
                                    e.SqlState());
    }
    const DisconnectAtEnd disconnect(dm_.ZConnection_info);

    // Only the maker's reference workstation moves the central row, and only upwards.
    if (mt.CurrentIP == ReferenceWorkstationIP()) {
        const std::string version = GetVersionString();
        dm_.ZConnection_info.Execute(
            "UPDATE dv_2007_info SET last_version = $1 WHERE last_version < $1", {version});
    }

    db::Query lastVersion(dm_.ZConnection_info, "LastVersionSQL");
    lastVersion.SetSql({"SELECT last_version FROM dv_2007_info"});
    lastVersion.Open();
    mt.LastVersion =
        lastVersion.IsEmpty() ? std::string() : lastVersion.FieldByName("last_version").AsString();
    if (mt.Database == "Orvelle_Data") {
        mt.LastVersion = OrvelleVersion(mt.LastVersion);
    }
    lastVersion.Close();
}

void Startup::DataModuleCreate() {
    TMainTable& mt = dm_.Settings();
    UiPort& ui = dm_.UserInterface();

    // 1. The module's lists and caches start empty.
    dm_.SQLList.clear();
    dm_.SzallitoSzamlaLista.clear();
    if (OnClearUserCache) {
        OnClearUserCache();
    }

    // 2. The configuration files.
    ReadConfiguration();

    // 3. to 6. Network addresses. A local server needs no public address.
    ui.IncProgress("Get IP address.");
    const WaitCursor wait;  // restored however the sequence ends
    ApplyServerRules();
    std::string ignoredError;
    GetLocalHostAndIP(mt.LocalHostName, mt.LocalIP, ignoredError);

    // 7. and 8. The main connection must not be connected before the start-up connects it.
    ui.IncProgress("Connect to database. [" + mt.Host + ":" + mt.Database + "]");
    if (dm_.ZConnection.Connected()) {
        dm_.ZConnection.Disconnect();
        ui.ShowMessage(DialogCaption(), "ZConnection.Connected default !!!!!!!!!!");
        ui.RequestTerminate();
        return;
    }

    // 9. Without a public address some functions are limited.
    if (mt.CurrentIP.empty()) {
        ui.ShowMessage(DialogCaption(),
                       "Valószínűleg nincs internet kapcsolat!\r"
                       "A program egyes részfunkciói korlátozásra kerülnek!");
    }
    ui.ProcessMessages();

    // 10. The main connection, with the configuration written back once it works.
    ConnectMain();

    // 11. The companion connections, the update scripts, the owner record.
    if (dm_.ZConnection.Connected()) {
        ConnectCompanions();
        ui.IncProgress("Update scripts.");
        if (OnQueryingUpdateScript) {
            OnQueryingUpdateScript();
        }
        if (dm_.ZConnection.Connected()) {
            try {
                dm_.TulajdonosZQuery.Open();
            } catch (const std::exception&) {
                // The bulk opening below reports it.
            }
        }
    }

    // 12. The update step may have given up and disconnected.
    if (!dm_.ZConnection.Connected()) {
        return;
    }

    // 13. The program version at the central information service.
    ReadCentralVersion();

    // 14. The module's queries.
    ui.IncProgress("Open all datatable.");
    if (!OpenAllQueries(dm_, kQueryOpen)) {
        dm_.ZConnection.Disconnect();
        ui.RequestTerminate();
        throw SilentAbort();
    }

    // 15. to 17. The start-up checks and fix-ups.
    if (OnStartupChecks) {
        OnStartupChecks();
    }
}

}  // namespace dorvan
