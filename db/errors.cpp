#include "db/errors.h"

#include <libpq-fe.h>

namespace dorvan::db {

namespace {

std::string Field(const PGresult* result, int code) {
    const char* v = result != nullptr ? PQresultErrorField(result, code) : nullptr;
    return v != nullptr ? std::string(v) : std::string();
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

}  // namespace

void ThrowResultError(PGconn* conn, const PGresult* result, const std::string& statement) {
    std::string state = Field(result, PG_DIAG_SQLSTATE);
    std::string primary = Field(result, PG_DIAG_MESSAGE_PRIMARY);
    std::string message;
    if (!primary.empty()) {
        message = "ERROR:  " + primary;
        const std::string detail = Field(result, PG_DIAG_MESSAGE_DETAIL);
        if (!detail.empty())
            message += "\nDETAIL:  " + detail;
    } else if (result != nullptr && *PQresultErrorMessage(result) != '\0') {
        message = Trimmed(PQresultErrorMessage(result));
    } else if (conn != nullptr) {
        message = Trimmed(PQerrorMessage(conn));
    }
    if (message.empty())
        message = "unknown database error";
    const std::string constraint = Field(result, PG_DIAG_CONSTRAINT_NAME);

    if (state == "28P01" || state == "28000")
        throw AuthenticationFailure(message, state, constraint, statement);
    if (state == "3D000")
        throw UnknownDatabase(message, state, constraint, statement);
    if (conn != nullptr && PQstatus(conn) == CONNECTION_BAD) {
        throw ConnectionFailure(message, state.empty() ? "08006" : state, constraint);
    }
    const std::string cls = state.substr(0, 2);
    if (state == "23505")
        throw UniqueViolation(message, state, constraint, statement);
    if (state == "23514")
        throw CheckViolation(message, state, constraint, statement);
    if (state == "23503")
        throw ForeignKeyViolation(message, state, constraint, statement);
    if (state == "23502")
        throw NotNullViolation(message, state, constraint, statement);
    if (cls == "23")
        throw IntegrityViolation(message, state, constraint, statement);
    if (cls == "08")
        throw ConnectionFailure(message, state, constraint, statement);
    if (cls == "40")
        throw TransactionRollback(message, state, constraint, statement);
    if (cls == "42")
        throw SyntaxOrAccessError(message, state, constraint, statement);
    if (cls == "22")
        throw DataException(message, state, constraint, statement);
    throw DbError(message, state, constraint, statement);
}

void ThrowConnectError(const std::string& message, const std::string& sqlState) {
    // A refused connection attempt carries no server code; the client library's text tells.
    std::string text = message;
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    auto contains = [&text](const char* part) { return text.find(part) != std::string::npos; };
    if (sqlState == "28P01" || sqlState == "28000" || contains("password authentication failed") ||
        contains("no password supplied") || contains("authentication failed") ||
        contains("no pg_hba.conf entry") || contains("role \"")) {
        throw AuthenticationFailure(message, sqlState);
    }
    if (sqlState == "3D000" || (contains("database \"") && contains("does not exist")))
        throw UnknownDatabase(message, sqlState);
    throw ConnectionFailure(message, sqlState);
}

}  // namespace dorvan::db
