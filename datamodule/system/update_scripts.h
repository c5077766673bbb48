#pragma once
// Update scripts: the "*.sql" files of the folder "database_scripts" beside the executable
// bring a shop's database to a new version. Each is applied once, as a whole in one
// transaction, in file-name order, and remembered in the optional script log `_scriptlog`
// (or, without it, in the event log under "UpdateScript"). While the step runs, a database
// lock keeps other workstations starting at the same moment waiting, so no script is
// applied twice.

#include <chrono>
#include <string>
#include <vector>

namespace dorvan {

class TDM;

// What the update step did with one script file.
enum class TScriptOutcomeKind {
    Applied,         // run and committed
    Failed,          // run, rolled back, logged with status 0
    AlreadyApplied,  // logged as applied (its file is removed)
    FailedBefore,    // logged with another status: left alone
    Skipped,         // not run: unreadable, declined, or the lock was not had
};

struct TScriptOutcome {
    std::string script;
    TScriptOutcomeKind kind = TScriptOutcomeKind::Skipped;
    std::string note;  // the reason of a failure or a skip, one line
};

// "applied", "failed", "already-applied", "failed-before", "skipped".
const char* ScriptOutcomeWord(TScriptOutcomeKind kind);

class UpdateScripts {
  public:
    explicit UpdateScripts(TDM& dm);

    // Whether the script log table exists (evaluated by SetNewScriptLogOK).
    bool ScriptLogExists = false;
    // The scripts folder with a trailing "/"; empty: "database_scripts/" in the data folder
    // (the executable's folder, or <prefix>/share/dorvan/ of an installed program).
    std::string Folder;
    // Applied scripts stay in the folder, quietly: the script log remembers them. Set for an
    // installed program, whose scripts folder belongs to the package manager.
    bool KeepAppliedScripts = false;
    // How long the step waits for another workstation's update step to finish.
    std::chrono::milliseconds LockWait{std::chrono::seconds(60)};

    void SetNewScriptLogOK();
    // -2 without the script log table, -1 not logged, else the logged status (0 when the
    // table has no status column).
    int FindScriptlogItem(const std::string& Script);
    // Records the status of a script (nothing without the script log table).
    void AddScriptLogItem(const std::string& Script, int Statusz);
    // Runs one script file in a transaction of ZConnection; on an error it is rolled back.
    // With `Log` the outcome is recorded (status 1 or 0). Nothing is raised for the script's
    // own errors.
    void StartUpdateScript(const std::string& Path, bool Log);
    // The start-up step: applies the pending scripts; when other clients are active it asks
    // before changing the schema, and a refusal disconnects ZConnection and asks the
    // application to terminate.
    void QueryingUpdateScript();

    // The scripts folder in use (with a trailing "/").
    std::string ScriptsFolder() const;
    // What the last QueryingUpdateScript did, in file-name order.
    const std::vector<TScriptOutcome>& Outcomes() const { return outcomes_; }
    // One line when the last QueryingUpdateScript declined to update (naming the active
    // users); "" otherwise.
    const std::string& Refusal() const { return refusal_; }

  private:
    bool RunScript(const std::string& path, const std::string& name, bool log);
    bool HasStatusColumn();

    TDM& dm_;
    std::vector<TScriptOutcome> outcomes_;
    std::string refusal_;
};

}  // namespace dorvan
