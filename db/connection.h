#pragma once
// A connection to the PostgreSQL server (client encoding UTF8, DateStyle ISO).
//
// In auto-commit mode every statement is committed on its own unless an explicit
// transaction was started. With auto-commit off a transaction is always open: the first
// statement after connecting or after Commit/Rollback begins one.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/result.h"

struct pg_conn;

namespace dorvan::db {

struct ConnectionParams {
    std::string host;
    int port = 0;  // 0: the client library's default port
    std::string database;
    std::string user;
    std::string password;
    std::string protocol = "postgresql-8";  // kept for the configuration; libpq speaks one
};

enum class IsolationLevel { Default, ReadCommitted, RepeatableRead, Serializable };

// What the catalog says of a table column (attnum = index + 1 in `columns`).
struct ColumnInfo {
    std::string name;
    bool notNull = false;
    bool hasDefault = false;  // a default, a sequence, identity or generated column
    bool dropped = false;
};

struct TableInfo {
    Oid oid = 0;
    std::string schema;
    std::string name;
    std::vector<ColumnInfo> columns;
    // "schema"."name", quoted for statements.
    std::string QualifiedName() const;
};

// A message the server sends beside a result (RAISE NOTICE / WARNING in a function or a
// script): its severity as the server names it in English ("WARNING", "NOTICE", ...) and its
// primary text.
struct ServerNotice {
    std::string severity;
    std::string message;
};

// A parameter value in the text form the server reads; nullopt is SQL NULL.
using PgParam = std::optional<std::string>;

class Connection {
  public:
    explicit Connection(std::string name = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const std::string& Name() const { return name_; }
    const ConnectionParams& Params() const { return params_; }
    // Takes effect at the next Connect.
    void SetParams(ConnectionParams params) { params_ = std::move(params); }

    // Throws ConnectionFailure with the client library's message.
    void Connect();
    void Disconnect();
    bool Connected() const;

    bool AutoCommit() const { return autoCommit_; }
    void SetAutoCommit(bool on);
    IsolationLevel Isolation() const { return isolation_; }
    void SetIsolation(IsolationLevel level);

    // Starts an explicit transaction; throws DbError when one is already open in
    // auto-commit mode.
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;
    // True when a transaction is open that StartTransaction would refuse to start again: an
    // explicit one, or any open one in auto-commit mode. A db::Transaction made now becomes a
    // savepoint inside it.
    bool InExplicitTransaction() const { return InTransaction() && (autoCommit_ || explicitTx_); }

    // A script of one or more statements, no parameters; the last statement's result.
    Result Execute(const std::string& sql);
    // One statement with $1.. parameters sent apart from the text.
    Result Execute(const std::string& sql, const std::vector<PgParam>& params);

    // Catalog facts of a table, cached per connection; read again when `column` (a
    // column number of the table) is beyond the cached ones.
    const TableInfo& GetTableInfo(Oid table, int column = 0);
    void ClearMetadataCache() { tables_.clear(); }

    pg_conn* Handle() const { return conn_.get(); }

    // Hands the server's notices to `handler` while it is set (they are dropped otherwise);
    // also across a reconnection. An empty function drops them again.
    void SetNoticeHandler(std::function<void(const ServerNotice&)> handler) {
        noticeHandler_ = std::move(handler);
    }

  private:
    void EnsureConnected() const;
    void BeginIfNeeded();
    Result Check(pg_result* raw, const std::string& statement);
    void Simple(const char* sql);

    std::string name_;
    ConnectionParams params_;
    struct Finish {
        void operator()(pg_conn* c) const;
    };
    std::unique_ptr<pg_conn, Finish> conn_;
    bool autoCommit_ = true;
    bool explicitTx_ = false;
    IsolationLevel isolation_ = IsolationLevel::Default;
    std::map<Oid, TableInfo> tables_;
    std::function<void(const ServerNotice&)> noticeHandler_;
};

}  // namespace dorvan::db
