#pragma once
// Bulk actions on the data module's query components: opening them at start-up, closing
// them, and refreshing them in place.

#include <string>

#include "datamodule/dm_context.h"
#include "db/dataset.h"

namespace dorvan {

// "OPEN", "CLOSE" and "REFRESH", the actions QueryAction knows.
inline constexpr const char* kQueryOpen = "OPEN";
inline constexpr const char* kQueryClose = "CLOSE";
inline constexpr const char* kQueryRefresh = "REFRESH";

// Applies `action` to one component of `owner`; nothing happens while the main connection
// is down.
// - A tag of 0 or more other than 10: the component's name becomes the splash table line;
//   a query is opened ("OPEN") or closed with its pending changes cancelled ("CLOSE"). A
//   failure is shown in a box captioned "Error", written to the error log as
//   message + " [" + error type + "]", and makes the result false.
// - "REFRESH", whatever the tag: a query is closed and reopened and returns to the row with
//   the same `kod` (when it has that column and a current row); a failure makes the result
//   false without a message.
// Tag -1 marks a query opened on demand by its users, tag 10 one refreshed but never opened
// or closed in bulk.
bool QueryAction(DmContext& owner, db::DataSet& q, const std::string& action);

// QueryAction on every query component of `owner` in the module's component order; false
// when any of them failed (the others are still processed).
bool OpenAllQueries(DmContext& owner, const std::string& action);

// The name of an error's type as the error log records it ("SyntaxOrAccessError").
std::string ErrorTypeName(const std::exception& error);

}  // namespace dorvan
