#pragma once
// A field of a dataset: a column of the result (data field) or a value computed by the
// dataset's OnCalcFields handler (calculated field). Reads and writes go to the row that
// is current in its dataset.

#include <cstdint>
#include <string>

#include "db/value.h"

namespace dorvan::db {

class DataSet;

enum class FieldType {
    Unknown,
    Boolean,
    SmallInt,
    Integer,
    LargeInt,
    Float,
    String,
    Memo,
    Date,
    Time,
    DateTime,
    Bytes
};

enum class FieldKind { Data, Calculated };

class Field {
  public:
    Field(DataSet& dataSet, std::string name, FieldType type, FieldKind kind, int index);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    DataSet& GetDataSet() const { return dataSet_; }
    const std::string& FieldName() const { return name_; }
    FieldType DataType() const { return type_; }
    FieldKind Kind() const { return kind_; }
    bool Calculated() const { return kind_ == FieldKind::Calculated; }
    // Declared length of a text column (0 when unbounded or not text).
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }

    // A required field left null stops Post with a message naming it.
    bool Required() const { return required_; }
    void SetRequired(bool on) { required_ = on; }
    // Display format of the platform's number patterns ("###,###,##0.00",
    // "00000000"); the printing layer applies it.
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(std::string format);

    // Reading.
    const Value& AsValue() const;
    bool IsNull() const { return AsValue().IsNull(); }
    std::string AsString() const { return AsValue().AsString(); }
    std::int64_t AsInteger() const { return AsValue().AsInteger(); }
    double AsFloat() const { return AsValue().AsFloat(); }
    bool AsBoolean() const { return AsValue().AsBoolean(); }
    TDateTime AsDateTime() const { return AsValue().AsDateTime(); }

    // Writing: the dataset must be in edit or insert state (calculated fields: inside
    // OnCalcFields). The value is converted to the field's type; an empty text sets a
    // non-text field to null.
    void SetValue(const Value& value);
    void SetAsString(const std::string& value) { SetValue(Value(value)); }
    void SetAsInteger(std::int64_t value) { SetValue(Value(static_cast<long long>(value))); }
    void SetAsFloat(double value) { SetValue(Value(value)); }
    void SetAsBoolean(bool value) { SetValue(Value(value)); }
    void SetAsDateTime(TDateTime value) { SetValue(Value::DateTime(value)); }
    void Clear() { SetValue(Value()); }

    // Converts a value to this field's type (used by SetValue).
    Value Coerce(const Value& value) const;

  private:
    friend class DataSet;
    DataSet& dataSet_;
    std::string name_;
    FieldType type_;
    FieldKind kind_;
    int index_;  // position in the row (data) or in the calculated values (calculated)
    int size_ = 0;
    bool required_ = false;
    std::string displayFormat_;
};

}  // namespace dorvan::db
