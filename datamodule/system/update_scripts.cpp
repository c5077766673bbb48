#include "datamodule/system/update_scripts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>
#include <thread>

#include "config/folders.h"
#include "config/format_settings.h"
#include "config/ui_port.h"
#include "datamodule/core/server_clock.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "datamodule/system/script_text.h"
#include "db/errors.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

namespace fs = std::filesystem;

// The update lock of the database: taken by each script's transaction and released with it.
constexpr int kLockClass = 0x44525653;  // "DRVS"
constexpr int kLockObject = 1;

// SQLSTATE of a lock wait that ran out (lock_timeout).
constexpr const char* kLockNotAvailable = "55P03";

std::string DialogCaption() {
    return std::string(kApplicationTitle) + " dialog";
}

// A message on one line: line breaks become blanks.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string JoinNames(const std::vector<std::string>& names, const char* separator) {
    std::string text;
    for (const std::string& n : names) {
        if (!text.empty()) {
            text += separator;
        }
        text += n;
    }
    return text;
}

// Why a folder entry (links followed) cannot be read as a script; "" when it can.
std::string EntryProblem(const std::string& path, std::size_t maxBytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::string("cannot be opened: ") + std::strerror(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return "a folder, not a file";
    }
    if (S_ISFIFO(st.st_mode)) {
        return "a FIFO, not a file";
    }
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
        return "a device, not a file";
    }
    if (!S_ISREG(st.st_mode)) {
        return "not a regular file";
    }
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        return "larger than " + std::to_string(maxBytes) + " bytes";
    }
    return {};
}

// The "*.sql" entries of a folder (the extension in any letter case), in the byte order of
// their names, each with its UTF-8 name and what stands in the way of reading it.
std::vector<UpdateScripts::Entry> ScriptEntries(const std::string& folder, std::size_t maxBytes) {
    std::vector<UpdateScripts::Entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (file.size() <= 4 || AsciiLower(file.substr(file.size() - 4)) != ".sql") {
            continue;
        }
        entries.push_back({file, TextAsUtf8(file), EntryProblem(folder + file, maxBytes)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.file < b.file; });
    return entries;
}

// Reads a whole script file. The file is opened without waiting (a FIFO put in its place
// since it was listed cannot block) and must be a regular file of at most `maxBytes`.
bool ReadScriptFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                    std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::string("cannot be read: ") + std::strerror(errno);
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > maxBytes) {
            error = "larger than " + std::to_string(maxBytes) + " bytes";
            return false;
        }
    }
}

