#include "report/invoice/dataset_adapter.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <string>

#include "db/date_time.h"
#include "db/field.h"
#include "report/engine/report_error.h"

namespace dorvan {
namespace {

QDate ToQDate(db::TDateTime value) {
    const db::DateParts d = db::DecodeDate(value);
    return QDate(d.year, d.month, d.day);
}

QTime ToQTime(db::TDateTime value) {
    const db::TimeParts t = db::DecodeTime(value);
    return QTime(t.hour, t.minute, t.second, t.millisecond);
}

}  // namespace

void DataSetAdapter::First() {
    if (dataSet_.Active())
        dataSet_.First();
}

void DataSetAdapter::Next() {
    if (dataSet_.Active())
        dataSet_.Next();
}

bool DataSetAdapter::Eof() const {
    return !dataSet_.Active() || dataSet_.Eof();
}

bool DataSetAdapter::HasColumn(std::string_view name) const {
    return dataSet_.FindField(std::string(name)) != nullptr;
}

QVariant DataSetAdapter::Value(std::string_view name) const {
    const db::Field* field = dataSet_.FindField(std::string(name));
    if (field == nullptr) {
        throw report::ReportError(dataSet_.Name() + ": Field '" + std::string(name) +
                                  "' not found");
    }
    if (Eof())
        return {};
    return ToVariant(*field);
}

std::string DataSetAdapter::DisplayFormat(std::string_view name) const {
    const db::Field* field = dataSet_.FindField(std::string(name));
    return field != nullptr ? field->DisplayFormat() : std::string();
}

QVariant DataSetAdapter::ToVariant(const db::Field& field) {
    const db::Value& v = field.AsValue();
    if (v.IsNull())
        return {};
    switch (field.DataType()) {
        case db::FieldType::Boolean:
            return QVariant(v.AsBoolean());
        case db::FieldType::SmallInt:
        case db::FieldType::Integer:
        case db::FieldType::LargeInt:
            return QVariant(static_cast<qlonglong>(v.AsInteger()));
        case db::FieldType::Float:
            return QVariant(v.AsFloat());
        case db::FieldType::Date:
            return QVariant(ToQDate(v.AsDateTime()));
        case db::FieldType::Time:
            return QVariant(ToQTime(v.AsDateTime()));
        case db::FieldType::DateTime: {
            const db::TDateTime t = v.AsDateTime();
            return QVariant(QDateTime(ToQDate(t), ToQTime(t)));
        }
        case db::FieldType::Bytes: {
            const std::string bytes = v.AsString();
            return QVariant(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        }
        case db::FieldType::String:
        case db::FieldType::Memo:
        case db::FieldType::Unknown:
            break;
    }
    return QVariant(QString::fromStdString(v.AsString()));
}

}  // namespace dorvan
