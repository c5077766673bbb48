#pragma once
// What the services of the data module share: the four connections, the module's lists,
// the settings record and the user-interface port. Service groups (numbering, reversal, pricing,
// ...) work on this context so that each group can live in files of its own.

#include <map>
#include <string>
#include <vector>

#include "config/main_table.h"
#include "config/ui_port.h"
#include "db/connection.h"
#include "db/dataset.h"

namespace dorvan {

struct DmContext {
    DmContext();

    // Main connection: auto-commit, read committed; every ordinary read and write.
    db::Connection ZConnection{"ZConnection"};
    // Explicit transactions of their own (the server clock); serializable.
    db::Connection ZConnection_nonAutoCommit{"ZConnection_nonAutoCommit"};
    // Writes that must stay out of the main connection's transactions (event log,
    // presence); serializable.
    db::Connection ZConnection_behind{"ZConnection_behind"};
    // The central information service (fixed parameters).
    db::Connection ZConnection_info{"ZConnection_info"};

    // Statements executed as one script by ExecSQLList.
    std::vector<std::string> SQLList;
    // Invoice numbers collected by the document reversal.
    std::vector<std::string> SzallitoSzamlaLista;

    // The module's own query components in their order of declaration; the bulk
    // open/refresh of the module walks this list. Components register themselves
    // (RegisterQuery) when the module is built; the module does not own them through it.
    std::vector<db::DataSet*> Queries;
    void RegisterQuery(db::DataSet& query) { Queries.push_back(&query); }

    // Whether the database has the unique key `name` (a valid unique index or constraint of
    // that name): the release's update scripts leave a key out where rows written before
    // break it, and a service that leans on one then writes under a lock instead (see
    // datamodule/support/key_lock.h). Asked once per key on ZConnection; ForgetUniqueKeys
    // (the update step calls it) makes the next call ask again.
    bool HasUniqueKey(const std::string& name);
    void ForgetUniqueKeys() { uniqueKeys_.clear(); }

    // The global settings record and the installed user-interface port.
    TMainTable& Settings() const { return MainTable(); }
    UiPort& UserInterface() const { return Ui(); }

  private:
    std::map<std::string, bool> uniqueKeys_;
};

}  // namespace dorvan