// Takes the update lock inside the open transaction of `connection`, waiting at most `wait`
// (the window system keeps being served meanwhile); false when another workstation kept it.
bool TakeUpdateLock(db::Connection& connection, std::chrono::milliseconds wait, UiPort& ui) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + wait;
    for (;;) {
        const auto q = OpenQuery(connection, "UpdateLockSQL",
                                 {"select pg_try_advisory_xact_lock(:class, :object) as held"},
                                 {{"class", kLockClass}, {"object", kLockObject}});
        if (q->FieldByName("held").AsBoolean()) {
            return true;
        }
        if (Clock::now() >= until) {
            return false;
        }
        ui.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// The session's settings a script may change, its user and role, and the start of the
// transaction it runs in.
struct SessionState {
    std::map<std::string, std::string> settings;
    std::string currentUser;
    std::string sessionUser;
    std::string transactionStart;
};

SessionState ReadSession(db::Connection& connection) {
    const db::Result r = connection.Execute(
        "SELECT name, setting FROM pg_catalog.pg_settings"
        " WHERE context IN ('user', 'superuser') AND name NOT LIKE 'transaction\\_%'"
        " UNION ALL SELECT ' current_user', current_user::text"
        " UNION ALL SELECT ' session_user', session_user::text"
        " UNION ALL SELECT ' now', now()::text");
    SessionState state;
    for (int row = 0; row < r.Rows(); ++row) {
        const std::string name = r.Text(row, 0);
        const std::string value = r.Text(row, 1);
        if (name == " current_user") {
            state.currentUser = value;
        } else if (name == " session_user") {
            state.sessionUser = value;
        } else if (name == " now") {
            state.transactionStart = value;
        } else {
            state.settings.emplace(name, value);
        }
    }
    return state;
}

// Puts back, inside the current transaction, what a script changed of the session: settings
// it SET (without LOCAL), the role or session user it took, and temporary tables, prepared
// statements, cursors, listened channels and session locks it left. Committed with the
// script, so a pooled server connection goes back to the pool as it came.
void RestoreSession(db::Connection& connection, const SessionState& before,
                    const SessionState& after) {
    if (after.sessionUser != before.sessionUser) {
        connection.Execute("RESET SESSION AUTHORIZATION");
    }
    if (after.currentUser != before.currentUser) {
        connection.Execute("RESET ROLE");
    }
    // Settings that came into being meanwhile (a library the script loaded defines its own)
    // keep their defaults.
    for (const auto& [name, value] : after.settings) {
        const auto old = before.settings.find(name);
        if (old != before.settings.end() && old->second != value) {
            connection.Execute("SELECT pg_catalog.set_config($1, $2, false)", {name, old->second});
        }
    }
    // Statements PREPAREd in SQL only: those of the client protocol (a pooler's among them)
    // stay.
    connection.Execute(
        "DISCARD TEMP; CLOSE ALL; UNLISTEN *; SELECT pg_catalog.pg_advisory_unlock_all(); "
        "DO $$ DECLARE n text; BEGIN"
        " FOR n IN SELECT name FROM pg_catalog.pg_prepared_statements WHERE from_sql LOOP"
        " EXECUTE format('DEALLOCATE %I', n); END LOOP; END $$");
}

// Hands the warnings the server sends while it lives to `lines`, one line each.
class WarningCollector {
  public:
    WarningCollector(db::Connection& connection, std::vector<std::string>& lines)
        : connection_(connection) {
        connection_.SetNoticeHandler([&lines](const db::ServerNotice& notice) {
            if (notice.severity == "WARNING") {
                lines.push_back(OneLine(notice.message));
            }
        });
    }
    ~WarningCollector() { connection_.SetNoticeHandler(nullptr); }
    WarningCollector(const WarningCollector&) = delete;
    WarningCollector& operator=(const WarningCollector&) = delete;

  private:
    db::Connection& connection_;
};

std::string ErrorLine(const std::exception& e) {
    std::string line = OneLine(e.what());
    return line.empty() ? std::string("error") : line;
}

}  // namespace

const char* ScriptOutcomeWord(TScriptOutcomeKind kind) {
    switch (kind) {
        case TScriptOutcomeKind::Applied:
            return "applied";
        case TScriptOutcomeKind::Failed:
            return "failed";
        case TScriptOutcomeKind::AlreadyApplied:
            return "already-applied";
        case TScriptOutcomeKind::FailedBefore:
            return "failed-before";
        case TScriptOutcomeKind::Postponed:
            return "postponed";
        case TScriptOutcomeKind::Skipped:
            break;
    }
    return "skipped";
}

UpdateScripts::UpdateScripts(TDM& dm)
    : KeepAppliedScripts(GetFileLayout() == FileLayout::Installed), dm_(dm) {}

std::string UpdateScripts::ScriptsFolder() const {
    if (!Folder.empty()) {
        return Folder.back() == '/' ? Folder : Folder + "/";
    }
    return GetDataFolder() + "database_scripts/";
}

void UpdateScripts::SetNewScriptLogOK() {
    const auto q = OpenQuery(dm_.ZConnection, "SetNewScriptLogOKSQL",
                             {"select *", "from information_schema.tables",
                              "where table_schema = 'public'", "and  table_name = '_scriptlog'"});
    ScriptLogExists = !q->IsEmpty();
}

bool UpdateScripts::HasStatusColumn() {
    const auto q = OpenQuery(
        dm_.ZConnection, "ScriptLogColumnsSQL",
        {"select 1", "  from information_schema.columns", " where table_schema = 'public'",
         "   and table_name = '_scriptlog'", "   and column_name = 'statusz'"});
    return !q->IsEmpty();
}

int UpdateScripts::FindScriptlogItem(const std::string& Script) {
    if (!ScriptLogExists) {
        return -2;
    }
    const auto q = OpenQuery(dm_.ZConnection, "FindScriptlogItemSQL",
                             {"SELECT *", "  from _scriptlog", "  where script = :script"},
                             {{"script", Script}});
    if (q->IsEmpty()) {
        return -1;
    }
    return q->FindField("statusz") != nullptr ? IntField(*q, "statusz") : 0;
}

