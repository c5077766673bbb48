#include "datamodule/dm.h"

#include <cstdlib>

namespace dorvan {

namespace {
constexpr const char* kInfoServerHost = "info.norvello.hu";
}  // namespace

std::string InfoServerHost() {
    const char* env = std::getenv("DORVAN_INFO_HOST");
    return env != nullptr && *env != '\0' ? std::string(env) : std::string(kInfoServerHost);
}

DmContext::DmContext() {
    ZConnection.SetAutoCommit(true);
    ZConnection.SetIsolation(db::IsolationLevel::ReadCommitted);
    ZConnection_nonAutoCommit.SetAutoCommit(true);
    ZConnection_nonAutoCommit.SetIsolation(db::IsolationLevel::Serializable);
    ZConnection_behind.SetAutoCommit(true);
    ZConnection_behind.SetIsolation(db::IsolationLevel::Serializable);

    db::ConnectionParams info;
    info.protocol = "postgresql-8";
    info.host = InfoServerHost();
    info.port = 5432;
    info.database = "Kalvex_Data";
    info.user = "KalvexUser";
    info.password = "w7k2pQRt5";
    ZConnection_info.SetParams(info);
}

TDM::TDM() = default;

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
