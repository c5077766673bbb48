// The start-up sequence of the data module (DataModuleCreate) and its query components.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <string>
#include <thread>

#include "config/ini_files.h"
#include "config/lib_strings.h"
#include "config/network.h"
#include "config/servers.h"
#include "config/ui_port.h"
#include "config/version.h"
#include "datamodule/dm.h"
#include "datamodule/query_action.h"
#include "datamodule/silent_abort.h"
#include "db/errors.h"

namespace dorvan {

namespace {

bool IsLocalHost(const std::string& host) {
    std::string lower = host;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "localhost";
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

db::ConnectionParams TDM::ConfiguredParams() const {
    const TMainTable& mt = Settings();
    db::ConnectionParams params;
    params.database = mt.Database;
    params.host = mt.Host;
    params.protocol = mt.Protocol;
    params.user = mt.User;
    params.password = mt.Password;
    params.port = StrToInt(mt.Port);
    return params;
}

void TDM::ConnectAttempt() {
    TMainTable& mt = Settings();
    if (mt.Protocol != "postgresql-8" && mt.Protocol != "postgresql-7" &&
        mt.Protocol != "postgresql") {
        mt.Protocol = "postgresql-8";
    }
    ZConnection.Disconnect();
    ZConnection.SetParams(ConfiguredParams());
    ZConnection.Connect();
    WriteIniFiles();
    TesztZQuery.Close();
    TesztZQuery.Open();
    TesztZQuery.Close();
}

void TDM::ConnectMain() {
    const TMainTable& mt = Settings();
    UiPort& ui = UserInterface();
    for (;;) {
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
            } catch (const std::exception& e) {
                reason = mt.Port.empty() && mt.Host.empty() ? ConnectFailureReason::NoSettings
                                                            : ClassifyConnectFailure(e);
                detail = e.what();
            }
        }
        const std::string line = DescribeConnectFailure(
            reason, mt.Host, mt.Port, mt.Database,
            reason == ConnectFailureReason::NoSettings ? std::string() : detail);
        if (!ui.AskYesNo(DialogCaption(), line + "\r\rÚjra próbálja a kapcsolódást?", false)) {
            ZConnection.Disconnect();
            throw ConnectGiveUp(reason, line);
        }
    }
}

void TDM::ConnectCompanions() {
    const db::ConnectionParams params = ZConnection.Params();
    for (db::Connection* c : {&ZConnection_nonAutoCommit, &ZConnection_behind}) {
        c->Disconnect();
        c->SetParams(params);
        c->Connect();
    }
}

void TDM::ReadCentralVersion() {
    TMainTable& mt = Settings();
    mt.LastVersion.clear();
    if (!mt.InternetOK) {
        return;
    }
    ZConnection_info.Disconnect();
    try {
        ZConnection_info.Connect();
    } catch (const db::ConnectionFailure& e) {
        // Named by its address: a bare client-library line does not say which server failed.
        const db::ConnectionParams& info = ZConnection_info.Params();
        throw db::ConnectionFailure("A központi információs szolgáltatás nem érhető el (" +
                                        info.host + ":" + std::to_string(info.port) + "/" +
                                        info.database + "): " + e.what(),
                                    e.SqlState());
    }
    const DisconnectAtEnd disconnect(ZConnection_info);

    // Only the maker's reference workstation moves the central row, and only upwards.
    if (mt.CurrentIP == ReferenceWorkstationIP()) {
        const std::string version = GetVersionString();
        ZConnection_info.Execute(
            "UPDATE dv_2007_info SET last_version = $1 WHERE last_version < $1", {version});
    }

    db::Query lastVersion(ZConnection_info, "LastVersionSQL");
    lastVersion.SetSql({"SELECT last_version FROM dv_2007_info"});
    lastVersion.Open();
    mt.LastVersion =
        lastVersion.IsEmpty() ? std::string() : lastVersion.FieldByName("last_version").AsString();
    if (mt.Database == "Orvelle_Data") {
        mt.LastVersion = OrvelleVersion(mt.LastVersion);
    }
    lastVersion.Close();
}

void TDM::DataModuleCreate() {
    TMainTable& mt = Settings();
    UiPort& ui = UserInterface();

    // 1. The module's lists and caches start empty.
    SQLList.clear();
    SzallitoSzamlaLista.clear();
    if (OnClearUserCache) {
        OnClearUserCache();
    }

    // 2. The configuration files.
    ReadIniFiles();

    // 3. to 6. Network addresses. A local server needs no public address.
    ui.IncProgress("Get IP address.");
    const WaitCursor wait;  // restored however the sequence ends
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
    std::string ignoredError;
    GetLocalHostAndIP(mt.LocalHostName, mt.LocalIP, ignoredError);

    // 7. and 8. The main connection must not be connected before the start-up connects it.
    ui.IncProgress("Connect to database. [" + mt.Host + ":" + mt.Database + "]");
    if (ZConnection.Connected()) {
        ZConnection.Disconnect();
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
    if (ZConnection.Connected()) {
        ConnectCompanions();
        ui.IncProgress("Update scripts.");
        if (OnQueryingUpdateScript) {
            OnQueryingUpdateScript();
        }
        if (ZConnection.Connected()) {
            try {
                TulajdonosZQuery.Open();
            } catch (const std::exception&) {
                // The bulk opening below reports it.
            }
        }
    }

    // 12. The update step may have given up and disconnected.
    if (!ZConnection.Connected()) {
        return;
    }

    // 13. The program version at the central information service.
    ReadCentralVersion();

    // 14. The module's queries.
    ui.IncProgress("Open all datatable.");
    if (!OpenAllQueries(*this, kQueryOpen)) {
        ZConnection.Disconnect();
        ui.RequestTerminate();
        throw SilentAbort();
    }

    // 15. to 17. The start-up checks and fix-ups.
    if (OnStartupChecks) {
        OnStartupChecks();
    }
}

}  // namespace dorvan
