#pragma once
// The invoice data reported to the tax authority (Online Számla 3.0, `InvoiceData`), as
// plain records, and the mapping that builds them from what the printed invoice reads.
//
// The mapping is pure: `TNavInvoiceSource` carries the values of the invoice datasets and
// lookups as they are stored; `BuildNavInvoice` turns them into `TNavInvoice`, whose every
// field is ready to be written (codes, rounded amounts, split tax numbers, addresses).
// A document that cannot be expressed raises NavDataError naming what is missing.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "nav/nav_error.h"

namespace dorvan::nav {

// The document cannot be expressed as invoice data; what() names what is missing.
class NavDataError : public NavError {
  public:
    using NavError::NavError;
};

// ---------------------------------------------------------------------------------------
// Output records
// ---------------------------------------------------------------------------------------

// A Hungarian tax number in its three parts ("12345678-2-16"); a customer's may be its first
// eight digits alone (VAT code and county code empty).
struct TNavTaxNumber {
    std::string taxpayerId;  // 8 digits
    std::string vatCode;     // 1 digit, 1-5; empty: not given
    std::string countyCode;  // 2 digits; empty: not given
    bool operator==(const TNavTaxNumber&) const = default;
};

// An address: detailed when the street line splits into name, public place category and
// number; simple (the street line as additional detail) otherwise.
struct TNavAddress {
    bool detailed = false;
    std::string countryCode;  // ISO 3166 alpha-2
    std::string postalCode;   // "0000" where the address has none
    std::string city;
    std::string streetName;               // detailed
    std::string publicPlaceCategory;      // detailed
    std::string number;                   // detailed, may be empty
    std::string additionalAddressDetail;  // simple
    bool operator==(const TNavAddress&) const = default;
};

// How the invoice data is sent: a new invoice, a modification or a cancellation (a reversing
// document) of an earlier one.
enum class TNavOperation { Create, Modify, Storno };

// "CREATE", "MODIFY", "STORNO".
const char* OperationName(TNavOperation operation);

enum class TNavVatCategory {
    Percentage,             // vatPercentage (normal and aggregate invoices)
    Content,                // vatContent (simplified invoices)
    Exemption,              // vatExemption: case and reason
    OutOfScope,             // vatOutOfScope: case and reason
    DomesticReverseCharge,  // vatDomesticReverseCharge
    MarginScheme,           // marginSchemeIndicator: the indicator in `exemptionCase`
    AmountMismatch,         // vatAmountMismatch: the rate in `percentage`, the case
    NoVatCharge,            // noVatCharge
};

// The VAT case of a line or of a summary row.
struct TNavVatRate {
    TNavVatCategory category = TNavVatCategory::Percentage;
    double percentage = 0;        // Percentage, Content, AmountMismatch: the rate (0.27)
    std::string exemptionCase;    // Exemption, OutOfScope, AmountMismatch: the case code
                                  // (TAM, KBAET, ATK, ...); MarginScheme: the indicator
    std::string exemptionReason;  // Exemption, OutOfScope: the reason reported
    bool operator==(const TNavVatRate&) const = default;
};

// A unit of measure: one of the schema's units, or OWN with the unit's own name.
struct TNavUnit {
    std::string unitOfMeasure;  // PIECE, KILOGRAM, ..., OWN; empty: no unit
    std::string own;            // the name when OWN
    bool operator==(const TNavUnit&) const = default;
};

struct TNavProductCode {
    std::string category;  // VTSZ (goods) or TESZOR (services)
    std::string value;     // digits only
    bool operator==(const TNavProductCode&) const = default;
};

struct TNavSupplier {
    TNavTaxNumber taxNumber;
    std::string communityVatNumber;  // empty: none
    std::string name;
    TNavAddress address;
    std::string bankAccountNumber;  // empty: none
};

struct TNavCustomer {
    std::string vatStatus;  // DOMESTIC, OTHER, PRIVATE_PERSON; empty: no customer data
    std::optional<TNavTaxNumber> taxNumber;
    std::string communityVatNumber;
    std::string thirdStateTaxId;
    std::string name;                    // empty for a private person
    std::optional<TNavAddress> address;  // none for a private person
};

// Which amounts a line carries.
enum class TNavLineAmounts { None, Normal, Simplified };

struct TNavLine {
    int lineNumber = 0;
    // A modification: the line number it creates in the invoice chain, and how.
    std::optional<int> lineNumberReference;
    std::string lineOperation = "CREATE";
    bool advanceIndicator = false;  // an advance payment line
    std::optional<TNavProductCode> productCode;
    bool expressionIndicator = false;  // quantity, unit and unit price given
    bool service = false;
    std::string description;  // empty: none
    std::optional<double> quantity;
    TNavUnit unit;
    std::optional<double> unitPrice;
    std::optional<double> unitPriceHUF;
    std::optional<double> discountValue;  // the discount of the line, as an amount
    std::optional<double> discountRate;   // or as a fraction
    TNavLineAmounts amounts = TNavLineAmounts::Normal;
    TNavVatRate vatRate;
    double netAmount = 0;  // Normal
    double netAmountHUF = 0;
    std::optional<double> vatAmount;  // Normal
    std::optional<double> vatAmountHUF;
    std::optional<double> grossAmount;  // Normal; Simplified: the line's gross amount
    std::optional<double> grossAmountHUF;
    // Aggregate invoices: the line's own exchange rate and delivery date.
    std::optional<double> lineExchangeRate;
    std::string lineDeliveryDate;
};

// A row of the summary per VAT case. A simplified invoice's rows carry only the gross
// amounts (its VAT content in `vatRate`).
struct TNavVatSummary {
    TNavVatRate vatRate;
    double netAmount = 0;
    double netAmountHUF = 0;
    double vatAmount = 0;
    double vatAmountHUF = 0;
    std::optional<double> grossAmount;
    std::optional<double> grossAmountHUF;
};

// A modification of an earlier invoice (a reversing document).
struct TNavInvoiceReference {
    std::string originalInvoiceNumber;
    // The original invoice was never reported (and never will be).
    bool modifyWithoutMaster = false;
    int modificationIndex = 1;
};

struct TNavInvoice {
    TNavOperation operation = TNavOperation::Create;  // how it is sent, not part of the XML
    std::string invoiceNumber;
    std::string invoiceIssueDate;        // YYYY-MM-DD
    bool completenessIndicator = false;  // the data report is the electronic invoice itself
    std::optional<TNavInvoiceReference> reference;
    TNavSupplier supplier;
    TNavCustomer customer;
    std::string invoiceCategory = "NORMAL";  // NORMAL, SIMPLIFIED, AGGREGATE
    std::string deliveryDate;                // YYYY-MM-DD
    std::string currencyCode;
    double exchangeRate = 1;
    std::string paymentMethod;                // TRANSFER, CASH, CARD, VOUCHER, OTHER; empty: none
    std::string paymentDate;                  // empty: none
    std::string invoiceAppearance = "PAPER";  // PAPER, ELECTRONIC, EDI, UNKNOWN
    bool mergedItemIndicator = false;
    std::vector<TNavLine> lines;
    bool summarySimplified = false;       // rows by VAT content with gross amounts only
    std::vector<TNavVatSummary> summary;  // per VAT case, in the order of the lines
    double invoiceNetAmount = 0;          // not in a simplified summary
    double invoiceNetAmountHUF = 0;
    double invoiceVatAmount = 0;
    double invoiceVatAmountHUF = 0;
    std::optional<double> invoiceGrossAmount;
    std::optional<double> invoiceGrossAmountHUF;
};

// ---------------------------------------------------------------------------------------
// Input records: the stored values
// ---------------------------------------------------------------------------------------

// A VAT key (`afa_kulcs`) with its reporting columns.
struct TNavVatKeySource {
    int kod = 0;
    std::string nev;  // Hungarian name, for messages
    double afakulcs = 0;
    int mentes = 0;
    int forditott_adozas = 0;
    std::string nav_kategoria;  // PERCENTAGE, EXEMPTION, OUT_OF_SCOPE, DOMESTIC_REVERSE_CHARGE
    std::string nav_eset;
    std::string nav_indoklas;
};

struct TNavSupplierSource {
    std::string nev;
    std::string iszam;
    std::string telepules;
    std::string cim;  // street line
    std::string adoszam;
    std::string adoszam_eu;
    std::string bank_szamlaszam;
    std::string bank_szamlaszam_iban;
};

struct TNavCustomerSource {
    int kod = 0;
    // As printed on the document.
    std::string nev;
    std::string iszam;
    std::string telepules;
    std::string cim;
    std::string orszag;
    std::string adoszam;  // tax number, or the community VAT number when it has none
    // From the partner record.
    std::string adoszam_eu;
    std::string adoazonosito;  // personal tax identifier of a private person
    // The partner record carries a natural person's data (birth date, mother's name, birth
    // name, social-security number).
    bool maganszemely = false;
};

struct TNavLineSource {
    std::string leiras;  // printed item text
    std::string tetel_azonosito_kod;
    int tetel_tipus = 1;  // 0: service
    double mennyiseg = 0;
    std::string mee;  // unit name as printed
    double netto_egysegar = 0;
    double netto_egysegar_huf = 0;
    double netto_arbevetel = 0;
    double netto_arbevetel_huf = 0;
    double brutto_arbevetel = 0;
    double brutto_arbevetel_huf = 0;
    TNavVatKeySource afa;
};

struct TNavInvoiceSource {
    int bizonylat_fajta = 5;
    std::string bizonylatszam;
    std::string kelte;         // YYYY-MM-DD, empty: none
    std::string telj_datum;    // YYYY-MM-DD, empty: none
    std::string fiz_hatarido;  // YYYY-MM-DD, empty: none
    std::string deviza_nev;    // empty: forint
    double deviza_arfolyam = 1;
    // Payment method.
    std::string nav_fizetesmod;
    int keszpenzes = 0;
    int halasztott_fizetesu = 0;
    TNavSupplierSource kiallito;
    TNavCustomerSource vevo;
    std::vector<TNavLineSource> tetelek;
    // Totals as printed.
    double netto_arbevetel_vegosszeg = 0;
    double afa_arbevetel_vegosszeg = 0;
    double brutto_arbevetel_vegosszeg = 0;
    double netto_arbevetel_vegosszeg_huf = 0;
    double afa_arbevetel_vegosszeg_huf = 0;
    double brutto_arbevetel_vegosszeg_huf = 0;
    // A reversing document: the number of the document it reverses (empty: none), how many
    // documents up to this one modify it, how many lines it had and its issue date.
    std::string sztornozott_szamlaszam;
    int modositas_index = 1;
    int eredeti_sorok_szama = 0;
    std::string eredeti_kelte;  // YYYY-MM-DD
    // Whether the reversed invoice was reported, when that is known (the register of
    // submissions); nullopt: decided by the reporting obligation at its issue date.
    std::optional<bool> eredeti_jelentve;
    // How the invoice was issued (not stored): PAPER, or ELECTRONIC when no paper copy is made.
    std::string megjelenes = "PAPER";
};

// ---------------------------------------------------------------------------------------
// The mapping
// ---------------------------------------------------------------------------------------

// "12345678-2-16" (blanks and dashes between the parts optional); nullopt when the text is
// not a Hungarian tax number.
std::optional<TNavTaxNumber> SplitTaxNumber(std::string_view text);

// A community VAT number with blanks removed, upper case ("HU12345678"); "" when the text
// is not one: two letters of a member state's prefix (HU included, Greece EL, Northern
// Ireland XI) and 2 to 13 letters or digits. Swiss "CHE-..." and other third-state ids are
// not.
std::string CommunityVatNumber(std::string_view text);

// ISO country code of a country name as stored (Hungarian names and two-letter codes); when
// the name is empty or unknown, the prefix of `communityVat` ("EL" is Greece); an empty name
// without one is Hungary. "" when nothing tells.
std::string CountryCode(std::string_view orszag, std::string_view communityVat);

// The address of a postal code, town and street line in a country. A missing postal code is
// "0000" when `withoutPostalCode` allows an address without one (a customer's). Throws
// NavDataError (with `who` in the message) when the postal code (else), town or street line
// is missing or the postal code is not one the schema takes.
TNavAddress MapAddress(const std::string& countryCode, std::string_view iszam,
                       std::string_view telepules, std::string_view cim, const std::string& who,
                       bool withoutPostalCode);

// The VAT case of a key. A key without a category is a rate when it is neither exempt nor
// reverse-charged (a 0 % rate is one the authority refuses: the key needs the exemption or
// out-of-scope case it stands for); otherwise NavDataError names the key. Case codes are
// reported in capitals.
TNavVatRate MapVatKey(const TNavVatKeySource& key);

// The schema's unit for a unit name (letter case ignored), OWN with the name otherwise.
TNavUnit MapUnit(std::string_view name);

// The product code of an item: VTSZ for goods, TESZOR for services; blanks, dots and dashes
// dropped. nullopt when the item has none or it is not a code of digits.
std::optional<TNavProductCode> MapProductCode(std::string_view code, bool service);

// The reported payment method: the stored one, else cash or transfer by the method's flags,
// else OTHER.
std::string MapPaymentMethod(std::string_view nav, int keszpenzes, int halasztott);

// The customer's VAT status and data: DOMESTIC with a Hungarian tax number (or its first
// eight digits), OTHER with a community VAT number of another member state or a third-state
// tax id, PRIVATE_PERSON for a natural person (domestic or foreign) without any; an
// organisation without a tax number is OTHER with name and address.
TNavCustomer MapCustomer(const TNavCustomerSource& vevo);

// Whether an invoice issued on `issueDate` had to be reported: not before 1 July 2018; until
// 30 June 2020 only to a domestic taxable customer with at least 100 000 forints of VAT; until
// 3 January 2021 only to a domestic taxable customer; from 4 January 2021 every invoice.
bool ReportingObligation(std::string_view issueDate, std::string_view customerVatStatus,
                         double vatAmountHUF);

// The whole document. Throws NavDataError naming what is missing.
TNavInvoice BuildNavInvoice(const TNavInvoiceSource& source);

}  // namespace dorvan::nav
