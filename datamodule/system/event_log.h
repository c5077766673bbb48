#pragma once
// The event log (`_masterlog`): business operations recorded with the server's time and the
// signed-in user, written through ZConnection_behind so that a log row neither commits nor
// disturbs the main connection's work.

#include <exception>
#include <string>

namespace dorvan {

class TDM;

namespace db {
class DataSet;
}

// What a dataset does after its delete failed: raise the error (Fail), end silently
// (Abort) or try again (Retry).
enum class TDataAction { Fail, Abort, Retry };

class EventLog {
  public:
    explicit EventLog(TDM& dm) : dm_(dm) {}

    // Appends a row: server date, server time in the long time format, the user, the
    // operation and its description. Database errors raise.
    void AddLogItem(const std::string& Muvelet, const std::string& Leiras);
    // True when a row with exactly this operation and description exists.
    bool FindLogItem(const std::string& Muvelet, const std::string& Leiras);
    // Delete-error handler of a dataset: tells the user the row is referenced elsewhere,
    // with the database's message; `Action` stays Fail, so the error still reaches the caller.
    void DeleteError(db::DataSet* Sender, const std::exception& E, TDataAction& Action);

  private:
    TDM& dm_;
};

}  // namespace dorvan
