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

namespace dorvan::nav {

// The document cannot be expressed as invoice data; what() names what is missing.
class NavDataError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------------------
// Output records
// ---------------------------------------------------------------------------------------

// A Hungarian tax number in its three parts ("12345678-2-16").
struct TNavTaxNumber {
    std::string taxpayerId;  // 8 digits
    std::string vatCode;     // 1 digit, 1-5
    std::string countyCode;  // 2 digits
    bool operator==(const TNavTaxNumber&) const = default;
};

// An address: detailed when the street line splits into name, public place category and
// number; simple (the street line as additional detail) otherwise.
struct TNavAddress {
    bool detailed = false;
    std::string countryCode;  // ISO 3166 alpha-2
    std::string postalCode;
    std::string city;
    std::string streetName;               // detailed
    std::string publicPlaceCategory;      // detailed
    std::string number;                   // detailed, may be empty
    std::string additionalAddressDetail;  // simple
    bool operator==(const TNavAddress&) const = default;
};

enum class TNavVatCategory { Percentage, Exemption, OutOfScope, DomesticReverseCharge };

// The VAT case of a line or of a summary row.
struct TNavVatRate {
    TNavVatCategory category = TNavVatCategory::Percentage;
    double percentage = 0;        // Percentage: the rate as a fraction (0.27)
    std::string exemptionCase;    // Exemption, OutOfScope: case code (TAM, KBAET, ATK, ...)
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
    std::string vatStatus;  // DOMESTIC, OTHER, PRIVATE_PERSON
    std::optional<TNavTaxNumber> taxNumber;
    std::string communityVatNumber;
    std::string thirdStateTaxId;
    std::string name;                    // empty for a private person
    std::optional<TNavAddress> address;  // none for a private person
};

struct TNavLine {
    int lineNumber = 0;
    std::optional<int> lineNumberReference;  // modification: the line number it creates
    std::optional<TNavProductCode> productCode;
    bool service = false;
    std::string description;  // empty: none
    double quantity = 0;
    TNavUnit unit;
    double unitPrice = 0;
    double unitPriceHUF = 0;
    double netAmount = 0;
    double netAmountHUF = 0;
    TNavVatRate vatRate;
    double vatAmount = 0;
    double vatAmountHUF = 0;
    double grossAmount = 0;
    double grossAmountHUF = 0;
};

struct TNavVatSummary {
    TNavVatRate vatRate;
    double netAmount = 0;
    double netAmountHUF = 0;
    double vatAmount = 0;
    double vatAmountHUF = 0;
    double grossAmount = 0;
    double grossAmountHUF = 0;
};

// A modification of an earlier invoice (a reversing document).
struct TNavInvoiceReference {
    std::string originalInvoiceNumber;
    int modificationIndex = 1;
};

struct TNavInvoice {
    std::string invoiceNumber;
    std::string invoiceIssueDate;  // YYYY-MM-DD
    std::optional<TNavInvoiceReference> reference;
    TNavSupplier supplier;
    TNavCustomer customer;
    std::string deliveryDate;  // YYYY-MM-DD
    std::string currencyCode;
    double exchangeRate = 1;
    std::string paymentMethod;  // TRANSFER, CASH, CARD, VOUCHER, OTHER
    std::string paymentDate;    // empty: none
    std::vector<TNavLine> lines;
    std::vector<TNavVatSummary> summary;  // per VAT case, in the order of the lines
    double invoiceNetAmount = 0;
    double invoiceNetAmountHUF = 0;
    double invoiceVatAmount = 0;
    double invoiceVatAmountHUF = 0;
    double invoiceGrossAmount = 0;
    double invoiceGrossAmountHUF = 0;
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
    // documents up to this one modify it, and how many lines it had.
    std::string sztornozott_szamlaszam;
    int modositas_index = 1;
    int eredeti_sorok_szama = 0;
};

// ---------------------------------------------------------------------------------------
// The mapping
// ---------------------------------------------------------------------------------------

// "12345678-2-16" (blanks and dashes between the parts optional); nullopt when the text is
// not a Hungarian tax number.
std::optional<TNavTaxNumber> SplitTaxNumber(std::string_view text);

// A community VAT number with blanks removed, upper case ("HU12345678"); "" when the text
// is not one.
std::string CommunityVatNumber(std::string_view text);

// ISO country code of a country name as stored (Hungarian names and two-letter codes); when
// the name is empty or unknown, the prefix of `communityVat` ("EL" is Greece); an empty name
// without one is Hungary. "" when nothing tells.
std::string CountryCode(std::string_view orszag, std::string_view communityVat);

// The address of a postal code, town and street line in a country. Throws NavDataError
// (with `who` in the message) when the postal code, town or street line is missing or the
// postal code is not one the schema takes.
TNavAddress MapAddress(const std::string& countryCode, std::string_view iszam,
                       std::string_view telepules, std::string_view cim, const std::string& who);

// The VAT case of a key. A key without a category is a rate when it is neither exempt nor
// reverse-charged; otherwise NavDataError names the key.
TNavVatRate MapVatKey(const TNavVatKeySource& key);

// The schema's unit for a unit name (letter case ignored), OWN with the name otherwise.
TNavUnit MapUnit(std::string_view name);

// The product code of an item: VTSZ for goods, TESZOR for services; blanks, dots and dashes
// dropped. nullopt when the item has none or it is not a code of digits.
std::optional<TNavProductCode> MapProductCode(std::string_view code, bool service);

// The reported payment method: the stored one, else cash or transfer by the method's flags,
// else OTHER.
std::string MapPaymentMethod(std::string_view nav, int keszpenzes, int halasztott);

// The customer's VAT status and data.
TNavCustomer MapCustomer(const TNavCustomerSource& vevo);

// The whole document. Throws NavDataError naming what is missing.
TNavInvoice BuildNavInvoice(const TNavInvoiceSource& source);

}  // namespace dorvan::nav
