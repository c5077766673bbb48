#include "db/query.h"

#include <cmath>

#include "db/errors.h"
#include "db/sql_params.h"

namespace dorvan::db {

FieldType FieldTypeFromOid(Oid type) {
    switch (type) {
        case 16:
            return FieldType::Boolean;
        case 21:
            return FieldType::SmallInt;
        case 23:
        case 26:
            return FieldType::Integer;
        case 20:
            return FieldType::LargeInt;
        case 700:
        case 701:
        case 1700:
            return FieldType::Float;
        case 25:
            return FieldType::Memo;
        case 1082:
            return FieldType::Date;
        case 1083:
        case 1266:
            return FieldType::Time;
        case 1114:
        case 1184:
            return FieldType::DateTime;
        case 17:
            return FieldType::Bytes;
        default:
            return FieldType::String;
    }
}

Value ValueFromText(FieldType type, const std::string& text) {
    switch (type) {
        case FieldType::Boolean:
            return Value(text == "t" || text == "true" || text == "1");
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::LargeInt: {
            std::int64_t v = 0;
            if (ParseInteger(text, v))
                return Value(static_cast<long long>(v));
            return Value(text);
        }
        case FieldType::Float: {
            double v = 0;
            if (ParseDouble(text, v))
                return Value(v);
            return Value(text);
        }
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime: {
            auto v = ParsePgDateTime(text);
            if (!v)
                return Value(text);  // "infinity" and the like stay text
            if (type == FieldType::Date)
                return Value::Date(*v);
            if (type == FieldType::Time)
                return Value::Time(*v);
            return Value::DateTime(*v);
        }
        default:
            return Value(text);
    }
}

Query::Query(Connection& connection, std::string name)
    : DataSet(std::move(name)), connection_(&connection) {}

Query::~Query() = default;

void Query::SetConnection(Connection& connection) {
    Close();
    connection_ = &connection;
}

std::string Query::SqlText() const {
    std::string out;
    for (std::size_t i = 0; i < sql_.size(); ++i) {
        if (i > 0)
            out += '\n';
        out += sql_[i];
    }
    return out;
}

void Query::SetSql(std::vector<std::string> lines) {
    sql_ = std::move(lines);
    SqlChanged();
}

void Query::SetSqlText(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            if (!cur.empty() && cur.back() == '\r')
                cur.pop_back();
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    lines.push_back(cur);
    SetSql(std::move(lines));
}

void Query::AddLine(const std::string& line) {
    sql_.push_back(line);
    SqlChanged();
}

void Query::SetLine(std::size_t index, const std::string& line) {
    if (index >= sql_.size())
        sql_.resize(index + 1);
    sql_[index] = line;
    SqlChanged();
}

void Query::SetParamCheck(bool on) {
    paramCheck_ = on;
    SqlChanged();
}

void Query::SqlChanged() {
    Close();
    ParsedSql parsed;
    if (paramCheck_) {
        parsed = ParseNamedParams(SqlText());
    } else {
        parsed.text = SqlText();
    }
    std::vector<Param> params;
    for (const auto& name : parsed.names) {
        Param p(name);
        if (Param* old = FindParam(name))
            p.SetValue(old->AsValue());
        params.push_back(std::move(p));
    }
    params_ = std::move(params);
    parsedText_ = std::move(parsed.text);
}

Param* Query::FindParam(const std::string& name) {
    for (auto& p : params_) {
        if (SameName(p.Name(), name))
            return &p;
    }
    return nullptr;
}

Param& Query::ParamByName(const std::string& name) {
    Param* p = FindParam(name);
    if (p == nullptr)
        throw DataSetError(Name() + ": Parameter '" + name + "' not found");
    return *p;
}

void Query::SetParams(const ParamValues& values) {
    for (const auto& [name, value] : values)
        ParamByName(name).SetValue(value);
}

Result Query::Run() {
    if (params_.empty())
        return connection_->Execute(parsedText_);
    std::vector<PgParam> values;
    values.reserve(params_.size());
    for (const auto& p : params_) {
        std::string text;
        if (p.AsValue().ToPgText(text)) {
            values.emplace_back(std::move(text));
        } else {
            values.emplace_back(std::nullopt);
        }
    }
    return connection_->Execute(parsedText_, values);
}

void Query::ExecSQL() {
    Close();
    Result r = Run();
    rowsAffected_ = r.AffectedRows();
    commandStatus_ = r.CommandStatus();
}

void Query::InternalOpen() {
    Result r = Run();
    const int cols = r.Columns();
    std::vector<ColumnDef> defs(static_cast<std::size_t>(cols));
    sources_.assign(static_cast<std::size_t>(cols), ColumnSource{});
    for (int c = 0; c < cols; ++c) {
        ColumnDef& d = defs[static_cast<std::size_t>(c)];
        d.name = r.ColumnName(c);
        const Oid type = r.ColumnType(c);
        d.type = FieldTypeFromOid(type);
        const int mod = r.ColumnModifier(c);
        if ((type == 1042 || type == 1043) && mod >= 4)
            d.size = mod - 4;
        ColumnSource& s = sources_[static_cast<std::size_t>(c)];
        s.table = r.ColumnTable(c);
        s.tableColumn = r.ColumnTableColumn(c);
        if (s.table != 0 && s.tableColumn > 0) {
            const TableInfo& t = connection_->GetTableInfo(s.table, s.tableColumn);
            if (static_cast<std::size_t>(s.tableColumn) <= t.columns.size()) {
                const ColumnInfo& ci = t.columns[static_cast<std::size_t>(s.tableColumn - 1)];
                d.required = ci.notNull && !ci.hasDefault;
            }
        }
    }
    SetDataFields(defs);
    for (const auto& name : expected_) {
        if (FindField(name) == nullptr)
            throw FieldNotFound(name, Name());
    }
    auto& rows = Rows();
    rows.reserve(static_cast<std::size_t>(r.Rows()));
    for (int row = 0; row < r.Rows(); ++row) {
        Row values(static_cast<std::size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            if (!r.IsNull(row, c)) {
                values[static_cast<std::size_t>(c)] =
                    ValueFromText(defs[static_cast<std::size_t>(c)].type, r.Text(row, c));
            }
        }
        rows.push_back(std::move(values));
    }
}

void Query::InternalClose() {
    sources_.clear();
}

Query::WriteTarget Query::Target(bool needKey) {
    WriteTarget target;
    Oid table = 0;
    for (const auto& s : sources_) {
        if (s.table == 0)
            continue;
        if (table != 0 && s.table != table) {
            throw DataSetError(Name() +
                               ": cannot write, the result's columns come from several tables");
        }
        table = s.table;
    }
    if (table == 0)
        throw DataSetError(Name() + ": cannot write, the result has no table columns");
    target.table = &connection_->GetTableInfo(table);
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        if (sources_[i].table != table)
            continue;
        target.columns.push_back(static_cast<int>(i));
        if (ColumnName(target, static_cast<int>(i)) == "kod")
            target.key = static_cast<int>(i);
    }
    if (needKey && target.key < 0) {
        throw DataSetError(Name() + ": cannot write, the result has no \"kod\" column of " +
                           target.table->name);
    }
    return target;
}

