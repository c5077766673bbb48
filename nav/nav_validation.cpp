#include "nav/nav_validation.h"

#include <QDate>
#include <QString>
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "nav/nav_xml_writer.h"

namespace dorvan::nav {
namespace {

using C = TNavVatCategory;

bool Near(double a, double b) {
    return std::abs(a - b) < 1e-6;
}

// The deviation the authority tolerates: 1 % of the amount, but at least 1 forint or 0.01 of
// the invoice's currency, whichever is greater (`huf`: the amount is in forints).
double Tolerance(double amount, bool huf, double rate) {
    const double minimum = huf ? std::max(1.0, 0.01 * rate) : std::max(1.0 / rate, 0.01);
    return std::max(0.01 * std::abs(amount), minimum);
}

bool Differs(double actual, double expected, double tolerance) {
    return std::abs(actual - expected) > tolerance + 1e-9;
}

std::string Money(double value) {
    return DecimalText(value, 2, 2);
}

std::string Percent(double fraction) {
    return DecimalText(fraction * 100, 4) + " %";
}

QDate Date(const std::string& text) {
    return QDate::fromString(QString::fromStdString(text), Qt::ISODate);
}

bool OneOf(const std::string& value, std::initializer_list<const char*> values) {
    for (const char* v : values) {
        if (value == v)
            return true;
    }
    return false;
}

bool OneOfRates(double value, std::initializer_list<double> values) {
    for (const double v : values) {
        if (Near(value, v))
            return true;
    }
    return false;
}

// The VAT case as a text, for messages and for comparing lines with the summary.
std::string CaseText(const TNavVatRate& rate) {
    switch (rate.category) {
        case C::Percentage:
        case C::Content:
            return Percent(rate.percentage);
        case C::Exemption:
        case C::OutOfScope:
        case C::MarginScheme:
            return rate.exemptionCase;
        case C::AmountMismatch:
            return rate.exemptionCase + " " + Percent(rate.percentage);
        case C::DomesticReverseCharge:
            return "fordított adózás";
        case C::NoVatCharge:
            return "nincs felszámított áfa";
    }
    return "";
}

// The same VAT case: category, rate and case code (the reason's wording may differ).
bool SameCase(const TNavVatRate& a, const TNavVatRate& b) {
    return a.category == b.category && Near(a.percentage, b.percentage) &&
           a.exemptionCase == b.exemptionCase;
}

// Exchange rates the authority takes as plausible (forints per unit).
struct RateLimits {
    const char* currency;
    double minimum;
    double maximum;
};
constexpr std::array kRateLimits = {
    RateLimits{"EUR", 250, 500}, RateLimits{"USD", 200, 500}, RateLimits{"GBP", 250, 600},
    RateLimits{"CHF", 200, 500}, RateLimits{"BGN", 120, 300}, RateLimits{"RON", 50, 150},
    RateLimits{"PLN", 50, 150},  RateLimits{"UAH", 2, 30},    RateLimits{"SEK", 20, 60},
    RateLimits{"NOK", 20, 60},   RateLimits{"MKD", 2, 20},    RateLimits{"CZK", 5, 40},
    RateLimits{"ILS", 40, 200},  RateLimits{"DKK", 20, 100},  RateLimits{"RSD", 1, 9},
    RateLimits{"BAM", 100, 300}, RateLimits{"HRK", 30, 90},
};

bool ValidCountyCode(const std::string& code) {
    if (code.size() != 2 || !std::isdigit(static_cast<unsigned char>(code[0])) ||
        !std::isdigit(static_cast<unsigned char>(code[1])))
        return false;
    const int n = std::stoi(code);
    return (n >= 2 && n <= 20) || (n >= 22 && n <= 44) || n == 51;
}

class Checker {
  public:
    Checker(const TNavInvoice& invoice, const TNavCheckContext& context)
        : inv_(invoice), ctx_(context) {
        rate_ = inv_.exchangeRate > 0 ? inv_.exchangeRate : 1;
        create_ = inv_.operation == TNavOperation::Create;
        simplified_ = inv_.invoiceCategory == "SIMPLIFIED";
        aggregate_ = inv_.invoiceCategory == "AGGREGATE";
        for (const TNavLine& line : inv_.lines)
            normalLines_ = normalLines_ || line.amounts == TNavLineAmounts::Normal;
    }

    std::vector<TNavFinding> Run() {
        Numbering();
        Modification();
        LineContent();
        Kinds();
        VatRates();
        CaseCodes();
        Customer();
        Dates();
        InvoiceNumber();
        Completeness();
        Head();
        LineCalculations();
        Summary();
        std::stable_sort(
            findings_.begin(), findings_.end(), [](const TNavFinding& a, const TNavFinding& b) {
                return a.severity == TNavSeverity::Error && b.severity == TNavSeverity::Warning;
            });
        return std::move(findings_);
    }

  private:
    void Error(const char* code, int line, std::string message) {
        findings_.push_back({TNavSeverity::Error, code, line, std::move(message)});
    }
    void Warn(const char* code, int line, std::string message) {
        findings_.push_back({TNavSeverity::Warning, code, line, std::move(message)});
    }

    // --- Line numbering -------------------------------------------------------------------

    void Numbering() {
        for (std::size_t i = 0; i < inv_.lines.size(); ++i) {
            const int number = inv_.lines[i].lineNumber;
            if (number != static_cast<int>(i) + 1) {
                Error("LINE_NUMBER_NOT_SEQUENTIAL", number,
                      "a tételek sorszáma nem folyamatos: a(z) " + std::to_string(i + 1) +
                          ". helyen a(z) " + std::to_string(number) + ". tétel áll");
                break;
            }
        }
        if (inv_.lines.empty() && inv_.operation != TNavOperation::Modify)
            Error("INVOICE_LINE_MISSING", 0, "a számlának nincs tétele");
    }

    // --- Modification references ----------------------------------------------------------

