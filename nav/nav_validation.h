#pragma once
// The tax authority's documented checks of the invoice data that the document itself decides:
// the blocking validations under which it rejects the data report (ERROR) and the warnings it
// raises on accepted data (WARN), each reported under the authority's own code.
//
// The checks are pure functions of the mapped document (`TNavInvoice`) and of what the
// document cannot tell (`TNavCheckContext`: the day of reporting, what the invoice chain
// already holds). Amounts are compared within the tolerance the authority documents: 1 % of
// the amount, but at least 1 forint or 0.01 of the invoice's currency, whichever is greater.
// The authority checks calculations only by warnings; a document with warnings is accepted.
//
// Not decided here, since they need the authority's records: the uniqueness of the invoice
// number and of the modification index, whether the original invoice exists, the customer's
// registration, the technical user's rights, product fee data.

#include <optional>
#include <string>
#include <vector>

#include "nav/nav_invoice.h"

namespace dorvan::nav {

enum class TNavSeverity { Error, Warning };

// One result of the checks.
struct TNavFinding {
    TNavSeverity severity = TNavSeverity::Error;
    std::string code;     // the authority's code: INVALID_VAT_DATA, ...
    int line = 0;         // the number of the line it concerns; 0: the document
    std::string message;  // what is wrong, one line (Hungarian)
    bool operator==(const TNavFinding&) const = default;
};

// What the document alone does not tell.
struct TNavCheckContext {
    // The day of reporting, YYYY-MM-DD; empty: the checks against it are left out.
    std::string today;
    // A modification: how many lines the original invoice and its earlier modifications
    // created (a created line continues their numbering).
    std::optional<int> chainLineCount;
    // A modification: whether the original invoice was reported, when that is known.
    std::optional<bool> originalReported;
};

// Every finding of the document: the errors first, then the warnings, each in the order of
// the document.
std::vector<TNavFinding> CheckNavInvoice(const TNavInvoice& invoice,
                                         const TNavCheckContext& context = {});

// The findings of one severity.
std::vector<TNavFinding> Findings(const std::vector<TNavFinding>& findings, TNavSeverity severity);

// "INVALID_VAT_DATA, 2. tétel: ..." or "INVOICE_LINE_MISSING: ..." (a document finding).
std::string FindingText(const TNavFinding& finding);

// The authority would reject the document; what() is the text of its first error, prefixed
// with "Az adóhatóság elutasítaná a számlaadatot: ".
class NavRejectedError : public NavDataError {
  public:
    explicit NavRejectedError(std::vector<TNavFinding> findings);
    const std::vector<TNavFinding>& findings() const { return findings_; }

  private:
    std::vector<TNavFinding> findings_;
};

// Throws NavRejectedError when `findings` hold an error.
void RejectErrors(const std::vector<TNavFinding>& findings);

}  // namespace dorvan::nav
