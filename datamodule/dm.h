#pragma once
// The data module: the face the rest of the program calls (`DM->GetSQLResult(...)`).
// Its services are defined in files grouped by concern (sql_services.cpp,
// record_stamp.cpp, ...), all working on the shared DmContext.

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

class TDM : public DmContext {
  public:
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // Gives ZConnection, ZConnection_nonAutoCommit and ZConnection_behind the same
    // parameters and connects them in that order.
    void ConnectLocal(const db::ConnectionParams& params);
    void DisconnectAll();

    // --- SQL services (sql_services.cpp) ---
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
    // Return true; errors raise.
    bool ExecSQL(const std::string& sql);
    bool ExecSQL(const std::string& sql, const db::ParamValues& params);
    // All lines as one script (statements separated by ";").
    bool ExecSQLList(const std::vector<std::string>& list);
    bool ExecSQLList(const std::vector<std::string>& list, db::Connection& connection);
    // The server's local clock, read in a transaction of ZConnection_nonAutoCommit;
    // whole seconds.
    TServerDateTime GetDateTime();
    TDateTime GetDate();
    // Clears the required flag of every field of the dataset.
    void AutoDisableReqField(db::DataSet& dataSet);

    // --- Record stamp (record_stamp.cpp) ---
    // Writes the user and server-time columns of the row about to be posted.
    void StoreUserData(db::DataSet& dataSet);
};

}  // namespace dorvan