    void Modification() {
        if (!create_ && !inv_.reference)
            Error("INVOICE_REFERENCE_EXPECTED", 0,
                  "a módosító vagy érvénytelenítő okirat nem hivatkozik az eredeti számlára");
        if (create_ && inv_.reference)
            Error("INVOICE_REFERENCE_NOT_EXPECTED", 0,
                  "új számla nem hivatkozhat másik számlára (" +
                      inv_.reference->originalInvoiceNumber + ")");
        std::set<int> references;
        for (const TNavLine& line : inv_.lines) {
            if (!create_ && !line.lineNumberReference)
                Error("LINE_MODIFICATION_EXPECTED", line.lineNumber,
                      "a módosító okirat tétele nem adja meg, melyik tételt hozza létre");
            if (create_ && line.lineNumberReference)
                Error("LINE_MODIFICATION_NOT_EXPECTED", line.lineNumber,
                      "új számla tétele nem hivatkozhat másik számla tételére");
            if (!line.lineNumberReference)
                continue;
            const int reference = *line.lineNumberReference;
            if (!create_ && line.lineOperation != "CREATE")
                Error("INVALID_LINE_OPERATION", line.lineNumber,
                      "a módosító okirat tétele csak új tételt hozhat létre (CREATE), nem " +
                          line.lineOperation);
            if (!references.insert(reference).second)
                Error("LINE_NUMBER_REFERENCE_NOT_UNIQUE", line.lineNumber,
                      "a(z) " + std::to_string(reference) + ". tételre több tétel is hivatkozik");
            if (ctx_.chainLineCount && inv_.reference && !inv_.reference->modifyWithoutMaster &&
                line.lineOperation == "CREATE" && reference <= *ctx_.chainLineCount)
                Error("INVOICE_LINE_ALREADY_EXISTS", line.lineNumber,
                      "a(z) " + std::to_string(reference) +
                          ". tétel már létezik a számlaláncban (eddig " +
                          std::to_string(*ctx_.chainLineCount) + " tétel)");
        }
        if (!inv_.reference)
            return;
        const TNavInvoiceReference& ref = *inv_.reference;
        if (ctx_.originalReported && !*ctx_.originalReported && !ref.modifyWithoutMaster)
            Error("INVALID_INVOICE_REFERENCE", 0,
                  "a(z) " + ref.originalInvoiceNumber +
                      " számláról nem volt adatszolgáltatás, a hivatkozás nem jelölheti "
                      "jelentettnek (modifyWithoutMaster)");
        if (ctx_.originalReported && *ctx_.originalReported && ref.modifyWithoutMaster)
            Error("MODIFY_WITHOUT_MASTER_MISMATCH", 0,
                  "a(z) " + ref.originalInvoiceNumber +
                      " számláról volt adatszolgáltatás, a hivatkozás mégis jelentés nélkülinek "
                      "jelöli (modifyWithoutMaster)");
        if (ref.originalInvoiceNumber == inv_.invoiceNumber)
            Warn("INCORRECT_HEAD_DATA_MOD_REF_INVOICE_NUMBER", 0,
                 "a módosító okirat sorszáma megegyezik az eredeti számláéval (" +
                     inv_.invoiceNumber + ")");
        if (ref.modificationIndex > 1000)
            Warn("INCONSISTENT_MODIFICATION_DATA_MODIFICATIONINDEX_UNREAL", 0,
                 "a módosítás sorszáma valószerűtlenül nagy (" +
                     std::to_string(ref.modificationIndex) + ")");
    }

    // --- Mandatory line content -----------------------------------------------------------

    void LineContent() {
        for (const TNavLine& line : inv_.lines) {
            std::vector<std::string> missing;
            if (line.description.empty())
                missing.push_back("megnevezése");
            if (line.expressionIndicator) {
                if (!line.quantity)
                    missing.push_back("mennyisége");
                if (line.unit.unitOfMeasure.empty())
                    missing.push_back("mennyiségi egysége");
                if (!line.unitPrice)
                    missing.push_back("egységára");
            }
            if (!missing.empty()) {
                std::string what;
                for (const std::string& m : missing)
                    what += (what.empty() ? "" : ", ") + m;
                Error("MANDATORY_LINE_CONTENT_MISSING", line.lineNumber,
                      "hiányzik a tétel " + what);
            }
            if (line.unit.unitOfMeasure == "OWN" && line.unit.own.empty())
                Warn("INCORRECT_LINE_DATA_UOM_INCOMPLETE", line.lineNumber,
                     "saját mennyiségi egység (OWN) a neve nélkül");
        }
    }

    // --- Kinds of amounts: normal, simplified, aggregate ------------------------------------

    void Kinds() {
        for (const TNavLine& line : inv_.lines) {
            const bool created = line.lineOperation == "CREATE";
            if (line.amounts == TNavLineAmounts::Simplified && !simplified_)
                Error("LINE_SUMMARY_TYPE_MISMATCH_LINE_SIMPLIFIED", line.lineNumber,
                      "nem egyszerűsített számlában egyszerűsített számla tétele");
            if (line.amounts == TNavLineAmounts::Normal && simplified_)
                Error("LINE_SUMMARY_TYPE_MISMATCH_LINE_NORMAL", line.lineNumber,
                      "egyszerűsített számlában nem egyszerűsített számla tétele");
            if (line.amounts == TNavLineAmounts::Normal && line.vatRate.category == C::Content)
                Error("INVALID_LINE_VAT_RATE_NORMAL", line.lineNumber,
                      "nem egyszerűsített számla tételén áfatartalom (vatContent)");
            if (line.amounts == TNavLineAmounts::Simplified &&
                line.vatRate.category == C::Percentage)
                Error("INVALID_LINE_VAT_RATE_SIMPLIFIED", line.lineNumber,
                      "egyszerűsített számla tételén áfamérték (vatPercentage)");
            if (line.amounts == TNavLineAmounts::None && created)
                Warn(simplified_ ? "INCORRECT_LINE_DATA_LINE_AMOUNTS_SIMPLIFIED_MANDATORY"
                                 : "INCORRECT_LINE_DATA_LINE_AMOUNTS_NORMAL_MANDATORY",
                     line.lineNumber, "hiányoznak a tétel összegei");
            const bool aggregateData = line.lineExchangeRate || !line.lineDeliveryDate.empty();
            if (aggregate_ && line.lineDeliveryDate.empty() && created)
                Warn("INCORRECT_LINE_DATA_AGGREGATE_INV_LINE_DATA_MANDATORY", line.lineNumber,
                     "gyűjtőszámla tételéről hiányzik a teljesítés dátuma");
            if (!aggregate_ && aggregateData)
                Warn("INCORRECT_LINE_DATA_AGGREGATE_INVOICE_LINE_DATA", line.lineNumber,
                     "nem gyűjtőszámla tételén gyűjtőszámla adatai");
        }
        if (inv_.summarySimplified && !simplified_)
            Error("LINE_SUMMARY_TYPE_MISMATCH_SUMMARY_SIMPLIFIED", 0,
                  "nem egyszerűsített számlában egyszerűsített összesítő");
        if (!inv_.summarySimplified && simplified_)
            Error("LINE_SUMMARY_TYPE_MISMATCH_SUMMARY_NORMAL", 0,
                  "egyszerűsített számlában nem egyszerűsített összesítő");
        for (const TNavVatSummary& row : inv_.summary) {
            if (!inv_.summarySimplified && row.vatRate.category == C::Content)
                Error("INVALID_SUMMARY_VAT_RATE_NORMAL", 0,
                      "nem egyszerűsített összesítőben áfatartalom (vatContent)");
            if (inv_.summarySimplified && row.vatRate.category == C::Percentage)
                Error("INVALID_SUMMARY_VAT_RATE_SIMPLIFIED", 0,
                      "egyszerűsített összesítőben áfamérték (vatPercentage)");
        }
    }

