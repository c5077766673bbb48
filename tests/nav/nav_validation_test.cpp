// The tax authority's documented checks of the invoice data, one table of cases per family of
// rules: each case changes a valid document and names the code the authority would give (an
// error that rejects the data, or a warning), and on which line. Every code named here is the
// authority's own (its documentation is searched for it), and the authority's published
// example documents pass without an error.

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "nav/nav_invoice.h"
#include "nav/nav_validation.h"
#include "nav/nav_xml_reader.h"
#include "nav/nav_xml_writer.h"
#include "nav_test_support.h"

namespace dorvan::nav {
namespace {

namespace fs = std::filesystem;
using C = TNavVatCategory;
constexpr auto E = TNavSeverity::Error;
constexpr auto W = TNavSeverity::Warning;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The authority's documentation (the texts of its result codes and its description of the
// interface) without white space, so that codes broken over two lines join up; "" when
// the folder is missing.
const std::string& Documentation() {
    static const std::string text = [] {
        const fs::path docs = fs::path(DORVAN_NAV_SCHEMA_DIR) / "docs";
        std::string all;
        if (!fs::exists(docs))
            return all;
        for (const auto& entry : fs::directory_iterator(docs))
            all += ReadText(entry.path());
        all.erase(
            std::remove_if(all.begin(), all.end(), [](unsigned char c) { return std::isspace(c); }),
            all.end());
        return all;
    }();
    return text;
}

// The valid forint invoice of two 27 % lines (24 681 357 as customer).
TNavInvoice Base() {
    return BuildNavInvoice(test::BaseInvoice());
}

// The base invoice reversed: a cancellation of SZ2026/0000005 of two lines.
TNavInvoice Reversal() {
    TNavInvoiceSource s = test::BaseInvoice();
    s.bizonylatszam = "SZ2026/0000100";
    s.sztornozott_szamlaszam = "SZ2026/0000005";
    s.eredeti_kelte = "2026-12-01";
    s.eredeti_sorok_szama = 2;
    for (TNavLineSource& line : s.tetelek) {
        line.mennyiseg = -line.mennyiseg;
        line.netto_arbevetel = -line.netto_arbevetel;
        line.netto_arbevetel_huf = -line.netto_arbevetel_huf;
        line.brutto_arbevetel = -line.brutto_arbevetel;
        line.brutto_arbevetel_huf = -line.brutto_arbevetel_huf;
    }
    for (double* total : {&s.netto_arbevetel_vegosszeg, &s.afa_arbevetel_vegosszeg,
                          &s.brutto_arbevetel_vegosszeg, &s.netto_arbevetel_vegosszeg_huf,
                          &s.afa_arbevetel_vegosszeg_huf, &s.brutto_arbevetel_vegosszeg_huf})
        *total = -*total;
    return BuildNavInvoice(s);
}

// Gives a line another VAT case, with a summary row of its own (the line leaves the first
// row); `vatFree` also takes its VAT away (an exempt, out-of-scope or reverse-charge line).
void SetLineCase(TNavInvoice& inv, std::size_t index, const TNavVatRate& rate,
                 bool vatFree = true) {
    TNavLine& line = inv.lines[index];
    TNavVatSummary& first = inv.summary[0];
    first.netAmount -= line.netAmount;
    first.netAmountHUF -= line.netAmountHUF;
    first.vatAmount -= *line.vatAmount;
    first.vatAmountHUF -= *line.vatAmountHUF;
    *first.grossAmount -= *line.grossAmount;
    *first.grossAmountHUF -= *line.grossAmountHUF;
    if (vatFree) {
        inv.invoiceVatAmount -= *line.vatAmount;
        inv.invoiceVatAmountHUF -= *line.vatAmountHUF;
        *inv.invoiceGrossAmount -= *line.vatAmount;
        *inv.invoiceGrossAmountHUF -= *line.vatAmountHUF;
        line.vatAmount = line.vatAmountHUF = 0;
        line.grossAmount = line.netAmount;
        line.grossAmountHUF = line.netAmountHUF;
    }
    line.vatRate = rate;
    inv.summary.push_back({rate, line.netAmount, line.netAmountHUF, *line.vatAmount,
                           *line.vatAmountHUF, line.grossAmount, line.grossAmountHUF});
}

struct Case {
    const char* name;
    std::function<TNavInvoice()> document;
    std::function<void(TNavInvoice&, TNavCheckContext&)> change;
    TNavSeverity severity;
    std::string code;  // "": no finding at all
    int line = 0;
};

// Each case: the finding named is among the findings, on its line; a case naming no code has
// no finding at all.
void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNavInvoice invoice = c.document();
        TNavCheckContext context{"2026-12-05", std::nullopt, std::nullopt};
        c.change(invoice, context);
        const std::vector<TNavFinding> findings = CheckNavInvoice(invoice, context);
        std::string all;
        for (const TNavFinding& f : findings)
            all += std::string(f.severity == E ? "ERROR " : "WARN ") + FindingText(f) + "\n";
        if (c.code.empty()) {
            EXPECT_TRUE(findings.empty()) << all;
            continue;
        }
        if (!Documentation().empty()) {
            EXPECT_NE(Documentation().find(c.code), std::string::npos)
                << c.code << " is no code of the authority's documentation";
        }
        const bool found = std::any_of(findings.begin(), findings.end(), [&](const auto& f) {
            return f.severity == c.severity && f.code == c.code && f.line == c.line;
        });
        EXPECT_TRUE(found) << c.code << " on line " << c.line << " expected; found:\n" << all;
        // No error beside an expected warning.
        if (c.severity == W) {
            EXPECT_TRUE(Findings(findings, E).empty()) << all;
        }
    }
}

