#include "datamodule/support/service_support.h"

#include <stdexcept>

#include "db/field.h"

namespace dorvan {

std::unique_ptr<db::Query> OpenQuery(db::Connection& connection, std::string name,
                                     std::vector<std::string> sql, const db::ParamValues& params) {
    auto q = std::make_unique<db::Query>(connection, std::move(name));
    q->SetSql(std::move(sql));
    q->SetParams(params);
    q->Open();
    return q;
}

long ExecQuery(db::Connection& connection, std::string name, std::vector<std::string> sql,
               const db::ParamValues& params) {
    db::Query q(connection, std::move(name));
    q.SetSql(std::move(sql));
    q.SetParams(params);
    q.ExecSQL();
    return q.RowsAffected();
}

int IntField(const db::DataSet& dataSet, const std::string& column) {
    const db::Field& f = dataSet.FieldByName(column);
    return f.IsNull() ? 0 : static_cast<int>(f.AsInteger());
}

long long Int64Field(const db::DataSet& dataSet, const std::string& column) {
    const db::Field& f = dataSet.FieldByName(column);
    return f.IsNull() ? 0 : static_cast<long long>(f.AsInteger());
}

double FloatField(const db::DataSet& dataSet, const std::string& column) {
    const db::Field& f = dataSet.FieldByName(column);
    return f.IsNull() ? 0.0 : f.AsFloat();
}

std::string TextField(const db::DataSet& dataSet, const std::string& column) {
    const db::Field& f = dataSet.FieldByName(column);
    return f.IsNull() ? std::string() : f.AsString();
}

bool IsNullField(const db::DataSet& dataSet, const std::string& column) {
    return dataSet.FieldByName(column).IsNull();
}

std::string NormalLangCode(const std::string& code) {
    if (code.empty() || code == "0")
        return kHungarianLang;
    if (code.size() != 8)
        throw std::invalid_argument("invalid language code '" + code + "'");
    std::string lower = AsciiLower(code);
    for (char c : lower) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (!hex)
            throw std::invalid_argument("invalid language code '" + code + "'");
    }
    return lower;
}

std::string LangColumn(const std::string& code, const std::string& prefix) {
    return prefix + NormalLangCode(code);
}

std::string PrevTable(int prev, const std::string& table) {
    return prev == 1 ? "_prev_" + table : table;
}

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool IsEditing(const db::DataSet& dataSet) {
    return dataSet.State() == db::DataSetState::Edit || dataSet.State() == db::DataSetState::Insert;
}

}  // namespace dorvan
