#pragma once
// What the engine needs of a dataset: a forward walk and values by column name. The master
// dataset of a report and the other datasets its controls read are given in this shape.

#include <QVariant>
#include <string>
#include <string_view>

namespace dorvan::report {

class DataSource {
  public:
    virtual ~DataSource();

    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;
    // Column names are matched without regard to case.
    virtual bool HasColumn(std::string_view name) const = 0;
    // The current row's value; a null QVariant for SQL NULL and past the last row. Throws
    // ReportError when the column does not exist.
    virtual QVariant Value(std::string_view name) const = 0;
    // Display format of a column (a number mask or a date display format), used by data
    // texts that give no mask of their own; "" (the default) when the column has none.
    virtual std::string DisplayFormat(std::string_view name) const;
};

}  // namespace dorvan::report
