#pragma once
// The console's two report commands: the dot-matrix print test (invoice 4317 as plain text
// into "racun.txt", then a byte-for-byte copy of that file to the parallel port) and the
// on-screen preview of the same invoice.
//
// The invoice report object is created by the entry before the data module exists; the
// report itself is built on the data module when a command first needs it.

#include <memory>
#include <string>

#include "app/application.h"
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

// Preview: `fej_kod` := 4317, then the modal preview (returns when it is closed).
void PreviewTest(TQuickRep_szamlabizonylat& report, QWidget* parent);

// The invoice report object of the entry (`QuickRep_szamlabizonylat`): holds the report,
// built on first use on the data module the entry started.
class ConsoleReport {
  public:
    ConsoleReport();
    ~ConsoleReport();
    ConsoleReport(const ConsoleReport&) = delete;
    ConsoleReport& operator=(const ConsoleReport&) = delete;

    // The report on the started data module; throws std::runtime_error when there is no
    // data module.
    TQuickRep_szamlabizonylat& Report();
    // Drops the report (before its data module goes away).
    void Release();

  private:
    std::unique_ptr<TQuickRep_szamlabizonylat> report_;
    TDM* builtOn_ = nullptr;
};

// The report object while the entry holds it (null otherwise).
ConsoleReport* QuickRep_szamlabizonylat();

// `Button1Click` and `Button2Click` of the console window.
void Button1Click();
void Button2Click();

// Fills in the entry's hooks: the creation of the report object and the two commands; the
// data module hook (install it first) is wrapped so that the report is dropped before the
// module is released.
void InstallConsoleCommands(ApplicationHooks& hooks);

}  // namespace dorvan::app