    // --- VAT rates and contents -------------------------------------------------------------

    // The rates of the documented list; 20 % and 25 % (16.67 % and 20 % content) only for a
    // modification or a delivery before 2013.
    bool AcceptedRate(const TNavVatRate& rate) const {
        const bool old =
            !create_ || (!inv_.deliveryDate.empty() && inv_.deliveryDate < "2013-01-01");
        if (rate.category == C::Percentage)
            return OneOfRates(rate.percentage, {0.05, 0.07, 0.12, 0.18, 0.27}) ||
                   (old && OneOfRates(rate.percentage, {0.2, 0.25}));
        if (rate.category == C::Content)
            return OneOfRates(rate.percentage, {0.0476, 0.1525, 0.2126}) ||
                   (old && OneOfRates(rate.percentage, {0.1667, 0.2}));
        return true;
    }

    void VatRates() {
        const auto check = [&](const TNavVatRate& rate, int line, bool summary) {
            if (!AcceptedRate(rate))
                Error(
                    "INVALID_VAT_DATA", line,
                    std::string(summary ? "az összesítőben " : "") + "a(z) " +
                        Percent(rate.percentage) +
                        (rate.category == C::Content ? " áfatartalom" : " ÁFA-mérték") +
                        " nem jelenthető (" +
                        (rate.category == C::Content ? "elfogadott: 4.76, 15.25, 21.26 %"
                                                     : "elfogadott: 5, 7, 12, 18, 27 %") +
                        "; mentes vagy tárgyi hatályon kívüli ügylethez a kulcsnak esetkód kell)");
            if (rate.category != C::AmountMismatch)
                return;
            if (!OneOf(rate.exemptionCase, {"REFUNDABLE_VAT", "NONREFUNDABLE_VAT"}) &&
                !UnknownAllowed(rate.exemptionCase))
                Error(summary ? "INVALID_SUMMARY_VAT_AMOUNT_MISMATCH_CODE"
                              : "INVALID_LINE_VAT_AMOUNT_MISMATCH_CODE",
                      line, "ismeretlen adóalap- és adóeltérési kód: " + rate.exemptionCase);
            if (!OneOfRates(rate.percentage, {0.27, 0.18, 0.05, 0.2126, 0.1525, 0.0476}))
                Error(summary ? "INVALID_SUMMARY_VAT_AMOUNT_MISMATCH_VAT_RATE"
                              : "INVALID_LINE_VAT_AMOUNT_MISMATCH_VAT_RATE",
                      line,
                      "az adóalap- és adóeltérés mértéke nem jelenthető: " +
                          Percent(rate.percentage));
        };
        for (const TNavLine& line : inv_.lines) {
            if (line.amounts != TNavLineAmounts::None)
                check(line.vatRate, line.lineNumber, false);
        }
        for (const TNavVatSummary& row : inv_.summary)
            check(row.vatRate, 0, true);
    }

    // --- Exemption and out-of-scope case codes ----------------------------------------------

    // UNKNOWN is taken only for a modification of an invoice without a data report.
    bool UnknownAllowed(const std::string& code) const {
        return code == "UNKNOWN" && !create_ && inv_.reference &&
               inv_.reference->modifyWithoutMaster;
    }

    void CaseCodes() {
        const auto check = [&](const TNavVatRate& rate, int line, bool summary) {
            if (rate.category == C::Exemption &&
                !OneOf(rate.exemptionCase, {"AAM", "TAM", "KBAET", "KBAUK", "EAM", "NAM"}) &&
                !UnknownAllowed(rate.exemptionCase))
                Error(summary ? "INVALID_SUMMARY_VAT_EXEMPTION_CODE"
                              : "INVALID_LINE_VAT_EXEMPTION_CODE",
                      line,
                      std::string(summary ? "az összesítőben " : "") +
                          "ismeretlen adómentességi kód: \"" + rate.exemptionCase +
                          "\" (elfogadott: AAM, TAM, KBAET, KBAUK, EAM, NAM)");
            if (rate.category == C::OutOfScope &&
                !OneOf(rate.exemptionCase, {"ATK", "EUFAD37", "EUFADE", "EUE", "HO"}) &&
                !UnknownAllowed(rate.exemptionCase))
                Error(summary ? "INVALID_SUMMARY_VAT_OUT_OF_SCOPE_CODE"
                              : "INVALID_LINE_VAT_OUT_OF_SCOPE_CODE",
                      line,
                      std::string(summary ? "az összesítőben " : "") +
                          "ismeretlen tárgyi hatályon kívüliségi kód: \"" + rate.exemptionCase +
                          "\" (elfogadott: ATK, EUFAD37, EUFADE, EUE, HO)");
        };
        for (const TNavLine& line : inv_.lines) {
            if (line.amounts != TNavLineAmounts::None)
                check(line.vatRate, line.lineNumber, false);
        }
        for (const TNavVatSummary& row : inv_.summary)
            check(row.vatRate, 0, true);
    }

    // --- Customer status and reverse charge -------------------------------------------------