void UpdateScripts::AddScriptLogItem(const std::string& Script, int Statusz) {
    if (!ScriptLogExists) {
        return;
    }
    const TServerDateTime now = dm_.GetDateTime();
    const bool withStatus = HasStatusColumn();
    const auto existing =
        OpenQuery(dm_.ZConnection, "AddScriptLogItemSQL",
                  {"select script", "  from _scriptlog", "  where script = :script", "  limit 1"},
                  {{"script", Script}});
    db::ParamValues params = {
        {"script", Script},
        {"datum", db::Value::Date(now.Date)},
        {"ido", FormatTimeText(GlobalFormatSettings().longTimeFormat, now.Time)}};
    if (withStatus) {
        params.emplace_back("statusz", Statusz);
    }
    if (existing->IsEmpty()) {
        ExecQuery(dm_.ZConnection, "AddScriptLogItemSQL",
                  {withStatus ? "insert into _scriptlog (script, datum, ido, statusz)"
                              : "insert into _scriptlog (script, datum, ido)",
                   withStatus ? "  values (:script, :datum, :ido, :statusz)"
                              : "  values (:script, :datum, :ido)"},
                  params);
    } else {
        ExecQuery(
            dm_.ZConnection, "AddScriptLogItemSQL",
            {withStatus ? "update _scriptlog set datum = :datum, ido = :ido, statusz = :statusz"
                        : "update _scriptlog set datum = :datum, ido = :ido",
             "  where script = :script"},
            params);
    }
}

bool UpdateScripts::RetryScript(const std::string& Script) {
    SetNewScriptLogOK();
    if (!ScriptLogExists || !HasStatusColumn()) {
        return false;
    }
    return ExecQuery(dm_.ZConnection, "RetryScriptSQL",
                     {"delete from _scriptlog", "  where script = :script and statusz = 0"},
                     {{"script", Script}}) > 0;
}

void UpdateScripts::AddEventLogRow(const std::string& name) {
    // The event log row of AddLogItem, written on the main connection so that it commits
    // with the script.
    const TServerDateTime now = dm_.GetDateTime();
    ExecQuery(dm_.ZConnection, "UpdateScriptLogItemSQL",
              {"insert into _masterlog (datum, ido, felhasznalo, muvelet, leiras)",
               "  values (:datum, :ido, :felhasznalo, :muvelet, :leiras)"},
              {{"datum", db::Value::Date(now.Date)},
               {"ido", FormatTimeText(GlobalFormatSettings().longTimeFormat, now.Time)},
               {"felhasznalo", dm_.Settings().UserID},
               {"muvelet", "UpdateScript"},
               {"leiras", name}});
}

int UpdateScripts::LoggedStatus(const std::string& name) {
    SetNewScriptLogOK();
    const int status = FindScriptlogItem(name);
    if (status >= 0) {
        return status;
    }
    return dm_.FindLogItem("UpdateScript", name) ? 1 : -1;
}

void UpdateScripts::RecordOutcome(const std::string& name, int status) {
    db::Transaction tx(dm_.ZConnection);
    // Under the update lock, so that two workstations do not log one script twice; a lock
    // kept too long by another workstation does not keep the outcome from being logged.
    TakeUpdateLock(dm_.ZConnection, LockWait, dm_.UserInterface());
    SetNewScriptLogOK();
    if (ScriptLogExists) {
        AddScriptLogItem(name, status);
    } else if (status == 1 && !dm_.FindLogItem("UpdateScript", name)) {
        AddEventLogRow(name);
    }
    tx.Commit();
}

void UpdateScripts::RemoveAppliedFile(const std::string& folder, const Entry& entry) {
    std::error_code ec;
    if (!KeepAppliedScripts) {
        fs::remove(folder + entry.file, ec);
    }
    if (ec) {
        undeletable_.push_back(entry.name);
        deleteError_ = ec.message();
    }
    outcomes_.push_back({entry.name, TScriptOutcomeKind::AlreadyApplied,
                         ec ? "file kept: " + ec.message() : std::string()});
}

