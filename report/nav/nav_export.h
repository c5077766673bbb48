#pragma once
// The invoice data of a stored document, read from the same datasets and lookups as the
// printed invoice, and its `InvoiceData` file.

#include <stdexcept>
#include <string>

#include "report/invoice/invoice_datasets.h"
#include "report/nav/nav_invoice.h"

namespace dorvan {
class TDM;
}

namespace dorvan::nav {

// The file could not be written; what() names it and the reason.
class NavFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The stored values of the document chosen by `properties` (`fej_kod` or `bizonylatszam`,
// `prev`). Throws NavDataError when there is no such document.
TNavInvoiceSource ReadNavInvoiceSource(TDM& dm, const TInvoiceReportProperties& properties);

// The `InvoiceData` document of the chosen document, as UTF-8 bytes.
std::string NavInvoiceXml(TDM& dm, const TInvoiceReportProperties& properties);

// Writes that document to `path`, whole or not at all (a temporary file beside it, renamed
// into place): a document that cannot be expressed (NavDataError) or a failed write
// (NavFileError) leaves no file and any earlier file untouched.
void ExportNavXml(TDM& dm, const TInvoiceReportProperties& properties, const std::string& path);

}  // namespace dorvan::nav
