#include "datamodule/dm.h"

namespace dorvan {

TDM::TDM() {
    // The start-up empties the user cache of GetUserInfo.
    OnClearUserCache = [this] { UserCache.Clear(); };
    // The forint rows, the category self test and the owner's partner close the start-up.
    OnStartupChecks = [this] { StartupChecks_.Run(); };
    // The start-up applies pending update scripts.
    OnQueryingUpdateScript = [this] { QueryingUpdateScript(); };
}

TDM::~TDM() {
    DisconnectAll();
}

}  // namespace dorvan