std::string Query::TableName() {
    if (!Active())
        throw DataSetError(Name() + ": Cannot perform this operation on a closed dataset");
    return Target(false).table->name;
}

std::string Query::ColumnName(const WriteTarget& target, int field) const {
    const int attnum = sources_[static_cast<std::size_t>(field)].tableColumn;
    return target.table->columns.at(static_cast<std::size_t>(attnum - 1)).name;
}

Query::Row Query::ReadBack(const Row& row, const WriteTarget& target, const Result& result) const {
    Row stored = row;
    if (result.Rows() < 1)
        return stored;
    for (std::size_t k = 0; k < target.columns.size(); ++k) {
        const auto field = static_cast<std::size_t>(target.columns[k]);
        const int c = static_cast<int>(k);
        stored[field] =
            result.IsNull(0, c)
                ? Value()
                : ValueFromText(Fields(static_cast<int>(field)).DataType(), result.Text(0, c));
    }
    return stored;
}

namespace {

std::string ReturningList(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names)
        out += (out.empty() ? "" : ", ") + QuoteIdent(n);
    return out;
}

PgParam ToParam(const Value& v) {
    std::string text;
    if (v.ToPgText(text))
        return text;
    return std::nullopt;
}

}  // namespace

Query::Row Query::InternalInsert(const Row& row, const std::vector<bool>& assigned) {
    const WriteTarget target = Target(false);
    std::vector<std::string> all;
    std::string columns, placeholders;
    std::vector<PgParam> values;
    for (int field : target.columns) {
        const std::string name = ColumnName(target, field);
        all.push_back(name);
        if (!assigned[static_cast<std::size_t>(field)])
            continue;
        values.push_back(ToParam(row[static_cast<std::size_t>(field)]));
        columns += (columns.empty() ? "" : ", ") + QuoteIdent(name);
        placeholders += (placeholders.empty() ? "$" : ", $") + std::to_string(values.size());
    }
    std::string sql = "INSERT INTO " + target.table->QualifiedName();
    sql += values.empty() ? " DEFAULT VALUES" : " (" + columns + ") VALUES (" + placeholders + ")";
    sql += " RETURNING " + ReturningList(all);
    Result r = connection_->Execute(sql, values);
    return ReadBack(row, target, r);
}

Query::Row Query::InternalUpdate(const Row& oldRow, const Row& newRow,
                                 const std::vector<bool>& changed) {
    const WriteTarget target = Target(true);
    std::vector<std::string> all;
    std::string sets;
    std::vector<PgParam> values;
    for (int field : target.columns) {
        const std::string name = ColumnName(target, field);
        all.push_back(name);
        if (!changed[static_cast<std::size_t>(field)])
            continue;
        values.push_back(ToParam(newRow[static_cast<std::size_t>(field)]));
        sets +=
            (sets.empty() ? "" : ", ") + QuoteIdent(name) + " = $" + std::to_string(values.size());
    }
    if (values.empty())
        return newRow;  // only client-side columns changed
    const Value& key = oldRow[static_cast<std::size_t>(target.key)];
    values.push_back(ToParam(key));
    const std::string sql = "UPDATE " + target.table->QualifiedName() + " SET " + sets +
                            " WHERE kod = $" + std::to_string(values.size()) + " RETURNING " +
                            ReturningList(all);
    Result r = connection_->Execute(sql, values);
    if (r.Rows() == 0) {
        throw DataSetError(Name() + ": the row to update (kod = " + key.AsString() +
                           ") no longer exists in " + target.table->name);
    }
    return ReadBack(newRow, target, r);
}

void Query::InternalDelete(const Row& row) {
    const WriteTarget target = Target(true);
    const Value& key = row[static_cast<std::size_t>(target.key)];
    Result r = connection_->Execute(
        "DELETE FROM " + target.table->QualifiedName() + " WHERE kod = $1", {ToParam(key)});
    if (r.AffectedRows() == 0) {
        throw DataSetError(Name() + ": the row to delete (kod = " + key.AsString() +
                           ") no longer exists in " + target.table->name);
    }
}

}  // namespace dorvan::db
