#pragma once
// The work of dorvan-print after the start-up: the document given on the command line must
// exist; then the ways out in a fixed order (plain text and its copy to the port, PDF,
// printer, copy run).

#include <stdexcept>

#include "app/print_options.h"

namespace dorvan {
class TDM;
class TQuickRep_szamlabizonylat;
}  // namespace dorvan

namespace dorvan::app {

// A document key or number that names no stored document; what() is one line.
class DocumentNotFound : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// An explicit port that did not take the whole plain-text file; what() is one line.
class PortCopyFailed : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws DocumentNotFound when the key or number of `options` (if any) names no document
// header (of the "_prev_" snapshot with --prev). Without either nothing is checked: the
// print test's key runs as the console runs it.
void CheckDocumentExists(TDM& dm, const PrintOptions& options);

// Sets the report's document properties and produces every way out asked for. Output files
// appear whole or not at all, and no two outputs (the port included) may name the same file.
// Errors (database, unwritable files, printers, a port named with --port that cannot be
// written) rise; the print test's default port fails silently, as in the console.
void RunPrintJob(TQuickRep_szamlabizonylat& report, const PrintOptions& options);

}  // namespace dorvan::app