    void Customer() {
        const TNavCustomer& c = inv_.customer;
        const std::string& status = c.vatStatus;
        const bool vatData =
            c.taxNumber || !c.communityVatNumber.empty() || !c.thirdStateTaxId.empty();
        if (status.empty() && create_)
            Error("CUSTOMER_INFO_MISSING", 0, "hiányoznak a vevő adatai");
        if (status == "PRIVATE_PERSON" && (vatData || !c.name.empty() || c.address))
            Error("CUSTOMER_DATA_NOT_EXPECTED", 0,
                  "magánszemély vevő adószáma, neve és címe nem jelenthető");
        if ((status == "DOMESTIC" || status == "OTHER") && (c.name.empty() || !c.address))
            Error("CUSTOMER_DATA_EXPECTED", 0, "hiányzik a nem magánszemély vevő neve vagy címe");
        if (status == "DOMESTIC" && !c.taxNumber)
            Error("MISSING_CUSTOMER_DOMESTIC_TAXNUMBER", 0,
                  "belföldi áfaalany vevő magyar adószám nélkül");
        if (status == "DOMESTIC" && !c.communityVatNumber.empty())
            Error("CUSTOMER_COMMUNITY_TAXNUMBER_NOT_EXPECTED", 0,
                  "belföldi áfaalany vevőnek közösségi adószáma nem jelenthető");
        if (status == "DOMESTIC" && !c.thirdStateTaxId.empty())
            Error("CUSTOMER_THIRD_STATE_TAXNUMBER_NOT_EXPECTED", 0,
                  "belföldi áfaalany vevőnek harmadik országbeli adószáma nem jelenthető");

        // Domestic reverse charge needs the customer's Hungarian tax number.
        int reverse = -1;
        for (const TNavLine& line : inv_.lines) {
            if (line.amounts == TNavLineAmounts::None ||
                line.vatRate.category != C::DomesticReverseCharge)
                continue;
            if (reverse < 0)
                reverse = line.lineNumber;
            if (status != "DOMESTIC")
                Warn("INCORRECT_LINE_DATA_VAT_DOMESTIC_REVERSE_CHARGE", line.lineNumber,
                     "fordított adózású tétel nem belföldi áfaalany vevőnek (" + Status() + ")");
        }
        for (const TNavVatSummary& row : inv_.summary) {
            if (reverse < 0 && row.vatRate.category == C::DomesticReverseCharge)
                reverse = 0;
        }
        if (reverse >= 0 && !c.taxNumber && inv_.operation != TNavOperation::Storno)
            Error("DOMESTIC_TAXNUMBER_EXPECTED_REVERSE_CHARGE", reverse,
                  "belföldi fordított adózás csak magyar adószámú vevőnek számlázható (a vevő: " +
                      Status() + ")");

        // Exemption and out-of-scope cases that need a customer of a kind.
        for (const TNavLine& line : inv_.lines) {
            const TNavVatRate& rate = line.vatRate;
            if (line.amounts == TNavLineAmounts::None ||
                (rate.category != C::Exemption && rate.category != C::OutOfScope))
                continue;
            const bool s = line.amounts == TNavLineAmounts::Simplified;
            const std::string& code = rate.exemptionCase;
            const bool otherThanCommunity = c.taxNumber || !c.thirdStateTaxId.empty();
            const int n = line.lineNumber;
            if (code == "KBAET") {
                if (status != "OTHER")
                    Warn(s ? "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAET_SIMPLIFIED"
                           : "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAET",
                         n,
                         "Közösségen belüli adómentes értékesítés (KBAET) " + Status() +
                             " vevőnek: a vevő csak más tagállambeli (OTHER) lehet");
                if (otherThanCommunity)
                    Warn(s ? "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_KBAET_SIMPLIFIED"
                           : "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_KBAET",
                         n, "KBAET esetén a vevőnek csak közösségi adószáma adható meg");
            } else if (code == "KBAUK") {
                if (status == "DOMESTIC")
                    Warn(s ? "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAUK_SIMPLIFIED"
                           : "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAUK",
                         n,
                         "új közlekedési eszköz adómentes Közösségen belüli értékesítése "
                         "(KBAUK) belföldi vevőnek");
                if (otherThanCommunity)
                    Warn(s ? "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_KBAUK_SIMPLIFIED"
                           : "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_KBAUK",
                         n, "KBAUK esetén a vevőnek csak közösségi adószáma adható meg");
            } else if (code == "EAM") {
                if (!c.communityVatNumber.empty())
                    Warn(s ? "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_EAM_SIMPLIFIED"
                           : "INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_EAM",
                         n,
                         "termékexport (EAM) esetén a vevőnek közösségi adószáma nem adható "
                         "meg");
            } else if (code == "EUFAD37") {
                if (status != "OTHER")
                    Warn("INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_EUFAD37", n,
                         "EUFAD37 esetén a vevő csak más tagállambeli (OTHER) lehet");
                if (otherThanCommunity)
                    Warn("INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_EUFAD37", n,
                         "EUFAD37 esetén a vevőnek csak közösségi adószáma adható meg");
            } else if (code == "EUFADE") {
                if (status != "OTHER")
                    Warn("INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_EUFADE", n,
                         "EUFADE esetén a vevő csak más tagállambeli (OTHER) lehet");
                if (!c.thirdStateTaxId.empty())
                    Warn("INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_EUFADE", n,
                         "EUFADE esetén a vevőnek harmadik országbeli adószáma nem adható meg");
            } else if (code == "EUE") {
                if (!c.thirdStateTaxId.empty())
                    Warn("INCORRECT_LINE_DATA_VAT_DATA_MISMATCH_EUE", n,
                         "EUE esetén a vevőnek harmadik országbeli adószáma nem adható meg");
            }
        }
    }

    std::string Status() const {
        return inv_.customer.vatStatus.empty() ? "nincs vevő" : inv_.customer.vatStatus;
    }

    // --- Dates ------------------------------------------------------------------------------

    void Dates() {
        const QDate issue = Date(inv_.invoiceIssueDate);
        const QDate delivery = Date(inv_.deliveryDate);
        if (issue.isValid() && delivery.isValid()) {
            if (issue.daysTo(delivery) >= 397)
                Error("INCORRECT_DATE_INVOICE_DELIVERY_DATE_LATE", 0,
                      "a teljesítés dátuma (" + inv_.deliveryDate + ") legalább 13 hónappal a " +
                          "kelte (" + inv_.invoiceIssueDate + ") után van");
            if (delivery > issue.addYears(5))
                Error("INVOICE_DELIVERY_DATE_LATE", 0,
                      "a teljesítés dátuma (" + inv_.deliveryDate + ") több mint 5 évvel a " +
                          "kelte után van");
        }
        const QDate today = Date(ctx_.today);
        if (today.isValid() && issue.isValid()) {
            if (issue > today.addYears(1))
                Error("INVOICE_ISSUE_DATE_LATE", 0,
                      "a számla kelte (" + inv_.invoiceIssueDate +
                          ") több mint egy évvel a jelentés napja után van");
            if (issue > today.addDays(5))
                Warn(create_ ? "INCORRECT_DATE_INVOICE_ISSUE_DATE_LATE"
                             : "INCORRECT_DATE_INVOICE_MODIFICATION_ISSUE_DATE_LATE",
                     0, "a kelte (" + inv_.invoiceIssueDate + ") jövőbeli dátum");
            if (!create_ && issue.daysTo(today) >= 15)
                Warn("INCORRECT_DATE_INVOICE_MODIFICATION_ISSUE_DATE_EARLY", 0,
                     "a módosító okirat kelte (" + inv_.invoiceIssueDate +
                         ") legalább 15 nappal a jelentés napja előtt van");
        }
        if (today.isValid() && delivery.isValid() && delivery < QDate(today.year() - 6, 1, 1))
            Warn("INCORRECT_DATE_INVOICE_DELIVERY_DATE_EARLY", 0,
                 "a teljesítés dátuma (" + inv_.deliveryDate + ") elévült időszakba esik");
        if (aggregate_) {
            std::string latest;
            for (const TNavLine& line : inv_.lines)
                latest = std::max(latest, line.lineDeliveryDate);
            if (!latest.empty() && inv_.invoiceIssueDate < latest)
                Warn("INCORRECT_DATE_AGGREGATE_INVOICE_ISSUE_DATE", 0,
                     "a gyűjtőszámla kelte korábbi a tételek legkésőbbi teljesítésénél (" + latest +
                         ")");
            if (!latest.empty() && inv_.deliveryDate != latest)
                Warn("INCORRECT_DATE_AGGREGATE_INVOICE_DELIVERY_DATE", 0,
                     "a gyűjtőszámla teljesítési dátuma nem a tételek legkésőbbi teljesítése (" +
                         latest + ")");
        }
    }

