#pragma once
// Where the window program gets its data module and invoice report from. The data module's
// library fills these in (for example from a function registered at start-up); until then
// the program starts without them.

#include <functional>

#include "app/application.h"

namespace dorvan::app {

// The factory of `DM` (empty: no data module yet).
std::function<AppObject()>& DataModuleFactory();

// The factory of `QuickRep_szamlabizonylat` (empty: no report yet).
std::function<AppObject()>& ReportFactory();

}  // namespace dorvan::app
