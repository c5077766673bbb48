#pragma once
// The release's update scripts (database_scripts/ of the checkout) applied the way a shop's
// start-up applies them: copied into a scratch scripts folder (the update step removes
// applied scripts from its folder at the next start, so the checkout's own folder is never
// used) and run by the data module's update step.

#include <filesystem>
#include <string>

#include "support/pg_fixture.h"

namespace dorvan::test {

// Copies the release's "*.sql" scripts into `folder` (created when missing).
void CopyReleaseScripts(const std::filesystem::path& folder);

// Applies the release's scripts to `database` through the update step of a data module
// connected to it; throws std::runtime_error naming any script that was not applied.
void ApplyReleaseScripts(const PgServer& server, const std::string& database);

}  // namespace dorvan::test
