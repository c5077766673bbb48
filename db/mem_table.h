#pragma once
// A table held in memory only, with the field interface of a query. Fields are declared
// before opening; rows are added, edited and deleted like those of a query.

#include <string>
#include <vector>

#include "db/dataset.h"

namespace dorvan::db {

class MemTable : public DataSet {
  public:
    explicit MemTable(std::string name = {});

    // Declares a data field; only while closed.
    void AddField(const std::string& name, FieldType type, int size = 0, bool required = false);
    void ClearFields();
    // Removes every row (the table stays open).
    void EmptyTable();

  protected:
    void InternalOpen() override;
    Row InternalInsert(const Row& row, const std::vector<bool>& assigned) override;
    Row InternalUpdate(const Row& oldRow, const Row& newRow,
                       const std::vector<bool>& changed) override;
    void InternalDelete(const Row& row) override;

  private:
    std::vector<ColumnDef> defs_;
};

}  // namespace dorvan::db
