// SQL services of the data module: one-row results as text, open result tables,
// statement execution, the server clock and the required-field switch.

#include "datamodule/core/sql_services.h"

#include "datamodule/core/server_clock.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

std::unique_ptr<db::Query> MakeQuery(db::Connection& connection, const char* name,
                                     const std::string& sql, const db::ParamValues* params) {
    auto q = std::make_unique<db::Query>(connection, name);
    // A finished statement goes to the server exactly as the caller wrote it.
    q->SetParamCheck(params != nullptr);
    q->SetSql({sql});
    if (params != nullptr)
        q->SetParams(*params);
    return q;
}

std::string FirstRowText(db::Query& q) {
    q.Open();
    std::string result;
    if (q.IsEmpty())
        return result;
    for (int i = 0; i < q.FieldCount(); ++i) {
        const db::Field& f = q.Fields(i);
        if (f.Calculated())
            continue;
        if (!result.empty())
            result += ",";
        result += f.AsString();
    }
    return result;
}

// What a statement did: a data-changing statement (INSERT, UPDATE, DELETE, MERGE) did its
// work when it touched a row; any other statement when it ran.
bool StatementDidWork(const db::Query& q) {
    const std::string& tag = q.CommandStatus();
    const std::string verb = tag.substr(0, tag.find(' '));
    if (verb == "INSERT" || verb == "UPDATE" || verb == "DELETE" || verb == "MERGE")
        return q.RowsAffected() > 0;
    return true;
}

}  // namespace

std::string SqlServices::GetSQLResult(const std::string& sql) {
    return GetSQLResult(sql, ctx_.ZConnection);
}

std::string SqlServices::GetSQLResult(const std::string& sql, db::Connection& connection) {
    auto q = MakeQuery(connection, "GetSQLResultSQL", sql, nullptr);
    return FirstRowText(*q);
}

std::string SqlServices::GetSQLResult(const std::string& sql, const db::ParamValues& params) {
    return GetSQLResult(sql, params, ctx_.ZConnection);
}

std::string SqlServices::GetSQLResult(const std::string& sql, const db::ParamValues& params,
                                      db::Connection& connection) {
    auto q = MakeQuery(connection, "GetSQLResultSQL", sql, &params);
    return FirstRowText(*q);
}

std::unique_ptr<db::Query> SqlServices::GetSQLResultTable(const std::string& sql) {
    auto q = MakeQuery(ctx_.ZConnection, "GetSQLResultTableSQL", sql, nullptr);
    q->Open();
    return q;
}

std::unique_ptr<db::Query> SqlServices::GetSQLResultTable(const std::string& sql,
                                                          const db::ParamValues& params) {
    auto q = MakeQuery(ctx_.ZConnection, "GetSQLResultTableSQL", sql, &params);
    q->Open();
    return q;
}

bool SqlServices::ExecSQL(const std::string& sql) {
    auto q = MakeQuery(ctx_.ZConnection, "ExecSQL", sql, nullptr);
    q->ExecSQL();
    return StatementDidWork(*q);
}

bool SqlServices::ExecSQL(const std::string& sql, const db::ParamValues& params) {
    auto q = MakeQuery(ctx_.ZConnection, "ExecSQL", sql, &params);
    q->ExecSQL();
    return StatementDidWork(*q);
}

bool SqlServices::ExecSQLList(const std::vector<std::string>& list) {
    return ExecSQLList(list, ctx_.ZConnection);
}

bool SqlServices::ExecSQLList(const std::vector<std::string>& list, db::Connection& connection) {
    db::Query q(connection, "ExecSQLList");
    q.SetParamCheck(false);
    q.SetSql(list);
    q.ExecSQL();
    return true;
}

TServerDateTime SqlServices::GetDateTime() {
    db::Connection& c = ctx_.ZConnection_nonAutoCommit;
    // One transaction: the server's timestamp is that of the transaction's start, so the
    // six parts belong to the same instant.
    db::Transaction tx(c);
    const std::string year = GetSQLResult("SELECT EXTRACT(YEAR FROM LOCALTIMESTAMP)", c);
    const std::string month = GetSQLResult("SELECT EXTRACT(MONTH FROM LOCALTIMESTAMP)", c);
    const std::string day = GetSQLResult("SELECT EXTRACT(DAY FROM LOCALTIMESTAMP)", c);
    const std::string hour = GetSQLResult("SELECT EXTRACT(HOUR FROM LOCALTIMESTAMP)", c);
    const std::string minute = GetSQLResult("SELECT EXTRACT(MINUTE FROM LOCALTIMESTAMP)", c);
    const std::string second = GetSQLResult("SELECT EXTRACT(SECOND FROM LOCALTIMESTAMP)", c);
    tx.Commit();
    return ComposeServerDateTime(year, month, day, hour, minute, second);
}

TDateTime SqlServices::GetDate() {
    return db::DateOf(GetDateTime().DateTime);
}

void SqlServices::AutoDisableReqField(db::DataSet& dataSet) {
    for (int i = 0; i < dataSet.FieldCount(); ++i)
        dataSet.Fields(i).SetRequired(false);
}

}  // namespace dorvan
