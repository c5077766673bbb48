#pragma once
// A table held in memory only, with the field interface of a query. Fields are declared
// before opening; rows are added, edited and deleted like those of a query.

#include <cstdint>
#include <string>
#include <vector>

#include "db/dataset.h"

namespace dorvan::db {

class MemTable : public DataSet {
  public:
    explicit MemTable(std::string name = {});

    // Declares a data field; only while closed. Texts longer than a text field's size
    // are cut to `size` characters when the row is posted.
    void AddField(const std::string& name, FieldType type, int size = 0, bool required = false);
    // Declares an integer field numbered 1, 2, ... on insert when left empty.
    void AddAutoIncField(const std::string& name);
    void ClearFields();
    // Removes every row (the table stays open).
    void EmptyTable();
    // Appends every row of `source` (from its first row), copying the fields of the
    // same name; fields missing on either side are left empty. Opens this table when
    // closed. Leaves `source` on its last row.
    void CopyRowsFrom(DataSet& source);

  protected:
    void InternalOpen() override;
    Row InternalInsert(const Row& row, const std::vector<bool>& assigned) override;
    Row InternalUpdate(const Row& oldRow, const Row& newRow,
                       const std::vector<bool>& changed) override;
    void InternalDelete(const Row& row) override;

  private:
    Row Stored(Row row);

    std::vector<ColumnDef> defs_;
    int autoInc_ = -1;
    std::int64_t nextAutoInc_ = 1;
};

}  // namespace dorvan::db
