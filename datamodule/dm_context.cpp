#include "datamodule/dm_context.h"

#include "config/servers.h"

namespace dorvan {

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

}  // namespace dorvan
