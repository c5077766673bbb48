#pragma once
// The creation of the data module `DM` by the window program: the module is created and its
// start-up sequence run; a failure of the sequence is shown in the standard error box and the
// module is kept, so the console opens with whatever the start-up reached.

#include "app/application.h"

namespace dorvan {
class TDM;
}

namespace dorvan::app {

// Creates `DM` and runs its start-up (the factory installed by the window program).
AppObject StartDataModule();

// The data module created by StartDataModule while it exists (null otherwise).
TDM* StartedDataModule();

}  // namespace dorvan::app