    // --- Invoice number ---------------------------------------------------------------------

    void InvoiceNumber() {
        const std::string& n = inv_.invoiceNumber;
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        if (!n.empty() && (blank(n.front()) || blank(n.back())))
            Error("INVALID_INVOICE_NUMBER", 0,
                  "a számla sorszáma szóközzel vagy sortöréssel kezdődik vagy végződik");
    }

    // --- The data report as the electronic invoice itself -----------------------------------

    void Completeness() {
        if (!inv_.completenessIndicator)
            return;
        if (inv_.invoiceAppearance != "ELECTRONIC")
            Error("INVOICE_APPEARANCE_MISMATCH", 0,
                  "elektronikus számlaként csak ELECTRONIC megjelenésű számla jelenthető");
        if (inv_.mergedItemIndicator)
            Error("INVOICE_COMPLETENESS_MERGED_ITEM_INDICATOR_MISMATCH", 0,
                  "összevont tételes számla nem jelenthető elektronikus számlaként");
        if (inv_.customer.vatStatus == "PRIVATE_PERSON")
            Error("INVOICE_COMPLETENESS_PRIVATE_PERSON_INDICATOR_MISMATCH", 0,
                  "magánszemélynek szóló számla nem jelenthető elektronikus számlaként");
    }

    // --- Header warnings --------------------------------------------------------------------

    void Head() {
        const TNavTaxNumber& supplier = inv_.supplier.taxNumber;
        const TNavCustomer& customer = inv_.customer;
        if (customer.taxNumber && customer.taxNumber->taxpayerId == supplier.taxpayerId)
            Warn("SUPPLIER_CUSTOMER_MATCH_TAXPAYER", 0,
                 "az eladó és a vevő adószámának első nyolc számjegye azonos");
        if (!supplier.vatCode.empty() && !OneOf(supplier.vatCode, {"1", "2", "3", "5"}))
            Warn("INCORRECT_VAT_CODE_SUPPLIER", 0,
                 "az eladó adószámának áfakódja nem lehet " + supplier.vatCode);
        if (!supplier.countyCode.empty() && !ValidCountyCode(supplier.countyCode))
            Warn("INCORRECT_COUNTY_CODE_SUPPLIER", 0,
                 "az eladó adószámának megyekódja érvénytelen: " + supplier.countyCode);
        if (customer.taxNumber && !customer.taxNumber->countyCode.empty() &&
            !ValidCountyCode(customer.taxNumber->countyCode))
            Warn("INCORRECT_COUNTY_CODE_CUSTOMER", 0,
                 "a vevő adószámának megyekódja érvénytelen: " + customer.taxNumber->countyCode);
        const std::string& community = inv_.supplier.communityVatNumber;
        if (!community.empty() &&
            (community.size() < 8 || community.substr(community.size() - 8) != supplier.taxpayerId))
            Warn("INCORRECT_HEAD_DATA_SUPPLIER_COMMUNITY_VAT_NUMBER", 0,
                 "az eladó közösségi adószáma (" + community +
                     ") nem az adószáma első nyolc számjegyével végződik");
        if (inv_.currencyCode == "HUF" && !Near(inv_.exchangeRate, 1))
            Warn("INCORRECT_HEAD_DATA_CURRENCY_CODE_HUF", 0,
                 "forintos számla 1-től eltérő árfolyammal (" + DecimalText(inv_.exchangeRate, 6) +
                     ")");
        if (inv_.currencyCode != "HUF" && Near(inv_.exchangeRate, 1))
            Warn("INCORRECT_HEAD_DATA_EXCHANGE_RATE_1", 0,
                 inv_.currencyCode + " pénznemű számla 1-es árfolyammal");
        for (const RateLimits& limits : kRateLimits) {
            if (inv_.currencyCode == limits.currency &&
                (inv_.exchangeRate < limits.minimum || inv_.exchangeRate > limits.maximum))
                Warn("INCORRECT_HEAD_DATA_EXCHANGERATE_EXTREME", 0,
                     "szélsőséges " + inv_.currencyCode +
                         " árfolyam: " + DecimalText(inv_.exchangeRate, 6));
        }
    }

    // --- Line calculations ------------------------------------------------------------------

    // A forint twin against the amount and the rate.
    void Twin(const char* code, const char* aggregateCode, const TNavLine& line, double amount,
              double amountHUF, const char* what) {
        const double rate = line.lineExchangeRate.value_or(rate_);
        const double expected = amount * rate;
        if (Differs(amountHUF, expected, Tolerance(expected, true, rate)))
            Warn(line.lineExchangeRate ? aggregateCode : code, line.lineNumber,
                 std::string("a tétel forintban megadott ") + what + " (" + Money(amountHUF) +
                     ") eltér az árfolyammal számolttól (" + Money(expected) + ")");
    }

    // quantity × unit price less the discount, when the line gives them.
    static std::optional<double> Calculated(const TNavLine& line) {
        if (!line.quantity || !line.unitPrice)
            return std::nullopt;
        double value = *line.quantity * *line.unitPrice;
        if (line.discountValue)
            value -= *line.discountValue;
        else if (line.discountRate)
            value -= value * *line.discountRate;
        return value;
    }

