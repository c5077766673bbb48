#pragma once
// The module's local connections: connecting them with one set of parameters, closing
// every connection of the module, and opening again a connection the server has closed.

#include <set>
#include <string>

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

    // Before a user's command: each of the four connections that was open and has been
    // closed by the server since (server restarted, session terminated) is opened once
    // more, with its own parameters and settings, by the same Connect the start-up uses.
    // One that cannot be opened throws db::ConnectionFailure saying that the database
    // connection is lost; it is tried again before the next command. Connections the
    // program closed itself (the central information service) stay closed.
    void ReopenLost();
    // Whether one of the connections has been lost (asks without reopening anything).
    bool AnyLost();
    // The one-line message of a connection lost while a command ran (`reason`: its error).
    std::string LostDuringCommand(const std::string& reason);

  private:
    bool IsLost(db::Connection& connection);

    DmContext& ctx_;
    // Lost connections that could not be opened again yet.
    std::set<db::Connection*> lost_;
};

}  // namespace dorvan
