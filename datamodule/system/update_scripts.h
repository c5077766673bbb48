#pragma once
// Update scripts: the "*.sql" files of the folder "database_scripts" beside the executable
// bring a shop's database to a new version. Each is applied once, as a whole in one
// transaction, in file-name order, and remembered in the optional script log `_scriptlog`
// (or, without it, in the event log under "UpdateScript").
//
// What keeps a start-up safe:
// - only regular files (after following links) up to MaxScriptBytes are read, never
//   waiting on a FIFO or a device; anything else is skipped with one line;
// - a file name or a text that is not UTF-8 is read as Windows-1250; the script log holds
//   the UTF-8 form of the name;
// - a script that would end the transaction it runs in (BEGIN, COMMIT, ROLLBACK, END, ...)
//   is refused before it runs and logged as failed; nothing of it is applied;
// - every script runs in a transaction of its own that holds the update lock of the
//   database (a transaction-level lock, so it holds through a transaction-mode connection
//   pooler) and looks at the script log again under it: workstations starting at the same
//   moment apply each script once;
// - a script waits at most ScriptLockTimeout for a lock of the database; one that waits
//   longer is not logged and is tried again at the next start (later scripts wait for it);
// - session settings a script changes are restored inside its transaction, so they neither
//   stay for the rest of the start-up nor reach other clients of a pooled connection;
// - warnings a script raises (a unique key it could not make over rows written before) are
//   shown, one line each.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace dorvan {

class TDM;

// What the update step did with one script file.
enum class TScriptOutcomeKind {
    Applied,         // run and committed
    Failed,          // run and rolled back, or refused before it ran; logged with status 0
    AlreadyApplied,  // logged as applied (its file is removed)
    FailedBefore,    // logged with another status: left alone
    Skipped,         // not run: unreadable, declined, or another workstation kept the lock
    Postponed,       // waited too long for a lock of the database: not logged, tried again
};

struct TScriptOutcome {
    std::string script;  // the file name (its UTF-8 form)
    TScriptOutcomeKind kind = TScriptOutcomeKind::Skipped;
    std::string note;  // the reason of a failure or a skip, the warnings of a script; one line
};

// "applied", "failed", "already-applied", "failed-before", "skipped", "postponed".
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
    // How long a script waits for another workstation's script to finish.
    std::chrono::milliseconds LockWait{std::chrono::seconds(60)};
    // How long a statement of a script waits for a lock of the database (a table another
    // session is writing, ...); short, since other sessions' requests for that table queue
    // behind it meanwhile.
    std::chrono::milliseconds ScriptLockTimeout{std::chrono::seconds(10)};
    // Larger files are not read.
    std::size_t MaxScriptBytes = 16u << 20;

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
    // Forgets the failure of `Script` (its script log row with status 0), so that the next
    // update step applies it again; false when the script is not logged as failed.
    bool RetryScript(const std::string& Script);

    // The scripts folder in use (with a trailing "/").
    std::string ScriptsFolder() const;
    // What the last QueryingUpdateScript did, in file-name order.
    const std::vector<TScriptOutcome>& Outcomes() const { return outcomes_; }
    // One line when the last QueryingUpdateScript declined to update (naming the active
    // users); "" otherwise.
    const std::string& Refusal() const { return refusal_; }

    // A script file found in the folder: its name as stored on disk and as UTF-8, and why it
    // cannot be read ("" when it can).
    struct Entry {
        std::string file;
        std::string name;
        std::string problem;
    };

  private:
    // How a script's turn ended, for the loop over the folder.
    enum class Turn { Done, Busy, Postponed };

    Turn RunScript(const Entry& entry, const std::string& folder, bool log);
    bool HasStatusColumn();
    // Whether the script is logged (status >= 0, or in the event log without a script log),
    // looked up inside the current transaction; the logged status, -1 when it is not.
    int LoggedStatus(const std::string& name);
    // Records `status` for a script that did not commit its own transaction.
    void RecordOutcome(const std::string& name, int status);
    void AddEventLogRow(const std::string& name);
    void RemoveAppliedFile(const std::string& folder, const Entry& entry);

    TDM& dm_;
    std::vector<TScriptOutcome> outcomes_;
    std::string refusal_;
    std::vector<std::string> undeletable_;
    std::string deleteError_;
};

}  // namespace dorvan