const auto base = [] { return Base(); };
const auto reversal = [] { return Reversal(); };
const auto asIs = [](TNavInvoice&, TNavCheckContext&) {};

TEST(NavChecks, ValidDocumentsHaveNoFinding) {
    RunCases({
        {"forint invoice", base, asIs, E, ""},
        {"its cancellation", reversal, asIs, E, ""},
        {"a cancellation continuing the lines of the chain", reversal,
         [](TNavInvoice&, TNavCheckContext& ctx) { ctx.chainLineCount = 2; }, E, ""},
    });
}

TEST(NavChecks, VatRatesAndCategories) {
    RunCases({
        {"0 % is no rate", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             SetLineCase(inv, 1, {C::Percentage, 0});
         },
         E, "INVALID_VAT_DATA", 2},
        {"0 % in the summary", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.summary[0].vatRate.percentage = 0; }, E,
         "INVALID_VAT_DATA", 0},
        {"25 % in a new invoice of 2026", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].vatRate.percentage = 0.25; }, E,
         "INVALID_VAT_DATA", 1},
        {"VAT content on a normal line", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.lines[0].vatRate = {C::Content, 0.2126};
         },
         E, "INVALID_LINE_VAT_RATE_NORMAL", 1},
        {"a simplified line in a normal invoice", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.lines[1].amounts = TNavLineAmounts::Simplified;
         },
         E, "LINE_SUMMARY_TYPE_MISMATCH_LINE_SIMPLIFIED", 2},
        {"VAT rate on a simplified line", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.invoiceCategory = "SIMPLIFIED";
             inv.lines[1].amounts = TNavLineAmounts::Simplified;
         },
         E, "INVALID_LINE_VAT_RATE_SIMPLIFIED", 2},
        {"a normal summary in a simplified invoice", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.invoiceCategory = "SIMPLIFIED"; }, E,
         "LINE_SUMMARY_TYPE_MISMATCH_SUMMARY_NORMAL", 0},
        {"unknown code of a tax base and tax mismatch", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.lines[0].vatRate = {C::AmountMismatch, 0.27, "REFUND"};
         },
         E, "INVALID_LINE_VAT_AMOUNT_MISMATCH_CODE", 1},
        {"rate of a tax base and tax mismatch", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.summary[0].vatRate = {C::AmountMismatch, 0.1, "REFUNDABLE_VAT"};
         },
         E, "INVALID_SUMMARY_VAT_AMOUNT_MISMATCH_VAT_RATE", 0},
    });
    // 25 % is taken for a delivery before 2013 and in a cancellation (its amounts stay those
    // of 27 %: warnings only).
    for (TNavInvoice old : {Base(), Reversal()}) {
        SCOPED_TRACE(old.invoiceNumber);
        for (TNavLine& line : old.lines)
            line.vatRate.percentage = 0.25;
        old.summary[0].vatRate.percentage = 0.25;
        if (old.operation == TNavOperation::Create)
            old.deliveryDate = "2012-12-20";
        for (const TNavFinding& f : Findings(CheckNavInvoice(old), E))
            ADD_FAILURE() << FindingText(f);
    }
}

