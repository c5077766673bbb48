#include "db/connection.h"

#include <libpq-fe.h>

#include "db/errors.h"
#include "db/sql_params.h"

namespace dorvan::db {

namespace {

std::string ResultField(const PGresult* result, int code) {
    const char* value = PQresultErrorField(result, code);
    return value != nullptr ? value : "";
}

const char* IsolationText(IsolationLevel level) {
    switch (level) {
        case IsolationLevel::ReadCommitted:
            return "READ COMMITTED";
        case IsolationLevel::RepeatableRead:
            return "REPEATABLE READ";
        case IsolationLevel::Serializable:
            return "SERIALIZABLE";
        case IsolationLevel::Default:
            break;
    }
    return nullptr;
}

}  // namespace

std::string TableInfo::QualifiedName() const {
    return QuoteIdent(schema) + "." + QuoteIdent(name);
}

void Connection::Finish::operator()(pg_conn* c) const {
    PQfinish(c);
}

Connection::Connection(std::string name) : name_(std::move(name)) {}

Connection::~Connection() = default;

void Connection::Connect() {
    Disconnect();
    const std::string port = params_.port > 0 ? std::to_string(params_.port) : std::string();
    const char* keys[] = {"host",     "port",    "dbname",          "user",
                          "password", "options", "client_encoding", "connect_timeout",
                          nullptr};
    const char* values[] = {params_.host.empty() ? nullptr : params_.host.c_str(),
                            port.empty() ? nullptr : port.c_str(),
                            params_.database.c_str(),
                            params_.user.empty() ? nullptr : params_.user.c_str(),
                            params_.password.empty() ? nullptr : params_.password.c_str(),
                            "-c DateStyle=ISO,YMD -c IntervalStyle=postgres",
                            "UTF8",
                            "10",
                            nullptr};
    conn_.reset(PQconnectdbParams(keys, values, 0));
    if (conn_ == nullptr || PQstatus(conn_.get()) != CONNECTION_OK) {
        std::string message = conn_ ? PQerrorMessage(conn_.get()) : "out of memory";
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
            message.pop_back();
        }
        conn_.reset();
        ThrowConnectError(message, "08001");
    }
    // Notices go to the handler when one is set; nothing is written to stderr.
    PQsetNoticeReceiver(
        conn_.get(),
        [](void* self, const PGresult* notice) {
            const auto* connection = static_cast<const Connection*>(self);
            if (!connection->noticeHandler_)
                return;
            try {
                connection->noticeHandler_({ResultField(notice, PG_DIAG_SEVERITY_NONLOCALIZED),
                                            ResultField(notice, PG_DIAG_MESSAGE_PRIMARY)});
            } catch (...) {
                // Nothing may leave the client library's callback.
            }
        },
        this);
    explicitTx_ = false;
    tables_.clear();
    if (const char* iso = IsolationText(isolation_)) {
        Simple((std::string("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL ") + iso)
                   .c_str());
    }
}

void Connection::Disconnect() {
    conn_.reset();
    explicitTx_ = false;
    tables_.clear();
}

bool Connection::Connected() const {
    return conn_ != nullptr && PQstatus(conn_.get()) == CONNECTION_OK;
}

void Connection::SetAutoCommit(bool on) {
    if (on == autoCommit_)
        return;
    // Switching auto-commit on ends an implicit transaction by committing it.
    if (on && Connected() && !explicitTx_ && InTransaction())
        Simple("COMMIT");
    autoCommit_ = on;
}

void Connection::SetIsolation(IsolationLevel level) {
    isolation_ = level;
    if (!Connected())
        return;
    const char* iso = IsolationText(level);
    Simple((std::string("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL ") +
            (iso != nullptr ? iso : "READ COMMITTED"))
               .c_str());
}

