#include "db/field.h"

#include <cmath>

#include "db/dataset.h"
#include "db/errors.h"

namespace dorvan::db {

Field::Field(DataSet& dataSet, std::string name, FieldType type, FieldKind kind, int index)
    : dataSet_(dataSet), name_(std::move(name)), type_(type), kind_(kind), index_(index) {}

void Field::SetDisplayFormat(std::string format) {
    displayFormat_ = std::move(format);
}

const Value& Field::AsValue() const {
    return dataSet_.ReadValue(*this);
}

void Field::SetValue(const Value& value) {
    dataSet_.WriteValue(*this, Coerce(value));
}

Value Field::Coerce(const Value& value) const {
    if (value.IsNull())
        return value;
    const bool emptyText = value.IsString() && value.AsString().empty();
    switch (type_) {
        case FieldType::Boolean:
            if (emptyText)
                return {};
            return Value(value.AsBoolean());
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::LargeInt:
            if (emptyText)
                return {};
            return Value(static_cast<long long>(value.AsInteger()));
        case FieldType::Float:
            if (emptyText)
                return {};
            return Value(value.AsFloat());
        case FieldType::String:
        case FieldType::Memo:
        case FieldType::Bytes:
            return Value(value.AsString());
        case FieldType::Date:
            if (emptyText)
                return {};
            return Value::Date(std::trunc(value.AsDateTime()));
        case FieldType::Time: {
            if (emptyText)
                return {};
            const TDateTime v = value.AsDateTime();
            return Value::Time(std::fabs(v - std::trunc(v)));
        }
        case FieldType::DateTime:
            if (emptyText)
                return {};
            return Value::DateTime(value.AsDateTime());
        case FieldType::Unknown:
            break;
    }
    return value;
}

}  // namespace dorvan::db