TEST(NavChecks, ExemptionAndOutOfScopeCodes) {
    const auto exempt = [](const char* code) {
        return [code](TNavInvoice& inv, TNavCheckContext&) {
            SetLineCase(inv, 0, {C::Exemption, 0, code, "Áfa tv."});
        };
    };
    const auto outOfScope = [](const char* code) {
        return [code](TNavInvoice& inv, TNavCheckContext&) {
            SetLineCase(inv, 0, {C::OutOfScope, 0, code, "Áfa tv."});
        };
    };
    RunCases({
        {"TAM", base, exempt("TAM"), E, ""},
        {"AAM", base, exempt("AAM"), E, ""},
        {"NAM", base, exempt("NAM"), E, ""},
        {"ATK", base, outOfScope("ATK"), E, ""},
        {"HO", base, outOfScope("HO"), E, ""},
        {"an exemption code of no list", base, exempt("MENTES"), E,
         "INVALID_LINE_VAT_EXEMPTION_CODE", 1},
        {"the same in the summary", base, exempt("MENTES"), E, "INVALID_SUMMARY_VAT_EXEMPTION_CODE",
         0},
        {"an exemption code as out of scope", base, outOfScope("TAM"), E,
         "INVALID_LINE_VAT_OUT_OF_SCOPE_CODE", 1},
        {"out of scope in the summary", base, outOfScope("EU"), E,
         "INVALID_SUMMARY_VAT_OUT_OF_SCOPE_CODE", 0},
        {"UNKNOWN in a new invoice", base, exempt("UNKNOWN"), E, "INVALID_LINE_VAT_EXEMPTION_CODE",
         1},
        {"UNKNOWN cancelling an invoice never reported", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.reference->modifyWithoutMaster = true;
             for (TNavLine& line : inv.lines)
                 line.vatRate = {C::OutOfScope, 0, "UNKNOWN", "?"};
             inv.summary[0].vatRate = {C::OutOfScope, 0, "UNKNOWN", "?"};
         },
         W, "INCORRECT_LINE_DATA_VAT_OUT_OF_SCOPE_NORMAL", 1},  // its VAT stays: a warning
    });
}

TEST(NavChecks, MandatoryLineContent) {
    RunCases({
        {"no description", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[1].description.clear(); }, E,
         "MANDATORY_LINE_CONTENT_MISSING", 2},
        {"quantity given without unit price", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].unitPrice.reset(); }, E,
         "MANDATORY_LINE_CONTENT_MISSING", 1},
        {"quantity given without unit", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].unit = {}; }, E,
         "MANDATORY_LINE_CONTENT_MISSING", 1},
        {"a line without quantity needs only its description", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.lines[0].expressionIndicator = false;
             inv.lines[0].quantity.reset();
             inv.lines[0].unit = {};
             inv.lines[0].unitPrice.reset();
             inv.lines[0].unitPriceHUF.reset();
         },
         E, ""},
        {"own unit without its name", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.lines[0].unit = {"OWN", ""};
         },
         W, "INCORRECT_LINE_DATA_UOM_INCOMPLETE", 1},
    });
}

TEST(NavChecks, LineNumbering) {
    RunCases({
        {"a gap", base, [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[1].lineNumber = 3; }, E,
         "LINE_NUMBER_NOT_SEQUENTIAL", 3},
        {"a repeated number", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[1].lineNumber = 1; }, E,
         "LINE_NUMBER_NOT_SEQUENTIAL", 1},
        {"no lines", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.lines.clear();
             inv.summary.clear();
             inv.invoiceNetAmount = inv.invoiceNetAmountHUF = 0;
             inv.invoiceVatAmount = inv.invoiceVatAmountHUF = 0;
             inv.invoiceGrossAmount = inv.invoiceGrossAmountHUF = 0;
         },
         E, "INVOICE_LINE_MISSING", 0},
        {"a cancellation without lines", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines.clear(); }, E, "INVOICE_LINE_MISSING",
         0},
    });
}

