#pragma once
// The start-up sequence of the data module and the queries it opens itself.

#include <functional>
#include <string>

#include "datamodule/core/connect_failure.h"
#include "datamodule/module_query.h"
#include "db/connection.h"

namespace dorvan {

class TDM;

class Startup {
  public:
    explicit Startup(TDM& dm);

    // The start-up sequence: configuration files, network addresses, the main connection
    // (bounded attempts, then the user is asked whether to go on; giving up raises
    // ConnectGiveUp with a one-line reason), the companion connections, the update scripts,
    // the program version at the central information service, the bulk opening of the
    // module's queries, the start-up checks. Exceptions end the sequence at their step; a
    // step that ends the program calls UiPort::RequestTerminate.
    void DataModuleCreate();
    ConnectRetryPolicy ConnectRetry;
    // Steps of other service groups, run at their place in the sequence when set.
    std::function<void()> OnClearUserCache;        // empties the user cache of GetUserInfo
    std::function<void()> OnQueryingUpdateScript;  // applies pending update scripts
    std::function<void()> OnStartupChecks;  // currency check, category self test, owner partner

    // The connection test of the start-up: all columns of the owner table.
    ModuleQuery TesztZQuery;
    // A document header by key; empty until `biz` is given.
    ModuleQuery Raktar_mozgas_fejZQuery;

  private:
    // Steps 2 and 3 to 6, also run again before each new round of connection attempts.
    void ReadConfiguration();
    void ApplyServerRules();
    std::string DescribeFailure(ConnectFailureReason reason, const std::string& detail) const;
    db::ConnectionParams ConfiguredParams() const;
    void ConnectAttempt();
    void ConnectMain();
    void ConnectCompanions();
    void ReadCentralVersion();

    TDM& dm_;
    std::string configuredPort_;  // the port the configuration names, before the rules
};

}  // namespace dorvan
