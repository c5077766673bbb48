#include "datamodule/dm.h"

namespace dorvan {

TDM::TDM() {
    // The start-up empties the user cache of GetUserInfo.
    OnClearUserCache = [this] { UserCache.Clear(); };
    // The start-up applies pending update scripts.
    OnQueryingUpdateScript = [this] { QueryingUpdateScript(); };
    // The forint rows, the category self test and the owner's partner close the start-up.
    OnStartupChecks = [this] { startupChecks_.Run(); };
}

TDM::~TDM() {
    DisconnectAll();
}

}  // namespace dorvan