    void LineCalculations() {
        for (const TNavLine& line : inv_.lines) {
            const int n = line.lineNumber;
            const bool created = line.lineOperation == "CREATE";
            if (line.amounts == TNavLineAmounts::Normal) {
                if (const auto calc = Calculated(line);
                    calc && created &&
                    Differs(line.netAmount, *calc, Tolerance(*calc, false, rate_)))
                    Warn("INCORRECT_LINE_CALCULATION_NET_AMOUNT", n,
                         "a tétel nettó összege (" + Money(line.netAmount) +
                             ") eltér a mennyiség és az egységár szorzatától (" + Money(*calc) +
                             ")");
                Twin("INCORRECT_LINE_CALCULATION_LINE_NET_AMOUNT_HUF",
                     "INCORRECT_LINE_CALCULATION_AGGREGATE_LINE_NET_AMOUNT_HUF", line,
                     line.netAmount, line.netAmountHUF, "nettó összege");
                if (line.vatAmount && line.vatAmountHUF)
                    Twin("INCORRECT_LINE_CALCULATION_LINE_VAT_AMOUNT_HUF",
                         "INCORRECT_LINE_CALCULATION_AGGREGATE_LINE_VAT_AMOUNT_HUF", line,
                         *line.vatAmount, *line.vatAmountHUF, "áfája");
                if (line.grossAmount && line.grossAmountHUF)
                    Twin("INCORRECT_LINE_CALCULATION_LINE_GROSS_AMOUNT_NORMAL_HUF",
                         "INCORRECT_LINE_CALCULATION_AGGREGATE_LINE_GROSS_AMOUNT_NORMAL_HUF", line,
                         *line.grossAmount, *line.grossAmountHUF, "bruttó összege");
                if (line.vatAmountHUF && line.grossAmountHUF) {
                    const double sum = line.netAmountHUF + *line.vatAmountHUF;
                    if (Differs(*line.grossAmountHUF, sum,
                                Tolerance(*line.grossAmountHUF, true, rate_)))
                        Warn("INCORRECT_LINE_CALCULATION_LINE_GROSS_AMOUNT_NORMAL_SUM", n,
                             "a tétel forintban megadott bruttó összege (" +
                                 Money(*line.grossAmountHUF) +
                                 ") eltér a nettó összeg és az áfa összegétől (" + Money(sum) +
                                 ")");
                }
                const bool vat = (line.vatAmount && !Near(*line.vatAmount, 0)) ||
                                 (line.vatAmountHUF && !Near(*line.vatAmountHUF, 0));
                const char* code = nullptr;
                switch (line.vatRate.category) {
                    case C::Exemption:
                        code = "INCORRECT_LINE_DATA_VAT_EXEMPTION_NORMAL";
                        break;
                    case C::OutOfScope:
                        code = "INCORRECT_LINE_DATA_VAT_OUT_OF_SCOPE_NORMAL";
                        break;
                    case C::DomesticReverseCharge:
                        code = "INCORRECT_LINE_DATA_VAT_DOMESTIC_REVERSE_CHARGE_NORMAL";
                        break;
                    case C::MarginScheme:
                        code = "INCORRECT_LINE_DATA_MARGIN_SCHEME_INDICATOR_NORMAL";
                        break;
                    default:
                        break;
                }
                if (code && vat)
                    Warn(code, n,
                         "a tétel " + CaseText(line.vatRate) + " esetén is áfát tartalmaz");
            } else if (line.amounts == TNavLineAmounts::Simplified) {
                const double gross = line.grossAmount.value_or(0);
                if (const auto calc = Calculated(line);
                    calc && created && Differs(gross, *calc, Tolerance(*calc, false, rate_)))
                    Warn("INCORRECT_LINE_CALCULATION_GROSS_AMOUNT", n,
                         "a tétel bruttó összege (" + Money(gross) +
                             ") eltér a mennyiség és az egységár szorzatától (" + Money(*calc) +
                             ")");
                if (line.grossAmountHUF)
                    Twin("INCORRECT_LINE_CALCULATION_LINE_GROSS_AMOUNT_SIMPLIFIED_HUF",
                         "INCORRECT_LINE_CALCULATION_LINE_GROSS_AMOUNT_SIMPLIFIED_HUF", line, gross,
                         *line.grossAmountHUF, "bruttó összege");
            }
            if (line.unitPrice && line.unitPriceHUF)
                Twin("INCORRECT_LINE_CALCULATION_LINE_UNIT_PRICE_HUF",
                     "INCORRECT_LINE_CALCULATION_AGGREGATE_LINE_UNIT_PRICE_HUF", line,
                     *line.unitPrice, *line.unitPriceHUF, "egységára");
        }
    }

    // --- Summary ----------------------------------------------------------------------------

    // The invoice's sum against the one it states.
    void Sum(const char* code, double stated, double sum, bool huf, const std::string& what) {
        if (Differs(stated, sum, Tolerance(stated, huf, rate_)))
            Warn(code, 0,
                 what + " (" + Money(stated) + ") eltér a részösszegek összegétől (" + Money(sum) +
                     ")");
    }

    // An amount of the summary against its forint twin.
    void SummaryTwin(const char* code, double amount, double amountHUF, const std::string& what) {
        const double expected = amount * rate_;
        if (Differs(amountHUF, expected, Tolerance(expected, true, rate_)))
            Warn(code, 0,
                 what + " forintban (" + Money(amountHUF) + ") eltér az árfolyammal számolttól (" +
                     Money(expected) + ")");
    }

