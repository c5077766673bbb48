#pragma once
// Feeds a laid-out report to an export filter: start, then per page new page, its items and
// end page, then finish. Positions go out in tenths of a millimetre.

#include "report/engine/export_filter.h"
#include "report/engine/page_model.h"

namespace dorvan::report {

void ExportToFilter(const PageDocument& document, ExportFilter& filter);

}  // namespace dorvan::report