TEST(NavChecks, ModificationReferences) {
    RunCases({
        {"cancellation without reference", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.reference.reset(); }, E,
         "INVOICE_REFERENCE_EXPECTED", 0},
        {"new invoice with reference", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.operation = TNavOperation::Create; }, E,
         "INVOICE_REFERENCE_NOT_EXPECTED", 0},
        {"a cancelling line without its line reference", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[1].lineNumberReference.reset(); }, E,
         "LINE_MODIFICATION_EXPECTED", 2},
        {"a new invoice's line with a line reference", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].lineNumberReference = 1; }, E,
         "LINE_MODIFICATION_NOT_EXPECTED", 1},
        {"a line modifying another", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].lineOperation = "MODIFY"; }, E,
         "INVALID_LINE_OPERATION", 1},
        {"two lines creating the same line", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[1].lineNumberReference = 3; }, E,
         "LINE_NUMBER_REFERENCE_NOT_UNIQUE", 2},
        {"a created line that the original has", reversal,
         [](TNavInvoice& inv, TNavCheckContext& ctx) {
             inv.lines[0].lineNumberReference = 2;
             ctx.chainLineCount = 2;
         },
         E, "INVOICE_LINE_ALREADY_EXISTS", 1},
        {"referring to a never reported invoice as reported", reversal,
         [](TNavInvoice&, TNavCheckContext& ctx) { ctx.originalReported = false; }, E,
         "INVALID_INVOICE_REFERENCE", 0},
        {"referring to a reported invoice as never reported", reversal,
         [](TNavInvoice& inv, TNavCheckContext& ctx) {
             inv.reference->modifyWithoutMaster = true;
             ctx.originalReported = true;
         },
         E, "MODIFY_WITHOUT_MASTER_MISMATCH", 0},
        {"numbered as the original", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.invoiceNumber = "SZ2026/0000005"; }, W,
         "INCORRECT_HEAD_DATA_MOD_REF_INVOICE_NUMBER", 0},
        {"an unrealistic modification index", reversal,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.reference->modificationIndex = 1001; }, W,
         "INCONSISTENT_MODIFICATION_DATA_MODIFICATIONINDEX_UNREAL", 0},
    });
}

TEST(NavChecks, CustomerStatusAndReverseCharge) {
    const auto privatePerson = [](TNavInvoice& inv) {
        inv.customer = TNavCustomer{"PRIVATE_PERSON"};
    };
    const auto reverseCharge = [](TNavInvoice& inv) {
        SetLineCase(inv, 0, {C::DomesticReverseCharge});
    };
    const auto kbaet = [](TNavInvoice& inv) {
        SetLineCase(inv, 1, {C::Exemption, 0, "KBAET", "Áfa tv. 89. §"});
    };
    RunCases({
        {"reverse charge to a private person", base,
         [&](TNavInvoice& inv, TNavCheckContext&) {
             reverseCharge(inv);
             privatePerson(inv);
         },
         E, "DOMESTIC_TAXNUMBER_EXPECTED_REVERSE_CHARGE", 1},
        {"reverse charge to a customer that is no domestic taxpayer", base,
         [&](TNavInvoice& inv, TNavCheckContext&) {
             reverseCharge(inv);
             inv.customer.vatStatus = "OTHER";
         },
         W, "INCORRECT_LINE_DATA_VAT_DOMESTIC_REVERSE_CHARGE", 1},
        {"reverse charge to a domestic customer of eight digits", base,
         [&](TNavInvoice& inv, TNavCheckContext&) {
             reverseCharge(inv);
             inv.customer.taxNumber = TNavTaxNumber{"24681357", "", ""};
         },
         E, ""},
        {"a private person with a name", base,
         [&](TNavInvoice& inv, TNavCheckContext&) {
             privatePerson(inv);
             inv.customer.name = "Kiss Péter";
         },
         E, "CUSTOMER_DATA_NOT_EXPECTED", 0},
        {"a company without address", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.customer.address.reset(); }, E,
         "CUSTOMER_DATA_EXPECTED", 0},
        {"domestic without tax number", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.customer.taxNumber.reset(); }, E,
         "MISSING_CUSTOMER_DOMESTIC_TAXNUMBER", 0},
        {"domestic with a community VAT number", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.customer.communityVatNumber = "HU24681357";
         },
         E, "CUSTOMER_COMMUNITY_TAXNUMBER_NOT_EXPECTED", 0},
        {"domestic with a third state's id", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.customer.thirdStateTaxId = "X1"; }, E,
         "CUSTOMER_THIRD_STATE_TAXNUMBER_NOT_EXPECTED", 0},
        {"a new invoice without customer", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.customer = {}; }, E, "CUSTOMER_INFO_MISSING",
         0},
        {"intra-Community exemption to a domestic customer", base,
         [&](TNavInvoice& inv, TNavCheckContext&) { kbaet(inv); }, W,
         "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAET", 2},
        {"the same with a domestic tax number", base,
         [&](TNavInvoice& inv, TNavCheckContext&) { kbaet(inv); }, W,
         "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_KBAET", 2},
        {"intra-Community exemption to a community customer", base,
         [&](TNavInvoice& inv, TNavCheckContext&) {
             kbaet(inv);
             inv.customer.vatStatus = "OTHER";
             inv.customer.taxNumber.reset();
             inv.customer.communityVatNumber = "ATU12345678";
         },
         E, ""},
        {"export with a community VAT number", base,
         [&](TNavInvoice& inv, TNavCheckContext&) {
             kbaet(inv);
             inv.lines[1].vatRate.exemptionCase = inv.summary[1].vatRate.exemptionCase = "EAM";
             inv.customer.vatStatus = "OTHER";
             inv.customer.taxNumber.reset();
             inv.customer.communityVatNumber = "ATU12345678";
         },
         W, "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_EAM", 2},
        {"the electronic invoice of a private person", base,
         [&](TNavInvoice& inv, TNavCheckContext&) {
             privatePerson(inv);
             inv.completenessIndicator = true;
             inv.invoiceAppearance = "ELECTRONIC";
         },
         E, "INVOICE_COMPLETENESS_PRIVATE_PERSON_INDICATOR_MISMATCH", 0},
        {"a paper invoice as the electronic invoice", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.completenessIndicator = true; }, E,
         "INVOICE_APPEARANCE_MISMATCH", 0},
    });
}

