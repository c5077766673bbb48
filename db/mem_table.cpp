#include "db/mem_table.h"

#include "db/errors.h"

namespace dorvan::db {

namespace {

// Cuts a UTF-8 text after `count` characters.
std::string CutChars(const std::string& text, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == count)
                return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

}  // namespace

MemTable::MemTable(std::string name) : DataSet(std::move(name)) {}

void MemTable::AddField(const std::string& name, FieldType type, int size, bool required) {
    CheckInactive("add a field");
    defs_.push_back(ColumnDef{name, type, size, required});
}

void MemTable::AddAutoIncField(const std::string& name) {
    AddField(name, FieldType::Integer);
    autoInc_ = static_cast<int>(defs_.size()) - 1;
}

void MemTable::ClearFields() {
    CheckInactive("clear the fields");
    defs_.clear();
    autoInc_ = -1;
}

void MemTable::EmptyTable() {
    if (!Active())
        return;
    Close();
    Open();
}

void MemTable::CopyRowsFrom(DataSet& source) {
    Open();
    std::vector<std::pair<Field*, Field*>> pairs;
    for (int i = 0; i < DataFieldCount(); ++i) {
        Field& target = Fields(i);
        if (Field* from = source.FindField(target.FieldName()))
            pairs.emplace_back(from, &target);
    }
    for (source.First(); !source.Eof(); source.Next()) {
        Append();
        for (auto& [from, to] : pairs) {
            if (!from->IsNull())
                to->SetValue(from->AsValue());
        }
        Post();
    }
}

void MemTable::InternalOpen() {
    SetDataFields(defs_);
    nextAutoInc_ = 1;
}

MemTable::Row MemTable::Stored(Row row) {
    for (std::size_t i = 0; i < row.size() && i < defs_.size(); ++i) {
        const ColumnDef& d = defs_[i];
        if (d.size > 0 && (d.type == FieldType::String) && row[i].IsString()) {
            row[i] = Value(CutChars(row[i].AsString(), static_cast<std::size_t>(d.size)));
        }
    }
    return row;
}

MemTable::Row MemTable::InternalInsert(const Row& row, const std::vector<bool>&) {
    Row stored = Stored(row);
    if (autoInc_ >= 0) {
        Value& v = stored[static_cast<std::size_t>(autoInc_)];
        if (v.IsNull())
            v = Value(static_cast<long long>(nextAutoInc_));
        if (v.AsInteger() >= nextAutoInc_)
            nextAutoInc_ = v.AsInteger() + 1;
    }
    return stored;
}

MemTable::Row MemTable::InternalUpdate(const Row&, const Row& newRow, const std::vector<bool>&) {
    return Stored(newRow);
}

void MemTable::InternalDelete(const Row&) {}

}  // namespace dorvan::db
