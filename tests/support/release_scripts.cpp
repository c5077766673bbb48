#include "support/release_scripts.h"

#include <stdlib.h>

#include <stdexcept>
#include <system_error>
#include <vector>

#include "datamodule/dm.h"

namespace dorvan::test {

namespace fs = std::filesystem;

void CopyReleaseScripts(const fs::path& folder) {
    fs::create_directories(folder);
    for (const auto& entry :
         fs::directory_iterator(fs::path(DORVAN_SOURCE_DIR) / "database_scripts")) {
        if (entry.path().extension() == ".sql") {
            fs::copy_file(entry.path(), folder / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        }
    }
}

void ApplyReleaseScripts(const PgServer& server, const std::string& database) {
    std::string pattern = (fs::temp_directory_path() / "dorvan-release-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder for the update scripts");
    }
    const fs::path folder(buffer.data());
    struct Remove {
        fs::path folder;
        ~Remove() {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    } remove{folder};
    CopyReleaseScripts(folder);

    db::ConnectionParams params;
    params.host = server.host;
    params.port = server.port;
    params.user = server.user;
    params.password = server.password;
    params.database = database;
    TDM dm;
    dm.ConnectLocal(params);
    dm.updateScripts_.Folder = folder.string();
    dm.QueryingUpdateScript();
    std::string problems;
    for (const TScriptOutcome& o : dm.updateScripts_.Outcomes()) {
        if (o.kind != TScriptOutcomeKind::Applied || !o.note.empty()) {
            problems += " " + o.script + ": " + ScriptOutcomeWord(o.kind) + " " + o.note + ";";
        }
    }
    if (dm.updateScripts_.Outcomes().empty()) {
        problems = " no script was found";
    }
    if (!problems.empty()) {
        throw std::runtime_error("the release's update scripts did not apply:" + problems);
    }
}

}  // namespace dorvan::test