TEST(NavChecks, DatesAndNumbers) {
    RunCases({
        {"delivery 397 days after the issue", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.deliveryDate = "2028-01-04"; }, E,
         "INCORRECT_DATE_INVOICE_DELIVERY_DATE_LATE", 0},
        {"delivery 396 days after the issue", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.deliveryDate = "2028-01-03"; }, E, ""},
        {"delivery more than five years after the issue", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.deliveryDate = "2031-12-04"; }, E,
         "INVOICE_DELIVERY_DATE_LATE", 0},
        {"issued more than a year after the reporting day", base,
         [](TNavInvoice&, TNavCheckContext& ctx) { ctx.today = "2025-12-02"; }, E,
         "INVOICE_ISSUE_DATE_LATE", 0},
        {"issued six days after the reporting day", base,
         [](TNavInvoice&, TNavCheckContext& ctx) { ctx.today = "2026-11-27"; }, W,
         "INCORRECT_DATE_INVOICE_ISSUE_DATE_LATE", 0},
        {"a cancellation reported 15 days after its issue", reversal,
         [](TNavInvoice&, TNavCheckContext& ctx) { ctx.today = "2026-12-18"; }, W,
         "INCORRECT_DATE_INVOICE_MODIFICATION_ISSUE_DATE_EARLY", 0},
        {"a delivery in a lapsed period", base,
         [](TNavInvoice& inv, TNavCheckContext& ctx) {
             inv.invoiceIssueDate = inv.deliveryDate = "2019-12-31";
             ctx.today = "2026-01-02";
         },
         W, "INCORRECT_DATE_INVOICE_DELIVERY_DATE_EARLY", 0},
        {"an invoice number ending with a blank", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.invoiceNumber += " "; }, E,
         "INVALID_INVOICE_NUMBER", 0},
    });
}

