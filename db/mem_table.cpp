#include "db/mem_table.h"

#include "db/errors.h"

namespace dorvan::db {

MemTable::MemTable(std::string name) : DataSet(std::move(name)) {}

void MemTable::AddField(const std::string& name, FieldType type, int size, bool required) {
    CheckInactive("add a field");
    defs_.push_back(ColumnDef{name, type, size, required});
}

void MemTable::ClearFields() {
    CheckInactive("clear the fields");
    defs_.clear();
}

void MemTable::EmptyTable() {
    if (!Active())
        return;
    Close();
    Open();
}

void MemTable::InternalOpen() {
    SetDataFields(defs_);
}

MemTable::Row MemTable::InternalInsert(const Row& row, const std::vector<bool>&) {
    return row;
}

MemTable::Row MemTable::InternalUpdate(const Row&, const Row& newRow, const std::vector<bool>&) {
    return newRow;
}

void MemTable::InternalDelete(const Row&) {}

}  // namespace dorvan::db
