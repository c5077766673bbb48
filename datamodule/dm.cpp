#include "datamodule/dm.h"

namespace dorvan {

TDM::TDM() {
    // The start-up empties the user cache of GetUserInfo.
    OnClearUserCache = [this] { UserCache.Clear(); };
}

TDM::~TDM() {
    DisconnectAll();
}

}  // namespace dorvan
