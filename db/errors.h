#pragma once
// Errors of the dataset layer. Every error raised here derives from DbError; server
// errors carry the server's message and SQLSTATE and are typed by their SQLSTATE.

#include <stdexcept>
#include <string>

struct pg_conn;
struct pg_result;

namespace dorvan::db {

class DbError : public std::runtime_error {
  public:
    explicit DbError(const std::string& message, std::string sqlState = {},
                     std::string constraint = {}, std::string statement = {})
        : std::runtime_error(message),
          sqlState_(std::move(sqlState)),
          constraint_(std::move(constraint)),
          statement_(std::move(statement)) {}

    // Five-character SQLSTATE of a server error; empty for errors of the client side.
    const std::string& SqlState() const { return sqlState_; }
    // Name of the violated constraint, when the server told it.
    const std::string& Constraint() const { return constraint_; }
    // The statement the server refused, as sent; empty when the error came from no statement.
    const std::string& Statement() const { return statement_; }

  private:
    std::string sqlState_;
    std::string constraint_;
    std::string statement_;
};

// SQLSTATE class 08 and a connection lost or never made.
class ConnectionFailure : public DbError {
    using DbError::DbError;
};
// The server refused the user name or password (28P01, 28000).
class AuthenticationFailure : public ConnectionFailure {
    using ConnectionFailure::ConnectionFailure;
};
// The server has no database of the requested name (3D000).
class UnknownDatabase : public ConnectionFailure {
    using ConnectionFailure::ConnectionFailure;
};
// SQLSTATE class 23.
class IntegrityViolation : public DbError {
    using DbError::DbError;
};
class UniqueViolation : public IntegrityViolation {  // 23505
    using IntegrityViolation::IntegrityViolation;
};
class CheckViolation : public IntegrityViolation {  // 23514
    using IntegrityViolation::IntegrityViolation;
};
class ForeignKeyViolation : public IntegrityViolation {  // 23503
    using IntegrityViolation::IntegrityViolation;
};
class NotNullViolation : public IntegrityViolation {  // 23502
    using IntegrityViolation::IntegrityViolation;
};
// SQLSTATE class 40 (serialization failure, deadlock).
class TransactionRollback : public DbError {
    using DbError::DbError;
};
// SQLSTATE class 42 (syntax error, unknown table or column, missing rights).
class SyntaxOrAccessError : public DbError {
    using DbError::DbError;
};
// SQLSTATE class 22 (invalid text representation, division by zero, ...).
class DataException : public DbError {
    using DbError::DbError;
};

// A field name that the dataset does not have.
class FieldNotFound : public DbError {
  public:
    FieldNotFound(const std::string& field, const std::string& dataSet)
        : DbError(dataSet.empty() ? "Field '" + field + "' not found"
                                  : dataSet + ": Field '" + field + "' not found"),
          field_(field) {}
    const std::string& FieldName() const { return field_; }

  private:
    std::string field_;
};

// A misuse of a dataset: wrong state, missing parameter, required field left empty.
class DataSetError : public DbError {
    using DbError::DbError;
};

// A value that cannot be converted to the requested type.
class ValueConversionError : public DbError {
    using DbError::DbError;
};

// Raises the error a failed result describes (typed by SQLSTATE), carrying `statement`.
// `result` may be null (then the connection's message is used).
[[noreturn]] void ThrowResultError(pg_conn* conn, const pg_result* result,
                                   const std::string& statement = {});
// Raises the error of a connection attempt the server or the client library refused, typed
// by the server's code when there is one and by the client library's message otherwise.
[[noreturn]] void ThrowConnectError(const std::string& message, const std::string& sqlState);

}  // namespace dorvan::db
