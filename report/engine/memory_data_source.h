#pragma once
// An in-memory dataset: named columns and rows of values.

#include <QVariant>
#include <cstddef>
#include <string>
#include <vector>

#include "report/engine/data_source.h"

namespace dorvan::report {

class MemoryDataSource : public DataSource {
  public:
    MemoryDataSource() = default;
    explicit MemoryDataSource(std::vector<std::string> columns);

    void AddRow(std::vector<QVariant> values);  // one value per column, in column order
    std::size_t RowCount() const { return rows_.size(); }

    void First() override;
    void Next() override;
    bool Eof() const override;
    bool HasColumn(std::string_view name) const override;
    QVariant Value(std::string_view name) const override;
    // Display format of a column; throws ReportError when the column does not exist.
    void SetDisplayFormat(std::string_view name, std::string format);
    std::string DisplayFormat(std::string_view name) const override;

  private:
    int ColumnIndex(std::string_view name) const;

    std::vector<std::string> columns_;
    std::vector<std::vector<QVariant>> rows_;
    std::vector<std::string> displayFormats_;  // per column; "" none
    std::size_t current_ = 0;
};

}  // namespace dorvan::report
