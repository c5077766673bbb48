#pragma once
// Lays a report out into pages. Walks the master dataset: group headers when a group's
// value changes (an outer change restarts the inner groups; disabled headers still track
// their value), the detail chain per row, group footers after the last row of their group
// (inner before outer, still on that row), the summary after the last row; the page header
// and column header chains on top of every page and the page footer chain at the bottom.
// Child bands follow their parent and are processed even when the parent did not print.
// A data text without a mask of its own takes its column's display format from the data
// source. Layout does not paint: it produces a PageDocument.

#include "report/engine/page_model.h"
#include "report/engine/report.h"

namespace dorvan::report {

class ReportLayout {
  public:
    explicit ReportLayout(Report& report) : report_(report) {}

    // Runs the report's before-print hook once, then lays out every page. Errors of handlers
    // and missing columns end the run with their exception.
    PageDocument Run();

  private:
    Report& report_;
};

// Text of a value as a data-bound control prints it: numbers with the mask (general format
// without one), dates with the display format (short date without one), text as it is.
std::string FormatValue(const QVariant& value, const std::string& mask);

}  // namespace dorvan::report
