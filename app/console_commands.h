#pragma once
// The console's two report commands: the dot-matrix print test (invoice 4317 as plain text
// into "racun.txt", then a byte-for-byte copy of that file to the parallel port) and the
// on-screen preview of the same invoice.

#include <functional>
#include <string>

#include "app/port_copy.h"

class QWidget;

namespace dorvan {
class TDM;
class TQuickRep_szamlabizonylat;
}  // namespace dorvan

namespace dorvan::app {

// The document the console works on, and the plain-text file of the print test (relative:
// the process's current folder).
inline constexpr int kConsoleDocumentKey = 4317;
inline constexpr const char* kPrintTestFile = "racun.txt";

// Print test: `fej_kod` := 4317, export through the plain-text filter into "racun.txt",
// then copy it to `port` (silently ignoring a failed copy). An export error rises and no
// copy is made.
void PrintTest(TQuickRep_szamlabizonylat& report, const std::string& port);

// Runs a console command on the database: a connection the server closed meanwhile is
// opened again first (an error saying that the connection is lost when that fails); a
// connection found lost only while the command runs is opened again and the command, which
// only reads, runs once more; lost again, the error says so.
void RunWithDatabase(TDM& dm, const std::function<void()>& command);

// Preview: `fej_kod` := 4317, then the modal preview (returns when it is closed).
void PreviewTest(TQuickRep_szamlabizonylat& report, QWidget* parent);

}  // namespace dorvan::app
