#pragma once
// Settings and owner record: the owner row, the global settings row and the signed-in
// user's settings row.

#include <string>

#include "datamodule/module_query.h"
#include "db/dataset.h"

namespace dorvan {

class TDM;

class Setup {
  public:
    explicit Setup(TDM& dm);

    // The owner record, the global settings row and the signed-in user's settings row.
    // Each stays open once opened; readers use their fields by column name.
    ModuleQuery TulajdonosZQuery;
    ModuleQuery _setup_mainSQL;
    ModuleQuery _setupSQL;
    // Loads the settings row of a user, creating it with the defaults of a new user.
    void SetSetup(const std::string& UserID);
    // Signs a user of `munkatars` in: `UserID` of the settings record and the user's settings
    // row (SetSetup), so that the user's language, rights and record stamps apply. False, and
    // nothing changed, for an empty or unknown user id.
    bool SignIn(const std::string& UserID);
    // Completes the global settings row with its defaults (one post when anything changed).
    void _setup_mainSQLAfterOpen(db::DataSet& DataSet);

  private:
    TDM& dm_;
};

}  // namespace dorvan
