#include "datamodule/core/connections.h"

namespace dorvan {

void Connections::ConnectLocal(const db::ConnectionParams& params) {
    for (db::Connection* c :
         {&ctx_.ZConnection, &ctx_.ZConnection_nonAutoCommit, &ctx_.ZConnection_behind}) {
        c->Disconnect();
        c->SetParams(params);
        c->Connect();
    }
}

void Connections::DisconnectAll() {
    ctx_.ZConnection_info.Disconnect();
    ctx_.ZConnection_behind.Disconnect();
    ctx_.ZConnection_nonAutoCommit.Disconnect();
    ctx_.ZConnection.Disconnect();
}

}  // namespace dorvan