TEST(NavChecks, LineCalculationsWithinTheTolerance) {
    RunCases({
        {"net amount off quantity times price", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].unitPrice = 5100; }, W,
         "INCORRECT_LINE_CALCULATION_NET_AMOUNT", 1},
        {"net amount off by less than 1 %", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].unitPrice = 5030; }, W, ""},
        {"a discount taken into account", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.lines[0].unitPrice = inv.lines[0].unitPriceHUF = 5990;
             inv.lines[0].discountValue = 3000;
         },
         W, ""},
        {"a forint twin off the rate", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[1].netAmountHUF += 300; }, W,
         "INCORRECT_LINE_CALCULATION_LINE_NET_AMOUNT_HUF", 2},
        {"a line with its own exchange rate", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.invoiceCategory = "AGGREGATE";
             for (TNavLine& line : inv.lines)
                 line.lineDeliveryDate = "2026-12-02";
             inv.lines[1].lineExchangeRate = 2;
         },
         W, "INCORRECT_LINE_CALCULATION_AGGREGATE_LINE_NET_AMOUNT_HUF", 2},
        {"unit price in forints off the rate", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.lines[0].unitPriceHUF = 4000; }, W,
         "INCORRECT_LINE_CALCULATION_LINE_UNIT_PRICE_HUF", 1},
        {"gross in forints not net plus VAT", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             *inv.lines[0].grossAmountHUF += 500;
             *inv.lines[0].grossAmount += 500;
         },
         W, "INCORRECT_LINE_CALCULATION_LINE_GROSS_AMOUNT_NORMAL_SUM", 1},
        {"VAT on an exempt line", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             SetLineCase(inv, 0, {C::Exemption, 0, "TAM", "Áfa tv. 85. §"}, false);
         },
         W, "INCORRECT_LINE_DATA_VAT_EXEMPTION_NORMAL", 1},
        {"VAT on a reverse-charge line", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             SetLineCase(inv, 0, {C::DomesticReverseCharge}, false);
         },
         W, "INCORRECT_LINE_DATA_VAT_DOMESTIC_REVERSE_CHARGE_NORMAL", 1},
    });
}

TEST(NavChecks, SummaryCalculationsWithinTheTolerance) {
    RunCases({
        {"a rate's net amount off its lines", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.summary[0].netAmount += 1000;
             inv.summary[0].netAmountHUF += 1000;
             inv.summary[0].vatAmount += 270;
             inv.summary[0].vatAmountHUF += 270;
             inv.invoiceNetAmount += 1000;
             inv.invoiceNetAmountHUF += 1000;
             inv.invoiceVatAmount += 270;
             inv.invoiceVatAmountHUF += 270;
             *inv.invoiceGrossAmount += 1270;
             *inv.invoiceGrossAmountHUF += 1270;
         },
         W, "INCORRECT_SUMMARY_CALCULATION_VAT_RATE_NET_AMOUNT_LINE", 0},
        {"the invoice's net amount off its rates", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.invoiceNetAmount -= 1000; }, W,
         "INCORRECT_SUMMARY_CALCULATION_INVOICE_NET_AMOUNT", 0},
        {"a rate's VAT off net times rate", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.summary[0].vatAmount -= 500; }, W,
         "INCORRECT_SUMMARY_CALCULATION_VAT_RATE_VAT_AMOUNT_SUMMARY", 0},
        {"the gross forints rounded to whole forints: within the tolerance", base,
         [](TNavInvoice& inv, TNavCheckContext&) { *inv.invoiceGrossAmountHUF = 45999.4; }, W, ""},
        {"the gross forints off net plus VAT", base,
         [](TNavInvoice& inv, TNavCheckContext&) { *inv.invoiceGrossAmountHUF = 46999; }, W,
         "INCORRECT_SUMMARY_CALCULATION_INVOICE_GROSS_AMOUNT_HUF_SUMMARY", 0},
        {"the net forints off the rate", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.invoiceNetAmountHUF += 500; }, W,
         "INCORRECT_SUMMARY_DATA_INVOICE_NET_AMOUNT_HUF", 0},
        {"a rate in the summary that no line has", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.summary.push_back({{C::Percentage, 0.18}});
         },
         W, "INCORRECT_SUMMARY_DATA_VAT_PERCENTAGE", 0},
        {"a new invoice of negative amount", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv = Reversal();
             inv.operation = TNavOperation::Create;
             inv.reference.reset();
             for (TNavLine& line : inv.lines)
                 line.lineNumberReference.reset();
         },
         W, "INCORRECT_SUMMARY_DATA_INVOICE_NET_AMOUNT", 0},
        {"a forint invoice at a rate other than 1", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.exchangeRate = 1.0001; }, W,
         "INCORRECT_HEAD_DATA_CURRENCY_CODE_HUF", 0},
        {"a euro invoice at rate 1", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.currencyCode = "EUR"; }, W,
         "INCORRECT_HEAD_DATA_EXCHANGE_RATE_1", 0},
        {"a euro rate out of the plausible range", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.currencyCode = "EUR"; }, W,
         "INCORRECT_HEAD_DATA_EXCHANGERATE_EXTREME", 0},
        {"an invalid county code", base,
         [](TNavInvoice& inv, TNavCheckContext&) { inv.customer.taxNumber->countyCode = "21"; }, W,
         "INCORRECT_COUNTY_CODE_CUSTOMER", 0},
        {"the seller's community VAT number of another", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.supplier.communityVatNumber = "HU87654321";
         },
         W, "INCORRECT_HEAD_DATA_SUPPLIER_COMMUNITY_VAT_NUMBER", 0},
        {"seller and customer of one tax number", base,
         [](TNavInvoice& inv, TNavCheckContext&) {
             inv.customer.taxNumber->taxpayerId = "12345678";
         },
         W, "SUPPLIER_CUSTOMER_MATCH_TAXPAYER", 0},
    });
}

