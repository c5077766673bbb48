#include "datamodule/core/connections.h"

#include <libpq-fe.h>

#include "db/errors.h"

namespace dorvan {

namespace {

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::string Where(const db::Connection& connection) {
    const db::ConnectionParams& p = connection.Params();
    return p.host + ":" + (p.port > 0 ? std::to_string(p.port) : std::string()) + "/" + p.database;
}

}  // namespace

void Connections::ConnectLocal(const db::ConnectionParams& params) {
    for (db::Connection* c :
         {&ctx_.ZConnection, &ctx_.ZConnection_nonAutoCommit, &ctx_.ZConnection_behind}) {
        c->Disconnect();
        c->SetParams(params);
        c->Connect();
    }
}

void Connections::DisconnectAll() {
    lost_.clear();
    ctx_.ZConnection_info.Disconnect();
    ctx_.ZConnection_behind.Disconnect();
    ctx_.ZConnection_nonAutoCommit.Disconnect();
    ctx_.ZConnection.Disconnect();
}

bool Connections::IsLost(db::Connection& connection) {
    if (lost_.count(&connection) != 0)
        return true;
    pg_conn* handle = connection.Handle();
    if (handle == nullptr)
        return false;  // never opened, or closed by the program
    // What the server sent while the connection was idle (its closing notice, then the end
    // of the stream) is read without waiting: a closed session shows as a bad connection.
    for (int i = 0; i < 2 && PQstatus(handle) == CONNECTION_OK; ++i)
        PQconsumeInput(handle);
    return PQstatus(handle) != CONNECTION_OK;
}

bool Connections::AnyLost() {
    bool any = false;
    for (db::Connection* c : {&ctx_.ZConnection, &ctx_.ZConnection_nonAutoCommit,
                              &ctx_.ZConnection_behind, &ctx_.ZConnection_info})
        any = IsLost(*c) || any;
    return any;
}

void Connections::ReopenLost() {
    for (db::Connection* c : {&ctx_.ZConnection, &ctx_.ZConnection_nonAutoCommit,
                              &ctx_.ZConnection_behind, &ctx_.ZConnection_info}) {
        if (!IsLost(*c))
            continue;
        try {
            c->Connect();  // its parameters, auto-commit and isolation, as at start-up
            lost_.erase(c);
        } catch (const db::DbError& e) {
            lost_.insert(c);
            throw db::ConnectionFailure(
                "Megszakadt a kapcsolat az adatbázissal (" + Where(*c) +
                    "), és nem sikerült újra kapcsolódni: " + FirstLine(e.what()),
                e.SqlState());
        }
    }
}

std::string Connections::LostDuringCommand(const std::string& reason) {
    return "Megszakadt a kapcsolat az adatbázissal (" + Where(ctx_.ZConnection) +
           "): " + FirstLine(reason) + "; a következő parancs előtt a program újra kapcsolódik.";
}

}  // namespace dorvan
