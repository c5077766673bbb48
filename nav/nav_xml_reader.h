#pragma once
// Reads an `InvoiceData` document back into the invoice data records, so that a document
// written elsewhere (the authority's published examples, an earlier export) passes the same
// checks as the mapped one.
//
// What the records hold is read: the invoice's head, customer, VAT cases, lines with their
// amounts and modification references, the summary. Elements the records do not carry
// (product fee, vehicle data, additional data, ...) are skipped. The operation is not part of
// the document: a document that refers to an original invoice is read as MODIFY, else CREATE.

#include <string_view>
#include <vector>

#include "nav/nav_invoice.h"

namespace dorvan::nav {

// Every invoice of the document: one, or each of a batch modification (in batch order). Throws
// NavDataError when the text is not an `InvoiceData` document.
std::vector<TNavInvoice> ReadNavInvoiceXml(std::string_view xml);

}  // namespace dorvan::nav
