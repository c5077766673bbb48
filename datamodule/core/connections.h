#pragma once
// The module's local connections: connecting them with one set of parameters and closing
// every connection of the module.

#include "datamodule/dm_context.h"
#include "db/connection.h"

namespace dorvan {

class Connections {
  public:
    explicit Connections(DmContext& ctx) : ctx_(ctx) {}

    // Gives ZConnection, ZConnection_nonAutoCommit and ZConnection_behind the same
    // parameters and connects them in that order.
    void ConnectLocal(const db::ConnectionParams& params);
    void DisconnectAll();

  private:
    DmContext& ctx_;
};

}  // namespace dorvan
