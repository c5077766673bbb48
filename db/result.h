#pragma once
// Owner of one libpq result (cleared when the object goes), with typed column facts.

#include <memory>
#include <string>

struct pg_result;

namespace dorvan::db {

using Oid = unsigned int;

class Result {
  public:
    Result() = default;
    explicit Result(pg_result* result) : result_(result) {}

    pg_result* Get() const { return result_.get(); }
    explicit operator bool() const { return result_ != nullptr; }

    int Rows() const;
    int Columns() const;
    bool IsNull(int row, int column) const;
    std::string Text(int row, int column) const;
    std::string ColumnName(int column) const;
    Oid ColumnType(int column) const;
    int ColumnModifier(int column) const;
    // Table the column comes from (0 for an expression) and its column number there.
    Oid ColumnTable(int column) const;
    int ColumnTableColumn(int column) const;
    // Rows touched by INSERT/UPDATE/DELETE; 0 otherwise.
    long AffectedRows() const;
    // The server's command tag: "UPDATE 3", "INSERT 0 1", "SELECT 1", "CREATE TABLE".
    std::string CommandStatus() const;

  private:
    struct Clear {
        void operator()(pg_result* r) const;
    };
    std::unique_ptr<pg_result, Clear> result_;
};

}  // namespace dorvan::db
