#pragma once
// A statement on a connection, held as lines, with named parameters and in-memory rows.
//
// Lines can be replaced one by one before opening (SetLine). ":name" parameters are
// sent to the server as parameters, never pasted into the text. Changing the text
// closes the query; parameter values survive for names still present.
//
// Editing writes back to the table the result's columns come from: an inserted row
// sends only the columns that were set (so the table's defaults apply) and is read back
// as stored; an edited row sends its changed columns; updates and deletes find the row
// by its "kod" column, which the result must contain.

#include <memory>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/dataset.h"
#include "db/param.h"

namespace dorvan::db {

class Query : public DataSet {
  public:
    explicit Query(Connection& connection, std::string name = {});
    ~Query() override;

    Connection& GetConnection() const { return *connection_; }
    void SetConnection(Connection& connection);

    // Statement text.
    const std::vector<std::string>& Sql() const { return sql_; }
    std::string SqlText() const;  // the lines joined by "\n"
    void SetSql(std::vector<std::string> lines);
    void SetSqlText(const std::string& text);  // split at line breaks
    void AddLine(const std::string& line);
    // Replaces line `index` (0-based); the list grows with empty lines when shorter.
    void SetLine(std::size_t index, const std::string& line);
    void ClearSql() { SetSql({}); }

    // Parameters of the current text, in order of first use.
    const std::vector<Param>& Params() const { return params_; }
    Param& ParamByName(const std::string& name);
    Param* FindParam(const std::string& name);
    void SetParams(const ParamValues& values);

    // With the check off (default on) the text is sent exactly as written and ":name"
    // is not a parameter: for finished statements built by callers.
    bool ParamCheck() const { return paramCheck_; }
    void SetParamCheck(bool on);

    // Runs a statement that returns no rows (or whose rows are not wanted). Without
    // parameters the text may hold several statements separated by ";".
    void ExecSQL();
    long RowsAffected() const { return rowsAffected_; }
    // The command tag of the last ExecSQL ("UPDATE 0", "SELECT 1", ...).
    const std::string& CommandStatus() const { return commandStatus_; }

    // The table an open query writes to (the one its columns come from); throws
    // DataSetError when the columns come from no table or from several.
    std::string TableName();

    // Columns that must be in the result: opening fails with FieldNotFound otherwise.
    void SetExpectedFields(std::vector<std::string> names) { expected_ = std::move(names); }

  protected:
    void InternalOpen() override;
    void InternalClose() override;
    Row InternalInsert(const Row& row, const std::vector<bool>& assigned) override;
    Row InternalUpdate(const Row& oldRow, const Row& newRow,
                       const std::vector<bool>& changed) override;
    void InternalDelete(const Row& row) override;

  private:
    struct ColumnSource {
        Oid table = 0;
        int tableColumn = 0;
    };
    struct WriteTarget {
        const TableInfo* table = nullptr;
        std::vector<int> columns;  // data field indexes that belong to the table
        int key = -1;              // data field index of "kod"
    };

    void SqlChanged();
    Result Run();
    WriteTarget Target(bool needKey);
    std::string ColumnName(const WriteTarget& target, int field) const;
    Row ReadBack(const Row& row, const WriteTarget& target, const Result& result) const;

    Connection* connection_;
    std::vector<std::string> sql_;
    std::vector<Param> params_;
    std::string parsedText_;
    std::vector<ColumnSource> sources_;
    std::vector<std::string> expected_;
    long rowsAffected_ = 0;
    std::string commandStatus_;
    bool paramCheck_ = true;
};

// Reads a result value into a field value of the given type.
Value ValueFromText(FieldType type, const std::string& text);
FieldType FieldTypeFromOid(Oid type);

}  // namespace dorvan::db
