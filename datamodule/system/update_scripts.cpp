#include "datamodule/system/update_scripts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#include "config/folders.h"
#include "config/format_settings.h"
#include "config/ui_port.h"
#include "datamodule/core/server_clock.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

namespace fs = std::filesystem;

// The session lock that one workstation holds while it runs the update step.
constexpr int kLockClass = 0x44525653;  // "DRVS"
constexpr int kLockObject = 1;

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
    return text;
}

// The "*.sql" entries of a folder other than folders (the extension in any letter case),
// sorted by name. An entry that cannot be read is reported when its turn comes.
std::vector<std::string> ScriptFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && AsciiLower(name.substr(name.size() - 4)) == ".sql") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot be opened";
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = "cannot be read";
        return false;
    }
    text = buffer.str();
    return true;
}

// Holds the update lock of the database on a connection for one scope.
class UpdateLock {
  public:
    UpdateLock(db::Connection& connection, std::chrono::milliseconds wait, UiPort& ui)
        : connection_(connection) {
        using Clock = std::chrono::steady_clock;
        const auto until = Clock::now() + wait;
        for (;;) {
            const auto q = OpenQuery(connection_, "UpdateLockSQL",
                                     {"select pg_try_advisory_lock(:class, :object) as held"},
                                     {{"class", kLockClass}, {"object", kLockObject}});
            if (q->FieldByName("held").AsBoolean()) {
                held_ = true;
                return;
            }
            if (Clock::now() >= until) {
                return;
            }
            ui.ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    ~UpdateLock() {
        if (!held_ || !connection_.Connected()) {
            return;
        }
        try {
            ExecQuery(connection_, "UpdateUnlockSQL",
                      {"select pg_advisory_unlock(:class, :object)"},
                      {{"class", kLockClass}, {"object", kLockObject}});
        } catch (const std::exception&) {
            // The lock ends with the session anyway.
        }
    }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

    bool Held() const { return held_; }

  private:
    db::Connection& connection_;
    bool held_ = false;
};

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

bool UpdateScripts::RunScript(const std::string& path, const std::string& name, bool log) {
    UiPort& ui = dm_.UserInterface();
    ui.SetTableName("Szkript fájl futtatása: " + name);
    ui.ProcessMessages();

    std::string text;
    std::string readError;
    if (!ReadWholeFile(path, text, readError)) {
        const std::string line =
            "A frissítő szkript nem olvasható, kimarad: " + name + " (" + readError + ")";
        ui.ShowMessage(DialogCaption(), line, MessageIcon::Warning);
        outcomes_.push_back({name, TScriptOutcomeKind::Skipped, readError});
        return false;
    }

    std::string failure;
    {
        // The script and its log row are committed together.
        db::Transaction tx(dm_.ZConnection);
        try {
            db::Query script(dm_.ZConnection, "StartUpdateScriptSQL");
            script.SetParamCheck(false);
            script.SetSqlText(text);
            script.ExecSQL();
            if (log) {
                AddScriptLogItem(name, 1);
            }
            tx.Commit();
        } catch (const std::exception& e) {
            failure = OneLine(e.what());
            if (failure.empty()) {
                failure = "error";
            }
        }
    }
    // Columns and tables may have changed under the module's cached descriptions.
    dm_.ZConnection.ClearMetadataCache();

    if (!failure.empty()) {
        if (log) {
            AddScriptLogItem(name, 0);
        }
        outcomes_.push_back({name, TScriptOutcomeKind::Failed, failure});
        return false;
    }
    if (log && !ScriptLogExists) {
        // Without a script log the event log remembers it, so the next start does not run
        // it again.
        dm_.AddLogItem("UpdateScript", name);
    }
    outcomes_.push_back({name, TScriptOutcomeKind::Applied, {}});
    return true;
}

void UpdateScripts::StartUpdateScript(const std::string& Path, bool Log) {
    RunScript(Path, fs::path(Path).filename().string(), Log);
}

void UpdateScripts::QueryingUpdateScript() {
    UiPort& ui = dm_.UserInterface();
    outcomes_.clear();
    refusal_.clear();

    SetNewScriptLogOK();
    const std::string folder = ScriptsFolder();
    const std::vector<std::string> files = ScriptFiles(folder);
    if (files.empty()) {
        return;
    }

    // One workstation at a time: the others wait here and then find the scripts logged.
    const UpdateLock lock(dm_.ZConnection, LockWait, ui);
    if (!lock.Held()) {
        ui.ShowMessage(DialogCaption(),
                       "Egy másik munkaállomás éppen frissíti az adatbázist; a frissítő "
                       "szkriptek ennél az indításnál nem futottak le.",
                       MessageIcon::Warning);
        for (const std::string& name : files) {
            outcomes_.push_back(
                {name, TScriptOutcomeKind::Skipped, "another workstation is updating"});
        }
        return;
    }
    SetNewScriptLogOK();  // another workstation may have created it meanwhile

    const std::vector<std::string> others = dm_.GetAktivKliens(true);
    const std::string userLines = JoinNames(others, "\r");

    std::vector<std::string> undeletable;
    std::string deleteError;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& name = files[i];
        const int status = FindScriptlogItem(name);
        if (status < 0) {
            if (dm_.FindLogItem("UpdateScript", name)) {
                // Applied before the script log existed.
                AddScriptLogItem(name, 1);
                outcomes_.push_back({name, TScriptOutcomeKind::AlreadyApplied, "event log"});
                continue;
            }
            if (!others.empty()) {
                ui.ShowMessage(
                    "Más kliensek a rendszerben.",
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
                    for (std::size_t j = i; j < files.size(); ++j) {
                        outcomes_.push_back(
                            {files[j], TScriptOutcomeKind::Skipped, "other users are active"});
                    }
                    dm_.ZConnection.Disconnect();
                    ui.RequestTerminate();
                    ui.ProcessMessages();
                    return;
                }
            }
            RunScript(folder + name, name, true);
        } else if (status == 1) {
            std::error_code ec;
            if (!KeepAppliedScripts) {
                fs::remove(folder + name, ec);
            }
            if (ec) {
                undeletable.push_back(name);
                deleteError = ec.message();
            }
            outcomes_.push_back({name, TScriptOutcomeKind::AlreadyApplied,
                                 ec ? "file kept: " + ec.message() : std::string()});
        } else {
            outcomes_.push_back(
                {name, TScriptOutcomeKind::FailedBefore, "status " + std::to_string(status)});
        }
    }
    if (!undeletable.empty()) {
        ui.ShowMessage(DialogCaption(),
                       "A már lefutott frissítő szkriptek nem törölhetők (" + deleteError +
                           "): " + JoinNames(undeletable, ", "),
                       MessageIcon::Warning);
    }
}

}  // namespace dorvan