    void Summary() {
        // The VAT cases of the lines and of the summary.
        if (create_ || normalLines_ || simplified_) {
            struct Kind {
                TNavVatCategory category;
                const char* normal;
                const char* simplified;
            };
            const Kind kinds[] = {
                {C::Percentage, "INCORRECT_SUMMARY_DATA_VAT_PERCENTAGE", nullptr},
                {C::Content, nullptr,
                 "INCORRECT_SUMMARY_CALCULATION_VAT_CONTENT_SUMMARY_SIMPLIFIED"},
                {C::Exemption, "INCORRECT_SUMMARY_DATA_VAT_EXEMPTION",
                 "INCORRECT_SUMMARY_CALCULATION_VAT_EXEMPTION_SUMMARY_SIMPLIFIED"},
                {C::OutOfScope, "INCORRECT_SUMMARY_DATA_VAT_OUT_OF_SCOPE",
                 "INCORRECT_SUMMARY_CALCULATION_VAT_OUT_OF_SCOPE_SUMMARY_SIMPLIFIED"},
                {C::DomesticReverseCharge, "INCORRECT_SUMMARY_DATA_VAT_DOMESTIC_REVERSE_CHARGE",
                 "INCORRECT_SUMMARY_CALCULATION_VAT_DOMESTIC_REVERSE_CHARGE_SUMMARY_SIMPLIFIED"},
                {C::MarginScheme, "INCORRECT_SUMMARY_DATA_MARGIN_SCHEME_INDICATOR",
                 "INCORRECT_SUMMARY_CALCULATION_VAT_MARGIN_SCHEME_INDICATOR_SUMMARY_SIMPLIFIED"},
                {C::AmountMismatch, "INCORRECT_SUMMARY_DATA_VAT_AMOUNT_MISMATCH_NORMAL",
                 "INCORRECT_SUMMARY_CALCULATION_VAT_AMOUNT_MISMATCH_SUMMARY_SIMPLIFIED"},
            };
            for (const Kind& kind : kinds) {
                const char* code = inv_.summarySimplified ? kind.simplified : kind.normal;
                if (!code)
                    continue;
                std::set<std::string> lines;
                std::set<std::string> rows;
                for (const TNavLine& line : inv_.lines) {
                    if (line.amounts != TNavLineAmounts::None &&
                        line.vatRate.category == kind.category)
                        lines.insert(CaseText(line.vatRate));
                }
                for (const TNavVatSummary& row : inv_.summary) {
                    if (row.vatRate.category == kind.category)
                        rows.insert(CaseText(row.vatRate));
                }
                if (lines != rows)
                    Warn(code, 0,
                         "a tételek és az összesítő ÁFA-esetei eltérnek (" + Joined(lines) + " / " +
                             Joined(rows) + ")");
            }
        }
        if (inv_.summarySimplified)
            SimplifiedSummary();
        else
            NormalSummary();
    }

    static std::string Joined(const std::set<std::string>& values) {
        std::string text;
        for (const std::string& v : values)
            text += (text.empty() ? "" : ", ") + v;
        return text.empty() ? "-" : text;
    }

