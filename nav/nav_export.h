#pragma once
// The invoice data of a stored document, read from the same datasets and lookups as the
// printed invoice, and its `InvoiceData` file.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "nav/nav_invoice.h"
#include "nav/nav_validation.h"
#include "report/invoice/invoice_datasets.h"

namespace dorvan {
class TDM;
}

namespace dorvan::nav {

// The file could not be written; what() names it and the reason.
class NavFileError : public NavError {
  public:
    using NavError::NavError;
};

// How the invoice data is made.
struct TNavExportOptions {
    // How the invoice was issued: PAPER (printed), or ELECTRONIC when no paper copy is made.
    std::string appearance = "PAPER";
    // The day of reporting (YYYY-MM-DD) for the checks of dates; empty: the server's date.
    std::string today;
    // A reversing document: whether its original was reported, when the register of
    // submissions knows; nullopt: decided by the reporting obligation at its issue date.
    std::optional<bool> originalReported;
};

// The invoice data of a stored document, checked as the authority checks it.
struct TNavExport {
    TNavInvoice invoice;
    TNavCheckContext context;
    std::vector<TNavFinding> warnings;  // what the authority would warn about
    std::string xml;                    // the `InvoiceData` document, UTF-8
};

// The stored values of the document chosen by `properties` (`fej_kod` or `bizonylatszam`,
// `prev`). Throws NavDataError when there is no such document.
TNavInvoiceSource ReadNavInvoiceSource(TDM& dm, const InvoiceSelection& properties);

// The checked invoice data of the chosen document. Throws NavDataError when it cannot be
// expressed, NavRejectedError (naming the authority's code, the line and, for a VAT case, the
// VAT key) when the authority would reject it.
TNavExport BuildNavExport(TDM& dm, const InvoiceSelection& properties,
                          const TNavExportOptions& options = {});

// The `InvoiceData` document of the chosen document, as UTF-8 bytes (checked as above).
std::string NavInvoiceXml(TDM& dm, const InvoiceSelection& properties);

// Writes that document to `path`, whole or not at all (a temporary file beside it, renamed
// into place): a document that cannot be expressed or would be rejected (NavDataError) or a
// failed write (NavFileError) leaves no file and any earlier file untouched.
TNavExport ExportNavXml(TDM& dm, const InvoiceSelection& properties, const std::string& path,
                        const TNavExportOptions& options = {});

// How the document is sent, one line: "CREATE", or the operation, the modification index and
// the original invoice's number separated by tabs ("STORNO\t1\tSZ2026/0000005").
std::string OperationLine(const TNavInvoice& invoice);

}  // namespace dorvan::nav
