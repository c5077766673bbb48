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

bool DmContext::HasUniqueKey(const std::string& name) {
    const auto known = uniqueKeys_.find(name);
    if (known != uniqueKeys_.end())
        return known->second;
    const db::Result r = ZConnection.Execute(
        "SELECT 1 FROM pg_catalog.pg_index i"
        "  JOIN pg_catalog.pg_class c ON c.oid = i.indexrelid"
        " WHERE c.relname = $1 AND c.relnamespace = 'public'::regnamespace"
        "   AND i.indisunique AND i.indisvalid",
        {name});
    const bool present = r.Rows() > 0;
    uniqueKeys_.emplace(name, present);
    return present;
}

}  // namespace dorvan
