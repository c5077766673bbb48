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
                     std::string constraint = {})
        : std::runtime_error(message),
          sqlState_(std::move(sqlState)),
          constraint_(std::move(constraint)) {}

    // Five-character SQLSTATE of a server error; empty for errors of the client side.
    const std::string& SqlState() const { return sqlState_; }
    // Name of the violated constraint, when the server told it.
    const std::string& Constraint() const { return constraint_; }

  private:
    std::string sqlState_;
    std::string constraint_;
};

// SQLSTATE class 08 and a connection lost or never made.
class ConnectionFailure : public DbError {
    using DbError::DbError;
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
class ConversionError : public DbError {
    using DbError::DbError;
};

// Raises the error a failed result describes (typed by SQLSTATE). `result` may be null
// (then the connection's message is used).
[[noreturn]] void ThrowResultError(pg_conn* conn, const pg_result* result);

}  // namespace dorvan::db