    void NormalSummary() {
        double net = 0, netHUF = 0, vat = 0, vatHUF = 0;
        for (const TNavVatSummary& row : inv_.summary) {
            net += row.netAmount;
            netHUF += row.netAmountHUF;
            vat += row.vatAmount;
            vatHUF += row.vatAmountHUF;
            const std::string what = "a(z) " + CaseText(row.vatRate) + " összesítő ";
            // Against the lines of the same VAT case.
            if (create_ || normalLines_) {
                double lineNet = 0, lineNetHUF = 0;
                for (const TNavLine& line : inv_.lines) {
                    if (line.amounts == TNavLineAmounts::Normal &&
                        SameCase(line.vatRate, row.vatRate)) {
                        lineNet += line.netAmount;
                        lineNetHUF += line.netAmountHUF;
                    }
                }
                if (!Near(row.netAmount, 0))
                    Sum("INCORRECT_SUMMARY_CALCULATION_VAT_RATE_NET_AMOUNT_LINE", row.netAmount,
                        lineNet, false, what + "nettó összege");
                if (!Near(row.netAmountHUF, 0))
                    Sum("INCORRECT_SUMMARY_CALCULATION_VAT_RATE_NET_AMOUNT_HUF_LINE",
                        row.netAmountHUF, lineNetHUF, true, what + "nettó összege forintban");
            }
            if (row.vatRate.category == C::Percentage) {
                const double expected = row.netAmount * row.vatRate.percentage;
                if (!Near(row.netAmount, 0) &&
                    Differs(row.vatAmount, expected, Tolerance(row.vatAmount, false, rate_)))
                    Warn("INCORRECT_SUMMARY_CALCULATION_VAT_RATE_VAT_AMOUNT_SUMMARY", 0,
                         what + "áfája (" + Money(row.vatAmount) +
                             ") eltér a nettó összeg és a mérték szorzatától (" + Money(expected) +
                             ")");
                const double expectedHUF = row.netAmountHUF * row.vatRate.percentage;
                if (!Near(row.netAmountHUF, 0) && Differs(row.vatAmountHUF, expectedHUF,
                                                          Tolerance(row.vatAmountHUF, true, rate_)))
                    Warn("INCORRECT_SUMMARY_CALCULATION_VAT_RATE_VAT_AMOUNT_HUF_SUMMARY", 0,
                         what + "áfája forintban (" + Money(row.vatAmountHUF) +
                             ") eltér a nettó összeg és a mérték szorzatától (" +
                             Money(expectedHUF) + ")");
            }
            const bool rowVat = !Near(row.vatAmount, 0) || !Near(row.vatAmountHUF, 0);
            const char* code = nullptr;
            switch (row.vatRate.category) {
                case C::Exemption:
                    code = "INCORRECT_SUMMARY_DATA_VAT_EXEMPTION_NORMAL";
                    break;
                case C::OutOfScope:
                    code = "INCORRECT_SUMMARY_DATA_VAT_OUT_OF_SCOPE_NORMAL";
                    break;
                case C::DomesticReverseCharge:
                    code = "INCORRECT_SUMMARY_DATA_VAT_DOMESTIC_REVERSE_CHARGE_NORMAL";
                    break;
                case C::MarginScheme:
                    code = "INCORRECT_SUMMARY_DATA_MARGIN_SCHEME_INDICATOR_NORMAL";
                    break;
                default:
                    break;
            }
            if (code && rowVat)
                Warn(code, 0, what + "áfát tartalmaz");
            SummaryTwin("INCORRECT_SUMMARY_DATA_INVOICE_VAT_RATE_NET_AMOUNT_HUF", row.netAmount,
                        row.netAmountHUF, what + "nettó összege");
            SummaryTwin("INCORRECT_SUMMARY_DATA_INVOICE_VAT_RATE_VAT_AMOUNT_HUF", row.vatAmount,
                        row.vatAmountHUF, what + "áfája");
        }
        Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_NET_AMOUNT", inv_.invoiceNetAmount, net, false,
            "a számla nettó összege");
        Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_NET_AMOUNT_HUF", inv_.invoiceNetAmountHUF,
            netHUF, true, "a számla nettó összege forintban");
        Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_VAT_AMOUNT_SUMMARY", inv_.invoiceVatAmount, vat,
            false, "a számla áfája");
        Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_VAT_AMOUNT_HUF_SUMMARY",
            inv_.invoiceVatAmountHUF, vatHUF, true, "a számla áfája forintban");
        if (create_ || normalLines_) {
            double lineNetHUF = 0;
            for (const TNavLine& line : inv_.lines) {
                if (line.amounts == TNavLineAmounts::Normal)
                    lineNetHUF += line.netAmountHUF;
            }
            Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_NET_AMOUNT_LINE_HUF",
                inv_.invoiceNetAmountHUF, lineNetHUF, true,
                "a számla nettó összege forintban a tételekéhez képest");
        }
        if (inv_.invoiceGrossAmount)
            Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_GROSS_AMOUNT_SUMMARY",
                *inv_.invoiceGrossAmount, inv_.invoiceNetAmount + inv_.invoiceVatAmount, false,
                "a számla bruttó összege a nettó összeghez és az áfához képest");
        if (inv_.invoiceGrossAmountHUF)
            Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_GROSS_AMOUNT_HUF_SUMMARY",
                *inv_.invoiceGrossAmountHUF, inv_.invoiceNetAmountHUF + inv_.invoiceVatAmountHUF,
                true, "a számla bruttó összege forintban a nettó összeghez és az áfához képest");
        SummaryTwin("INCORRECT_SUMMARY_DATA_INVOICE_NET_AMOUNT_HUF", inv_.invoiceNetAmount,
                    inv_.invoiceNetAmountHUF, "a számla nettó összege");
        SummaryTwin("INCORRECT_SUMMARY_DATA_INVOICE_VAT_AMOUNT_HUF", inv_.invoiceVatAmount,
                    inv_.invoiceVatAmountHUF, "a számla áfája");
        if (inv_.invoiceGrossAmount && inv_.invoiceGrossAmountHUF)
            SummaryTwin("INCORRECT_SUMMARY_DATA_INVOICE_GROSS_AMOUNT_HUF", *inv_.invoiceGrossAmount,
                        *inv_.invoiceGrossAmountHUF, "a számla bruttó összege");
        if (create_ && inv_.invoiceNetAmount < 0)
            Warn(
                "INCORRECT_SUMMARY_DATA_INVOICE_NET_AMOUNT", 0,
                "új számla nettó összege nem lehet negatív (" + Money(inv_.invoiceNetAmount) + ")");
    }

    void SimplifiedSummary() {
        double gross = 0, grossHUF = 0;
        for (const TNavVatSummary& row : inv_.summary) {
            const double rowGross = row.grossAmount.value_or(0);
            const double rowGrossHUF = row.grossAmountHUF.value_or(0);
            gross += rowGross;
            grossHUF += rowGrossHUF;
            const std::string what = "a(z) " + CaseText(row.vatRate) + " összesítő ";
            double lineGross = 0, lineGrossHUF = 0;
            for (const TNavLine& line : inv_.lines) {
                if (line.amounts == TNavLineAmounts::Simplified &&
                    SameCase(line.vatRate, row.vatRate)) {
                    lineGross += line.grossAmount.value_or(0);
                    lineGrossHUF += line.grossAmountHUF.value_or(0);
                }
            }
            Sum("INCORRECT_SUMMARY_CALCULATION_VAT_CONTENT_GROSS_AMOUNT_SUMMARY_SIMPLIFIED",
                rowGross, lineGross, false, what + "bruttó összege");
            Sum("INCORRECT_SUMMARY_CALCULATION_VAT_CONTENT_GROSS_AMOUNT_HUF_SUMMARY_SIMPLIFIED",
                rowGrossHUF, lineGrossHUF, true, what + "bruttó összege forintban");
            SummaryTwin("INCORRECT_SUMMARY_DATA_INVOICE_VAT_CONTENT_GROSS_AMOUNT_HUF", rowGross,
                        rowGrossHUF, what + "bruttó összege");
        }
        double lineGross = 0, lineGrossHUF = 0;
        for (const TNavLine& line : inv_.lines) {
            if (line.amounts == TNavLineAmounts::Simplified) {
                lineGross += line.grossAmount.value_or(0);
                lineGrossHUF += line.grossAmountHUF.value_or(0);
            }
        }
        if (inv_.invoiceGrossAmount) {
            Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_VAT_AMOUNT", *inv_.invoiceGrossAmount, gross,
                false, "a számla bruttó összege");
            Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_GROSS_AMOUNT_LINE", *inv_.invoiceGrossAmount,
                lineGross, false, "a számla bruttó összege a tételekéhez képest");
            if (create_ && *inv_.invoiceGrossAmount < 0)
                Warn("INCORRECT_SUMMARY_DATA_INVOICE_GROSS_AMOUNT", 0,
                     "új egyszerűsített számla bruttó összege nem lehet negatív");
        }
        if (inv_.invoiceGrossAmountHUF) {
            Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_VAT_AMOUNT_HUF", *inv_.invoiceGrossAmountHUF,
                grossHUF, true, "a számla bruttó összege forintban");
            Sum("INCORRECT_SUMMARY_CALCULATION_INVOICE_GROSS_AMOUNT_HUF_LINE",
                *inv_.invoiceGrossAmountHUF, lineGrossHUF, true,
                "a számla bruttó összege forintban a tételekéhez képest");
        }
        if (inv_.invoiceGrossAmount && inv_.invoiceGrossAmountHUF)
            SummaryTwin("INCORRECT_SUMMARY_DATA_INVOICE_GROSS_AMOUNT_HUF", *inv_.invoiceGrossAmount,
                        *inv_.invoiceGrossAmountHUF, "a számla bruttó összege");
    }

    const TNavInvoice& inv_;
    const TNavCheckContext& ctx_;
    double rate_ = 1;
    bool create_ = true;
    bool simplified_ = false;
    bool aggregate_ = false;
    bool normalLines_ = false;
    std::vector<TNavFinding> findings_;
};

}  // namespace

std::vector<TNavFinding> CheckNavInvoice(const TNavInvoice& invoice,
                                         const TNavCheckContext& context) {
    return Checker(invoice, context).Run();
}

std::vector<TNavFinding> Findings(const std::vector<TNavFinding>& findings, TNavSeverity severity) {
    std::vector<TNavFinding> selected;
    for (const TNavFinding& f : findings) {
        if (f.severity == severity)
            selected.push_back(f);
    }
    return selected;
}

std::string FindingText(const TNavFinding& finding) {
    return finding.code +
           (finding.line > 0 ? ", " + std::to_string(finding.line) + ". tétel: " : ": ") +
           finding.message;
}

NavRejectedError::NavRejectedError(std::vector<TNavFinding> findings)
    : NavDataError("Az adóhatóság elutasítaná a számlaadatot: " +
                   FindingText(Findings(findings, TNavSeverity::Error).at(0))),
      findings_(std::move(findings)) {}

void RejectErrors(const std::vector<TNavFinding>& findings) {
    if (!Findings(findings, TNavSeverity::Error).empty())
        throw NavRejectedError(findings);
}

}  // namespace dorvan::nav
