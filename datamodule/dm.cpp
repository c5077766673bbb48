#include "datamodule/dm.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "config/servers.h"

namespace dorvan {

namespace {

// The module's component order for the bulk opening at start: the language texts first,
// then the owner record and the global settings (whose after-open handler completes the
// settings), the connection test and the document queries; every other component after
// them in its order of declaration.
constexpr std::array<std::string_view, 7> kStartupOrder = {
    "Lang_textZQuery", "TulajdonosZQuery",        "_setup_mainSQL", "GetSequencesSQL",
    "TesztZQuery",     "Raktar_mozgas_fejZQuery", "EgyediZQuery"};

std::size_t StartupRank(const db::DataSet* query) {
    const auto it = std::find(kStartupOrder.begin(), kStartupOrder.end(), query->Name());
    return static_cast<std::size_t>(it - kStartupOrder.begin());
}

}  // namespace

DmContext::DmContext() {
    ZConnection.SetAutoCommit(true);
    ZConnection.SetIsolation(db::IsolationLevel::ReadCommitted);
    ZConnection_nonAutoCommit.SetAutoCommit(true);
    ZConnection_nonAutoCommit.SetIsolation(db::IsolationLevel::Serializable);
    ZConnection_behind.SetAutoCommit(true);
    ZConnection_behind.SetIsolation(db::IsolationLevel::Serializable);

    // Fixed parameters of the central information service (see config/servers.h).
    const InfoServer server = CentralInfoServer();
    db::ConnectionParams info;
    info.protocol = server.protocol;
    info.host = server.host;
    info.port = server.port;
    info.database = server.database;
    info.user = server.user;
    info.password = server.password;
    ZConnection_info.SetParams(info);
}

TDM::TDM() {
    // The print texts of a document line follow the current line.
    Raktar_mozgasZQuery.AfterScroll = [this](db::DataSet& d) { Raktar_mozgasZQueryAfterScroll(d); };
    bizonylatszovegZQuery.BeforeOpen = [this](db::DataSet& d) {
        bizonylatszovegZQueryBeforeOpen(d);
    };
    // The individual units follow the current line as well.
    EgyediZQuery.BeforeOpen = [this](db::DataSet& d) { EgyediZQueryBeforeOpen(d); };
    // The start-up empties the user cache of GetUserInfo.
    OnClearUserCache = [this] { UserCache.Clear(); };
    // The forint rows, the category self test and the owner's partner close the start-up.
    OnStartupChecks = [this] { StartupChecks_.Run(); };
    // The start-up applies pending update scripts.
    OnQueryingUpdateScript = [this] { QueryingUpdateScript(); };

    std::stable_sort(
        Queries.begin(), Queries.end(),
        [](const db::DataSet* a, const db::DataSet* b) { return StartupRank(a) < StartupRank(b); });
}

TDM::~TDM() {
    DisconnectAll();
}

void TDM::ConnectLocal(const db::ConnectionParams& params) {
    for (db::Connection* c : {&ZConnection, &ZConnection_nonAutoCommit, &ZConnection_behind}) {
        c->Disconnect();
        c->SetParams(params);
        c->Connect();
    }
}

void TDM::DisconnectAll() {
    ZConnection_info.Disconnect();
    ZConnection_behind.Disconnect();
    ZConnection_nonAutoCommit.Disconnect();
    ZConnection.Disconnect();
}

}  // namespace dorvan
