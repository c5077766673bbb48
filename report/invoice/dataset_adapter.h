#pragma once
// A dataset of the dataset layer seen by the report engine: a forward walk and values by
// column name, calculated columns included. Values keep their kind: integers as qlonglong,
// floats as double, texts (UTF-8) as QString, dates as QDate, times as QTime, timestamps as
// QDateTime. SQL NULL reads as a null QVariant, and so does every column while the dataset
// is at its end (Eof: past the last row, empty or closed).
//
// The adapter does not own the dataset; the dataset must outlive it. A closed dataset
// reads as empty.

#include <QVariant>
#include <string_view>

#include "db/dataset.h"
#include "report/engine/data_source.h"

namespace dorvan {

class DataSetAdapter : public report::DataSource {
  public:
    explicit DataSetAdapter(db::DataSet& dataSet) : dataSet_(dataSet) {}

    db::DataSet& GetDataSet() const { return dataSet_; }

    void First() override;
    void Next() override;
    bool Eof() const override;
    bool HasColumn(std::string_view name) const override;
    // Throws report::ReportError naming the column and the dataset when it does not exist.
    QVariant Value(std::string_view name) const override;
    // The field's display format ("" when it has none or does not exist).
    std::string DisplayFormat(std::string_view name) const override;

    // The value of one field in the engine's terms.
    static QVariant ToVariant(const db::Field& field);

  private:
    db::DataSet& dataSet_;
};

}  // namespace dorvan