UpdateScripts::Turn UpdateScripts::RunScript(const Entry& entry, const std::string& folder,
                                             bool log) {
    UiPort& ui = dm_.UserInterface();
    db::Connection& connection = dm_.ZConnection;
    const std::string& name = entry.name;
    ui.SetTableName("Szkript fájl futtatása: " + name);
    ui.ProcessMessages();

    std::string bytes;
    std::string readError = entry.problem;
    if (readError.empty()) {
        ReadScriptFile(folder + entry.file, MaxScriptBytes, bytes, readError);
    }
    if (!readError.empty()) {
        ui.ShowMessage(
            DialogCaption(),
            "A frissítő szkript nem olvasható, kimarad: " + name + " (" + readError + ")",
            MessageIcon::Warning);
        outcomes_.push_back({name, TScriptOutcomeKind::Skipped, readError});
        return Turn::Done;
    }
    const std::string text = TextAsUtf8(bytes);

    // A script that ends the transaction itself would be committed in parts whatever the
    // step does afterwards: it is not run at all.
    if (const auto control = FindTransactionControl(text)) {
        if (log) {
            RecordOutcome(name, 0);
        }
        outcomes_.push_back({name, TScriptOutcomeKind::Failed,
                             "refused: the script ends the transaction itself (" +
                                 control->statement + " in line " + std::to_string(control->line) +
                                 "); nothing of it was run"});
        return Turn::Done;
    }

    std::string failure;
    std::string sqlState;
    std::vector<std::string> warnings;
    bool endedItself = false;
    SessionState before;
    {
        // The script, its session clean-up and its log row are committed together, under
        // the update lock.
        db::Transaction tx(connection);
        if (!TakeUpdateLock(connection, LockWait, ui)) {
            return Turn::Busy;
        }
        if (log) {
            // Another workstation may have applied it while this one waited.
            const int logged = LoggedStatus(name);
            if (logged == 1) {
                if (ScriptLogExists && FindScriptlogItem(name) < 0) {
                    AddScriptLogItem(name, 1);  // applied before the script log existed
                }
                tx.Commit();
                outcomes_.push_back({name, TScriptOutcomeKind::AlreadyApplied, {}});
                return Turn::Done;
            }
            if (logged >= 0) {
                outcomes_.push_back(
                    {name, TScriptOutcomeKind::FailedBefore, "status " + std::to_string(logged)});
                return Turn::Done;
            }
        }
        before = ReadSession(connection);
        ExecQuery(connection, "UpdateScriptLockTimeoutSQL",
                  {"select pg_catalog.set_config('lock_timeout', :ms, true)"},
                  {{"ms", std::to_string(ScriptLockTimeout.count())}});
        try {
            const WarningCollector collect(connection, warnings);
            connection.Execute(text);
        } catch (const db::DbError& e) {
            failure = ErrorLine(e);
            sqlState = e.SqlState();
        } catch (const std::exception& e) {
            failure = ErrorLine(e);
        }
        try {
            std::optional<SessionState> after;
            if (failure.empty() && connection.InTransaction()) {
                after = ReadSession(connection);
            }
            // A script that committed or rolled back on its own left the transaction (or
            // is in one it began itself).
            endedItself = !connection.InTransaction() ||
                          (after && after->transactionStart != before.transactionStart);
            if (endedItself) {
                if (after) {
                    tx.Commit();  // the script's own last transaction, as it wrote it
                }
            } else if (failure.empty()) {
                RestoreSession(connection, before, *after);
                if (log) {
                    if (ScriptLogExists) {
                        AddScriptLogItem(name, 1);
                    } else {
                        AddEventLogRow(name);
                    }
                }
                tx.Commit();
            }
        } catch (const db::DbError& e) {
            failure = ErrorLine(e);
            sqlState = e.SqlState();
        }
        // Otherwise the transaction is rolled back here.
    }
    // Columns and tables may have changed under the module's cached descriptions.
    connection.ClearMetadataCache();

    if (endedItself) {
        // What the script committed itself stays: say so, and log what is true.
        {
            db::Transaction tx(connection);
            RestoreSession(connection, before, ReadSession(connection));
            tx.Commit();
        }
        const bool ok = failure.empty();
        if (log) {
            RecordOutcome(name, ok ? 1 : 0);
        }
        outcomes_.push_back(
            {name, ok ? TScriptOutcomeKind::Applied : TScriptOutcomeKind::Failed,
             ok ? "the script ended the transaction itself; its work is committed"
                : "partly applied: the script ended the transaction itself, then failed: " +
                      failure});
        return Turn::Done;
    }
    if (!failure.empty()) {
        if (sqlState == kLockNotAvailable) {
            ui.ShowMessage(DialogCaption(),
                           "A frissítő szkript túl sokáig várt egy zárolásra, a következő "
                           "indításkor újra lefut: " +
                               name,
                           MessageIcon::Warning);
            outcomes_.push_back({name, TScriptOutcomeKind::Postponed, failure});
            return Turn::Postponed;
        }
        if (log) {
            RecordOutcome(name, 0);
        }
        outcomes_.push_back({name, TScriptOutcomeKind::Failed, failure});
        return Turn::Done;
    }
    for (const std::string& w : warnings) {
        ui.ShowMessage(DialogCaption(), name + ": " + w, MessageIcon::Warning);
    }
    outcomes_.push_back({name, TScriptOutcomeKind::Applied, JoinNames(warnings, "; ")});
    return Turn::Done;
}