TEST(NavChecks, RejectionNamesTheCodeAndTheLine) {
    TNavInvoice invoice = Base();
    invoice.lines[1].description.clear();
    try {
        RejectErrors(CheckNavInvoice(invoice));
        ADD_FAILURE() << "accepted";
    } catch (const NavRejectedError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Az adóhatóság elutasítaná a számlaadatot: MANDATORY_LINE_CONTENT_MISSING, 2. "
                  "tétel: hiányzik a tétel megnevezése");
        EXPECT_EQ(e.findings().size(), 1u);
    }
    // Warnings alone reject nothing.
    invoice = Base();
    invoice.lines[0].unit = {"OWN", ""};
    EXPECT_NO_THROW(RejectErrors(CheckNavInvoice(invoice)));
    EXPECT_EQ(FindingText(CheckNavInvoice(invoice).at(0)),
              "INCORRECT_LINE_DATA_UOM_INCOMPLETE, 1. tétel: saját mennyiségi egység (OWN) a "
              "neve nélkül");
}

// A document written and read back passes the same checks with the same findings.
TEST(NavChecks, AWrittenDocumentReadsBackToTheSameFindings) {
    struct Case {
        const char* name;
        std::function<TNavInvoice()> document;
    };
    const Case cases[] = {
        {"forint invoice", base},
        {"cancellation", reversal},
        {"one with findings",
         [] {
             TNavInvoice inv = Base();
             inv.lines[0].vatRate.percentage = 0;
             inv.lines[1].description.clear();
             inv.customer.taxNumber = TNavTaxNumber{"24681357", "", ""};
             *inv.invoiceGrossAmountHUF += 100;
             return inv;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TNavInvoice invoice = c.document();
        std::vector<TNavInvoice> read = ReadNavInvoiceXml(WriteNavInvoiceXml(invoice));
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0].operation,
                  invoice.reference ? TNavOperation::Modify : TNavOperation::Create);
        read[0].operation = invoice.operation;  // the operation is not in the document
        EXPECT_EQ(CheckNavInvoice(read[0]), CheckNavInvoice(invoice));
        EXPECT_EQ(WriteNavInvoiceXml(read[0]), WriteNavInvoiceXml(invoice));
    }
    EXPECT_THROW(ReadNavInvoiceXml("<InvoiceData><invoiceNumber>1</invoiceNumber>"), NavDataError);
    EXPECT_THROW(ReadNavInvoiceXml("<Other/>"), NavDataError);
}

// The authority's own examples are accepted documents: none has an error. One example
// modifies a line of the original (lineOperation MODIFY), which the authority has rejected
// since it introduced INVALID_LINE_OPERATION (only CREATE is taken): that is its one error.
TEST(NavChecks, PublishedExamplesPass) {
    const fs::path samples = fs::path(DORVAN_NAV_SCHEMA_DIR) / "samples";
    if (!fs::exists(samples / "official"))
        GTEST_SKIP() << "the authority's examples are missing: " << samples;
    std::size_t documents = 0;
    for (const fs::path& folder : {samples, samples / "official"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".xml")
                continue;
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            ++documents;
            std::vector<std::string> errors;
            for (const TNavInvoice& invoice : ReadNavInvoiceXml(ReadText(entry.path()))) {
                for (const TNavFinding& f : Findings(CheckNavInvoice(invoice), E))
                    errors.push_back(FindingText(f));
            }
            if (name == "Teteladatok modositasa.xml") {
                ASSERT_EQ(errors.size(), 1u);
                EXPECT_EQ(errors[0].rfind("INVALID_LINE_OPERATION, 1. tétel", 0), 0u) << errors[0];
                continue;
            }
            for (const std::string& error : errors)
                ADD_FAILURE() << error;
        }
    }
    EXPECT_GE(documents, 30u);
}

}  // namespace
}  // namespace dorvan::nav
