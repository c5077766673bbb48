#include "datamodule/core/query_action.h"

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

#include "config/error_log.h"
#include "config/ui_port.h"
#include "datamodule/support/service_support.h"
#include "db/query.h"

namespace dorvan {

namespace {

// Clears the splash table line and restores the cursor when the action ends, however it ends.
class ActionScope {
  public:
    explicit ActionScope(UiPort& ui) : ui_(ui) { ui_.SetWaitCursor(true); }
    ~ActionScope() {
        ui_.SetTableName("");
        ui_.SetWaitCursor(false);
    }
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

  private:
    UiPort& ui_;
};

void ReportFailure(UiPort& ui, const std::string& message, const std::string& typeName) {
    ui.ShowMessage("Error", message, MessageIcon::Error);
    WriteErrorLog(message + " [" + typeName + "]");
}

void OpenOrClose(db::Query& query, const std::string& action) {
    if (action == kQueryOpen) {
        query.Open();
    } else if (action == kQueryClose) {
        if (IsEditing(query)) {
            query.Cancel();
        }
        query.Close();
    }
}

void RefreshKeepingKey(db::Query& query) {
    long long key = -1;
    if (query.Active() && !query.IsEmpty()) {
        if (const db::Field* kod = query.FindField("kod"); kod != nullptr && !kod->IsNull()) {
            key = static_cast<long long>(kod->AsInteger());
        }
    }
    query.Close();
    query.Open();
    if (key >= 0) {
        query.Locate("kod", {db::Value(key)});
    }
}

}  // namespace

std::string ErrorTypeName(const std::exception& error) {
    const char* mangled = typeid(error).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    std::string name = (status == 0 && demangled) ? demangled.get() : mangled;
    if (const auto colon = name.rfind("::"); colon != std::string::npos) {
        name.erase(0, colon + 2);
    }
    return name;
}

bool QueryAction(DmContext& owner, db::DataSet& q, const std::string& action) {
    bool result = true;
    UiPort& ui = owner.UserInterface();
    ActionScope scope(ui);
    if (!owner.ZConnection.Connected()) {
        return result;
    }
    auto* query = dynamic_cast<db::Query*>(&q);
    if (q.Tag() >= 0 && q.Tag() != 10) {
        ui.SetTableName(q.Name());
        try {
            if (query != nullptr) {
                OpenOrClose(*query, action);
            }
        } catch (const std::exception& e) {
            ReportFailure(ui, e.what(), ErrorTypeName(e));
            result = false;
        }
    }
    if (action == kQueryRefresh && query != nullptr) {
        try {
            RefreshKeepingKey(*query);
        } catch (const std::exception&) {
            result = false;
        }
    }
    return result;
}

bool OpenAllQueries(DmContext& owner, const std::string& action) {
    bool result = true;
    UiPort& ui = owner.UserInterface();
    ActionScope scope(ui);
    try {
        if (owner.ZConnection.Connected()) {
            for (db::DataSet* q : owner.Queries) {
                if (dynamic_cast<db::Query*>(q) != nullptr && !QueryAction(owner, *q, action)) {
                    result = false;
                }
            }
        }
    } catch (...) {
        // Anything outside the queries' own handling ends the walk without a message; the
        // queries after it were not reached, so the walk did not succeed.
        result = false;
    }
    return result;
}

}  // namespace dorvan
