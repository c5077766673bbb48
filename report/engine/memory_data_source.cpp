#include "report/engine/memory_data_source.h"

#include "report/engine/report_error.h"
#include "report/engine/report_types.h"

namespace dorvan::report {

MemoryDataSource::MemoryDataSource(std::vector<std::string> columns)
    : columns_(std::move(columns)) {}

void MemoryDataSource::AddRow(std::vector<QVariant> values) {
    if (values.size() != columns_.size())
        throw ReportError("row has " + std::to_string(values.size()) + " values for " +
                          std::to_string(columns_.size()) + " columns");
    rows_.push_back(std::move(values));
}

void MemoryDataSource::First() {
    current_ = 0;
}

void MemoryDataSource::Next() {
    if (current_ < rows_.size())
        ++current_;
}

bool MemoryDataSource::Eof() const {
    return current_ >= rows_.size();
}

bool MemoryDataSource::HasColumn(std::string_view name) const {
    return ColumnIndex(name) >= 0;
}

QVariant MemoryDataSource::Value(std::string_view name) const {
    const int index = ColumnIndex(name);
    if (index < 0)
        throw ReportError("column not found: " + std::string(name));
    if (current_ >= rows_.size())
        return {};
    return rows_[current_][static_cast<std::size_t>(index)];
}

void MemoryDataSource::SetDisplayFormat(std::string_view name, std::string format) {
    const int index = ColumnIndex(name);
    if (index < 0)
        throw ReportError("column not found: " + std::string(name));
    displayFormats_.resize(columns_.size());
    displayFormats_[static_cast<std::size_t>(index)] = std::move(format);
}

std::string MemoryDataSource::DisplayFormat(std::string_view name) const {
    const int index = ColumnIndex(name);
    if (index < 0 || static_cast<std::size_t>(index) >= displayFormats_.size())
        return {};
    return displayFormats_[static_cast<std::size_t>(index)];
}

int MemoryDataSource::ColumnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (EqualsIgnoreCase(columns_[i], name))
            return static_cast<int>(i);
    return -1;
}

}  // namespace dorvan::report