void UpdateScripts::StartUpdateScript(const std::string& Path, bool Log) {
    const fs::path path(Path);
    const std::string file = path.filename().string();
    const std::string folder = path.has_parent_path() ? path.parent_path().string() + "/" : "";
    const Entry entry{file, TextAsUtf8(file), EntryProblem(Path, MaxScriptBytes)};
    if (RunScript(entry, folder, Log) == Turn::Busy) {
        outcomes_.push_back(
            {entry.name, TScriptOutcomeKind::Skipped, "another workstation is updating"});
    }
    dm_.ForgetUniqueKeys();
}

void UpdateScripts::QueryingUpdateScript() {
    UiPort& ui = dm_.UserInterface();
    outcomes_.clear();
    refusal_.clear();
    undeletable_.clear();
    deleteError_.clear();

    SetNewScriptLogOK();
    const std::string folder = ScriptsFolder();
    const std::vector<Entry> entries = ScriptEntries(folder, MaxScriptBytes);
    if (entries.empty()) {
        return;
    }

    const std::vector<std::string> others = dm_.GetAktivKliens(true);
    const std::string userLines = JoinNames(others, "\r");

    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        const std::string& name = entry.name;
        if (!entry.problem.empty()) {
            RunScript(entry, folder, true);  // says why it is skipped
            continue;
        }
        const int status = FindScriptlogItem(name);
        if (status == 1) {
            RemoveAppliedFile(folder, entry);
            continue;
        }
        if (status >= 0) {
            outcomes_.push_back(
                {name, TScriptOutcomeKind::FailedBefore, "status " + std::to_string(status)});
            continue;
        }
        if (dm_.FindLogItem("UpdateScript", name)) {
            // Applied before the script log existed.
            RecordOutcome(name, 1);
            outcomes_.push_back({name, TScriptOutcomeKind::AlreadyApplied, "event log"});
            continue;
        }
        if (!others.empty()) {
            ui.ShowMessage("Más kliensek a rendszerben.",
                           "Az új verzióra való átállás során nem lehet más kliens nem lehet "
                           "aktív!\rJelenleg a következő felhasználók vannak a rendszerben: \r" +
                               userLines +
                               "\r\rGondoskodjon arról, hogy a fenti felhasználók elhagyják a "
                               "rendszert és indítsa újra a programot!");
            const bool force = ui.AskYesNo(
                "Kényszerített frissítés",
                "A figyelmeztetés ellenére megpróbálja - a felhasználók jelenléte mellett - a "
                "frissítést elvégezni?",
                false);
            if (!force) {
                refusal_ = "A frissítés elmaradt, más felhasználók vannak a rendszerben: " +
                           JoinNames(others, ", ");
                for (std::size_t j = i; j < entries.size(); ++j) {
                    outcomes_.push_back(
                        {entries[j].name, TScriptOutcomeKind::Skipped, "other users are active"});
                }
                dm_.ZConnection.Disconnect();
                ui.RequestTerminate();
                ui.ProcessMessages();
                return;
            }
        }
        const Turn turn = RunScript(entry, folder, true);
        if (turn == Turn::Done) {
            continue;
        }
        // The scripts after it may build on it: they wait for the next start as well.
        if (turn == Turn::Busy) {
            ui.ShowMessage(DialogCaption(),
                           "Egy másik munkaállomás éppen frissíti az adatbázist; a frissítő "
                           "szkriptek ennél az indításnál nem futottak le.",
                           MessageIcon::Warning);
        }
        const std::string reason =
            turn == Turn::Busy ? "another workstation is updating" : "waits for " + name;
        for (std::size_t j = turn == Turn::Busy ? i : i + 1; j < entries.size(); ++j) {
            outcomes_.push_back({entries[j].name, TScriptOutcomeKind::Skipped, reason});
        }
        break;
    }
    if (!undeletable_.empty()) {
        ui.ShowMessage(DialogCaption(),
                       "A már lefutott frissítő szkriptek nem törölhetők (" + deleteError_ +
                           "): " + JoinNames(undeletable_, ", "),
                       MessageIcon::Warning);
    }
    // Keys the scripts made (or could not make) are looked up afresh by the services.
    dm_.ForgetUniqueKeys();
}

}  // namespace dorvan
