#pragma once
// SQL services of the data module: one-row results as text, open result tables, statement
// execution, the server clock and the required-field switch.

#include <memory>
#include <string>
#include <vector>

#include "datamodule/common_types.h"
#include "datamodule/dm_context.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/param.h"
#include "db/query.h"

namespace dorvan {

class SqlServices {
  public:
    explicit SqlServices(DmContext& ctx) : ctx_(ctx) {}

    // First row's values joined by "," (a value is preceded by "," only when the text
    // so far is not empty); "" without rows. Finished statements run unchanged.
    std::string GetSQLResult(const std::string& sql);
    std::string GetSQLResult(const std::string& sql, db::Connection& connection);
    // The same with ":name" parameters bound.
    std::string GetSQLResult(const std::string& sql, const db::ParamValues& params);
    std::string GetSQLResult(const std::string& sql, const db::ParamValues& params,
                             db::Connection& connection);
    // An open query on ZConnection; the caller owns it. The statement-only form sends
    // its text as written (parameter check off); switch SetParamCheck(true) on before
    // giving it ":name" parameters.
    std::unique_ptr<db::Query> GetSQLResultTable(const std::string& sql);
    std::unique_ptr<db::Query> GetSQLResultTable(const std::string& sql,
                                                 const db::ParamValues& params);
    // Runs one statement; errors raise. The result tells what it did: for INSERT, UPDATE,
    // DELETE and MERGE true only when a row was written, changed or deleted; for any other
    // statement true (it ran). Of a script of several statements the last one tells.
    bool ExecSQL(const std::string& sql);
    bool ExecSQL(const std::string& sql, const db::ParamValues& params);
    // All lines as one script (statements separated by ";"); true when the script ran,
    // errors raise.
    bool ExecSQLList(const std::vector<std::string>& list);
    bool ExecSQLList(const std::vector<std::string>& list, db::Connection& connection);
    // The server's local clock, read in a transaction of ZConnection_nonAutoCommit;
    // whole seconds.
    TServerDateTime GetDateTime();
    TDateTime GetDate();
    // Clears the required flag of every field of the dataset.
    static void AutoDisableReqField(db::DataSet& dataSet);

  private:
    DmContext& ctx_;
};

}  // namespace dorvan