bool Connection::InTransaction() const {
    if (!conn_)
        return false;
    const auto status = PQtransactionStatus(conn_.get());
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

void Connection::StartTransaction() {
    EnsureConnected();
    if (InTransaction()) {
        if (autoCommit_ || explicitTx_) {
            throw DbError(name_ + ": a transaction is already open");
        }
        // With auto-commit off the open implicit transaction becomes the explicit one.
        explicitTx_ = true;
        return;
    }
    Simple("BEGIN");
    explicitTx_ = true;
}

void Connection::Commit() {
    EnsureConnected();
    if (!InTransaction()) {
        explicitTx_ = false;
        if (autoCommit_)
            throw DbError(name_ + ": no transaction to commit");
        return;
    }
    explicitTx_ = false;
    if (PQtransactionStatus(conn_.get()) == PQTRANS_INERROR) {
        // The server would answer COMMIT with a silent rollback: say so instead.
        Simple("ROLLBACK");
        throw DbError(name_ + ": the transaction failed earlier and was rolled back", "25P02");
    }
    Simple("COMMIT");
}

void Connection::Rollback() {
    EnsureConnected();
    explicitTx_ = false;
    if (!InTransaction())
        return;
    Simple("ROLLBACK");
}

Result Connection::Execute(const std::string& sql) {
    EnsureConnected();
    BeginIfNeeded();
    Result result = Check(PQexec(conn_.get(), sql.c_str()), sql);
    // A script that changed tables makes the cached column facts stale.
    const std::string status = PQcmdStatus(result.Get());
    if (status.rfind("ALTER", 0) == 0 || status.rfind("DROP", 0) == 0 ||
        status.rfind("CREATE", 0) == 0) {
        tables_.clear();
    }
    return result;
}

Result Connection::Execute(const std::string& sql, const std::vector<PgParam>& params) {
    EnsureConnected();
    BeginIfNeeded();
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const auto& p : params)
        values.push_back(p ? p->c_str() : nullptr);
    return Check(PQexecParams(conn_.get(), sql.c_str(), static_cast<int>(values.size()), nullptr,
                              values.data(), nullptr, nullptr, 0),
                 sql);
}

const TableInfo& Connection::GetTableInfo(Oid table, int column) {
    auto it = tables_.find(table);
    if (it != tables_.end()) {
        if (static_cast<std::size_t>(column) <= it->second.columns.size())
            return it->second;
        tables_.erase(it);  // a column added since the facts were read
    }
    TableInfo info;
    info.oid = table;
    const std::string oid = std::to_string(table);
    Result rel = Execute(
        "SELECT n.nspname, c.relname FROM pg_catalog.pg_class c "
        "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = $1",
        {oid});
    if (rel.Rows() != 1)
        throw DbError(name_ + ": unknown table (oid " + oid + ")");
    info.schema = rel.Text(0, 0);
    info.name = rel.Text(0, 1);
    Result cols = Execute(
        "SELECT a.attnum, a.attname, a.attnotnull, "
        "a.atthasdef OR a.attidentity <> '' OR a.attgenerated <> '', a.attisdropped "
        "FROM pg_catalog.pg_attribute a WHERE a.attrelid = $1 AND a.attnum > 0 "
        "ORDER BY a.attnum",
        {oid});
    for (int r = 0; r < cols.Rows(); ++r) {
        const auto attnum = static_cast<std::size_t>(std::stoi(cols.Text(r, 0)));
        if (info.columns.size() < attnum)
            info.columns.resize(attnum);
        ColumnInfo& c = info.columns[attnum - 1];
        c.name = cols.Text(r, 1);
        c.notNull = cols.Text(r, 2) == "t";
        c.hasDefault = cols.Text(r, 3) == "t";
        c.dropped = cols.Text(r, 4) == "t";
    }
    return tables_.emplace(table, std::move(info)).first->second;
}

void Connection::EnsureConnected() const {
    if (!conn_)
        throw ConnectionFailure(name_ + ": not connected", "08003");
}

void Connection::BeginIfNeeded() {
    if (!autoCommit_ && !InTransaction())
        Simple("BEGIN");
}

Result Connection::Check(pg_result* raw, const std::string& statement) {
    Result result(raw);
    const auto status = raw != nullptr ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY) {
        return result;
    }
    ThrowResultError(conn_.get(), raw, statement);
}

void Connection::Simple(const char* sql) {
    Check(PQexec(conn_.get(), sql), sql);
}

}  // namespace dorvan::db
