// The mapping from the invoice's stored values to the tax authority's invoice data, without a
// database: tax numbers, VAT cases, units, product codes, customers, addresses, currency, the
// modification of a reversed invoice and the documents that cannot be expressed. Every
// document built is also checked against the schema.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "nav/nav_invoice.h"
#include "nav/nav_validation.h"
#include "nav/nav_xml_writer.h"
#include "nav_test_support.h"

namespace dorvan::nav {
namespace {

using test::BaseInvoice;
using test::Contains;
using test::SchemaErrors;
using test::SchemaPresent;

TEST(NavMapping, SplitsHungarianTaxNumbers) {
    struct Case {
        const char* text;
        std::optional<TNavTaxNumber> expected;
    };
    const Case cases[] = {
        {"12345678-2-16", TNavTaxNumber{"12345678", "2", "16"}},
        {"23456789 2 43", TNavTaxNumber{"23456789", "2", "43"}},
        {"18765432116", TNavTaxNumber{"18765432", "1", "16"}},
        {"12345678-6-16", std::nullopt},  // VAT code outside 1-5
        {"1234567-2-16", std::nullopt},
        {"12345678-2-167", std::nullopt},
        {"HU12345678", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitTaxNumber(c.text), c.expected);
    }
}

TEST(NavMapping, MapsEachVatKeyCategory) {
    using C = TNavVatCategory;
    struct Case {
        const char* name;
        TNavVatKeySource key;
        std::optional<TNavVatRate> expected;  // nullopt: refused
        const char* message = "";
    };
    const Case cases[] = {
        {"rate", {1, "27%", 27, 0, 0, "PERCENTAGE"}, TNavVatRate{C::Percentage, 0.27}},
        {"reduced rate", {3, "5%", 5, 0, 0, "PERCENTAGE"}, TNavVatRate{C::Percentage, 0.05}},
        // A 0 % rate is mapped as it stands; the authority's checks refuse it (INVALID_VAT_DATA).
        {"zero rate", {4, "0%", 0, 0, 0, "PERCENTAGE"}, TNavVatRate{C::Percentage, 0}},
        {"zero rate without category", {4, "0%", 0, 0, 0, ""}, TNavVatRate{C::Percentage, 0}},
        {"rate without category", {2, "18%", 18, 0, 0, ""}, TNavVatRate{C::Percentage, 0.18}},
        {"case code in small letters",
         {9, "TAM", 0, 1, 0, "EXEMPTION", " tam ", "Áfa tv. 85. §"},
         TNavVatRate{C::Exemption, 0, "TAM", "Áfa tv. 85. §"}},
        {"exemption",
         {5, "EU", 0, 1, 0, "EXEMPTION", "KBAET", "Áfa tv. 89. §"},
         TNavVatRate{C::Exemption, 0, "KBAET", "Áfa tv. 89. §"}},
        {"out of scope",
         {7, "ATK", 0, 1, 0, "OUT_OF_SCOPE", "ATK", "Áfa tv. hatályán kívül"},
         TNavVatRate{C::OutOfScope, 0, "ATK", "Áfa tv. hatályán kívül"}},
        {"domestic reverse charge",
         {6, "FA", 0, 1, 1, "DOMESTIC_REVERSE_CHARGE"},
         TNavVatRate{C::DomesticReverseCharge}},
        {"exempt key without category",
         {8, "Mentes", 0, 1, 0, ""},
         std::nullopt,
         "hiányzik az ÁFA-kulcs (8 Mentes) adóhatósági kategóriája"},
        {"exemption without case",
         {9, "TAM", 0, 1, 0, "EXEMPTION", "", "ok"},
         std::nullopt,
         "esetkódja"},
        {"exemption without reason",
         {9, "TAM", 0, 1, 0, "EXEMPTION", "TAM", " "},
         std::nullopt,
         "indoklása"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) {
            EXPECT_EQ(MapVatKey(c.key), *c.expected);
        } else {
            try {
                MapVatKey(c.key);
                ADD_FAILURE() << "accepted";
            } catch (const NavDataError& e) {
                EXPECT_TRUE(Contains(e.what(), c.message)) << e.what();
            }
        }
    }
}

TEST(NavMapping, MapsUnitsAndProductCodes) {
    struct UnitCase {
        const char* name;
        TNavUnit expected;
    };
    const UnitCase units[] = {
        {"db", {"PIECE", ""}},     {"kg", {"KILOGRAM", ""}},    {"Óra", {"HOUR", ""}},
        {"l", {"LITER", ""}},      {"m", {"METER", ""}},        {"m2", {"OWN", "m2"}},
        {"zsák", {"OWN", "zsák"}}, {"doboz", {"OWN", "doboz"}}, {"", {"", ""}},
    };
    for (const UnitCase& c : units) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MapUnit(c.name), c.expected);
    }

    struct CodeCase {
        const char* code;
        bool service;
        std::optional<TNavProductCode> expected;
    };
    const CodeCase codes[] = {
        {"8205 40 00", false, TNavProductCode{"VTSZ", "82054000"}},
        {"49.01.99", false, TNavProductCode{"VTSZ", "490199"}},
        {"721211", true, TNavProductCode{"TESZOR", "721211"}},
        {"", false, std::nullopt},
        {"ABC-12", false, std::nullopt},
        {"7", false, std::nullopt},
    };
    for (const CodeCase& c : codes) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(MapProductCode(c.code, c.service), c.expected);
    }
}

TEST(NavMapping, MapsCustomersAndAddresses) {
    struct Case {
        const char* name;
        TNavCustomerSource vevo;
        std::string status;
        std::string vatData;  // tax number, community or third-state id as text
        std::optional<TNavAddress> address;
    };
    const Case cases[] = {
        {"domestic company",
         {2, "Kovács és Társa Bt.", "1117", "Budapest", "Irinyi József utca 4-20.", "Magyarország",
          "23456789-2-43"},
         "DOMESTIC",
         "23456789/2/43",
         TNavAddress{true, "HU", "1117", "Budapest", "Irinyi József", "utca", "4-20."}},
        {"EU company",
         {3, "Shannon Trading Ltd.", "D02 X285", "Dublin", "14 Harcourt Street", "Írország",
          "IE6388047V", "IE6388047V"},
         "OTHER",
         "IE6388047V",
         TNavAddress{false, "IE", "D02 X285", "Dublin", "", "", "", "14 Harcourt Street"}},
        {"EU company, country by its VAT number",
         {6, "Müller Handels GmbH", "1010", "Wien", "Kärntner Straße 8", "", "", "ATU12345678"},
         "OTHER",
         "ATU12345678",
         TNavAddress{false, "AT", "1010", "Wien", "", "", "", "Kärntner Straße 8"}},
        {"private person",
         {7, "Kiss Péter", "5000", "Szolnok", "Ady Endre út 1.", "Magyarország", "", "",
          "8412345678"},
         "PRIVATE_PERSON",
         "",
         std::nullopt},
        {"company outside the EU",
         {8, "Acme Inc.", "10001", "New York", "5th Avenue 1", "Amerikai Egyesült Államok",
          "98-7654321"},
         "OTHER",
         "third:98-7654321",
         TNavAddress{false, "US", "10001", "New York", "", "", "", "5th Avenue 1"}},
        {"Swiss company: CHE is no community VAT number",
         {10, "Alpen Werkzeug AG", "8001", "Zürich", "Bahnhofstrasse 1", "Svájc",
          "CHE-123.456.789"},
         "OTHER",
         "third:CHE-123.456.789",
         TNavAddress{false, "CH", "8001", "Zürich", "", "", "", "Bahnhofstrasse 1"}},
        {"domestic customer with the first eight digits",
         {11, "Kovács és Társa Bt.", "1117", "Budapest", "Irinyi József utca 4-20.", "Magyarország",
          "23456789"},
         "DOMESTIC",
         "23456789//",
         TNavAddress{true, "HU", "1117", "Budapest", "Irinyi József", "utca", "4-20."}},
        {"domestic customer known by HU and eight digits",
         {12, "Kovács és Társa Bt.", "1117", "Budapest", "Irinyi József utca 4-20.", "", "",
          "HU23456789"},
         "DOMESTIC",
         "23456789//",
         TNavAddress{true, "HU", "1117", "Budapest", "Irinyi József", "utca", "4-20."}},
        {"domestic tax number written after HU",
         {12, "Kovács és Társa Bt.", "1117", "Budapest", "Irinyi József utca 4-20.", "",
          "HU 23456789-2-43"},
         "DOMESTIC",
         "23456789/2/43",
         TNavAddress{true, "HU", "1117", "Budapest", "Irinyi József", "utca", "4-20."}},
        {"private person's tax id in the tax number field",
         {13, "Kiss Péter", "5000", "Szolnok", "Ady Endre út 1.", "Magyarország", "8412345678"},
         "PRIVATE_PERSON",
         "",
         std::nullopt},
        {"foreign natural person without tax number",
         {14, "Hans Gruber", "1010", "Wien", "Kärntner Straße 8", "Ausztria", "", "", "", true},
         "PRIVATE_PERSON",
         "",
         std::nullopt},
        {"Hungarian organisation without tax number",
         {15, "Tisza-parti Horgász Egyesület", "5000", "Szolnok", "Gutenberg tér 4.",
          "Magyarország"},
         "OTHER",
         "",
         TNavAddress{true, "HU", "5000", "Szolnok", "Gutenberg", "tér", "4."}},
        {"no postal code: 0000",
         {16, "Shannon Trading Ltd.", "", "Dublin", "14 Harcourt Street", "Írország", "",
          "IE6388047V"},
         "OTHER",
         "IE6388047V",
         TNavAddress{false, "IE", "0000", "Dublin", "", "", "", "14 Harcourt Street"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TNavCustomer customer = MapCustomer(c.vevo);
        EXPECT_EQ(customer.vatStatus, c.status);
        std::string vatData;
        if (customer.taxNumber)
            vatData = customer.taxNumber->taxpayerId + "/" + customer.taxNumber->vatCode + "/" +
                      customer.taxNumber->countyCode;
        else if (!customer.communityVatNumber.empty())
            vatData = customer.communityVatNumber;
        else if (!customer.thirdStateTaxId.empty())
            vatData = "third:" + customer.thirdStateTaxId;
        EXPECT_EQ(vatData, c.vatData);
        EXPECT_EQ(customer.address, c.address);
        EXPECT_EQ(customer.name.empty(), c.status == "PRIVATE_PERSON");
    }

    struct Refused {
        const char* name;
        TNavCustomerSource vevo;
        const char* message;
    };
    const Refused refused[] = {
        {"unknown country",
         {9, "X", "1234", "Y", "Z utca 1.", "Atlantisz", "12-34"},
         "a vevő országa nem azonosítható: \"Atlantisz\""},
        {"Hungarian customer with a tax number that is none",
         {2, "Kovács", "1117", "Budapest", "Irinyi József utca 4.", "Magyarország", "2345678-2"},
         "a vevő adószáma nem magyar adószám: \"2345678-2\""},
        {"no street",
         {2, "Kovács", "1117", "Budapest", "", "", "23456789-2-43"},
         "hiányzik a vevő címe"},
        {"no name",
         {2, "", "1117", "Budapest", "Fő utca 1.", "", "23456789-2-43"},
         "hiányzik a vevő neve"},
    };
    for (const Refused& c : refused) {
        SCOPED_TRACE(c.name);
        try {
            MapCustomer(c.vevo);
            ADD_FAILURE() << "accepted";
        } catch (const NavDataError& e) {
            EXPECT_TRUE(Contains(e.what(), c.message)) << e.what();
        }
    }
}

TEST(NavMapping, WritesPlainDecimals) {
    struct Case {
        double value;
        int digits;
        int minDigits;
        const char* expected;
    };
    const Case cases[] = {
        {389.6, 6, 0, "389.6"},      {1, 6, 0, "1"},         {0.27, 4, 0, "0.27"},
        {-12.5, 2, 2, "-12.50"},     {-0.001, 2, 2, "0.00"}, {2.5, 10, 0, "2.5"},
        {219263, 2, 2, "219263.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(DecimalText(c.value, c.digits, c.minDigits), c.expected);
    }
}

// The lines and totals of the base invoice negated: a reversal's amounts.
void Negate(TNavInvoiceSource& s) {
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
}

// Every document built validates against the schema and passes the authority's checks
// without an error or a warning.
TEST(NavMapping, BuildsDocumentsThatValidate) {
    struct Case {
        const char* name;
        std::function<void(TNavInvoiceSource&)> change;
        std::vector<std::string> expected;  // parts of the XML
        std::vector<std::string> absent;
        std::function<void(const TNavInvoice&)> check;
    };
    const Case cases[] = {
        {"forint invoice, a line without product code",
         [](TNavInvoiceSource&) {},
         {"<base:taxpayerId>12345678</base:taxpayerId>", "<base:vatCode>2</base:vatCode>",
          "<base:countyCode>16</base:countyCode>",
          "<communityVatNumber>HU12345678</communityVatNumber>",
          "<customerVatStatus>DOMESTIC</customerVatStatus>",
          "<base:streetName>Szent István</base:streetName>",
          "<base:publicPlaceCategory>körút</base:publicPlaceCategory>",
          "<productCodeValue>82054000</productCodeValue>",
          "<lineDescription>Csavarhúzó készlet 12 részes</lineDescription>",
          "<unitOfMeasure>HOUR</unitOfMeasure>", "<exchangeRate>1</exchangeRate>",
          "<paymentMethod>TRANSFER</paymentMethod>", "<invoiceAppearance>PAPER</invoiceAppearance>",
          "<vatPercentage>0.27</vatPercentage>", "<lineVatAmount>5737.50</lineVatAmount>",
          "<invoiceGrossAmount>45999.00</invoiceGrossAmount>",
          "<completenessIndicator>false</completenessIndicator>"},
         {"invoiceReference", "TESZOR", "advanceData"},
         [](const TNavInvoice& inv) {
             EXPECT_EQ(inv.operation, TNavOperation::Create);
             ASSERT_EQ(inv.lines.size(), 2u);
             EXPECT_FALSE(inv.lines[1].productCode) << "service without a code";
             ASSERT_EQ(inv.summary.size(), 1u);
             EXPECT_DOUBLE_EQ(inv.summary[0].netAmount, 36220);
             EXPECT_DOUBLE_EQ(inv.summary[0].vatAmount, 9779.4);
         }},
        {"euro invoice: forint amounts through the rate, the gross forints from net and VAT",
         [](TNavInvoiceSource& s) {
             s.deviza_nev = "EUR";
             s.deviza_arfolyam = 389.6;
             const TNavVatKeySource eu{5, "EU", 0, 1, 0, "EXEMPTION", "KBAET", "Áfa tv. 89. §"};
             s.tetelek = {{"Ütvefúrógép", "8467 21 10", 1, 3, "db", 64.5, 25129.2, 193.5, 75387.6,
                           193.5, 75387.6, eu},
                          {"Vízmérték", "9015 80 93", 1, 20, "m2", 12.9, 5025.84, 258, 100516.8,
                           258, 100516.8, eu}};
             s.vevo = {
                 3,          "Shannon Trading Ltd.", "D02 X285",  "Dublin", "14 Harcourt Street",
                 "Írország", "IE6388047V",           "IE6388047V"};
             s.netto_arbevetel_vegosszeg = 451.5;
             s.afa_arbevetel_vegosszeg = 0;
             s.brutto_arbevetel_vegosszeg = 451.5;
             s.netto_arbevetel_vegosszeg_huf = 175904.4;
             s.afa_arbevetel_vegosszeg_huf = 0;
             s.brutto_arbevetel_vegosszeg_huf = 175904;  // printed in whole forints
         },
         {"<currencyCode>EUR</currencyCode>", "<exchangeRate>389.6</exchangeRate>",
          "<unitPriceHUF>25129.2</unitPriceHUF>", "<lineNetAmountHUF>75387.60</lineNetAmountHUF>",
          "<case>KBAET</case>", "<customerVatStatus>OTHER</customerVatStatus>",
          "<communityVatNumber>IE6388047V</communityVatNumber>",
          "<base:additionalAddressDetail>14 Harcourt Street</base:additionalAddressDetail>",
          "<unitOfMeasure>OWN</unitOfMeasure>", "<unitOfMeasureOwn>m2</unitOfMeasureOwn>",
          "<vatRateNetAmountHUF>175904.40</vatRateNetAmountHUF>",
          "<invoiceGrossAmountHUF>175904.40</invoiceGrossAmountHUF>"},
         {},
         [](const TNavInvoice& inv) { EXPECT_DOUBLE_EQ(inv.exchangeRate, 389.6); }},
        {"private person, paid by card",
         [](TNavInvoiceSource& s) {
             s.vevo = {7,  "Kiss Péter", "5000",      "Szolnok", "Ady Endre út 1.", "Magyarország",
                       "", "",           "8412345678"};
             s.nav_fizetesmod = "CARD";
         },
         {"<customerVatStatus>PRIVATE_PERSON</customerVatStatus>",
          "<paymentMethod>CARD</paymentMethod>"},
         {"customerName", "customerAddress", "customerVatData"},
         {}},
        {"domestic customer with the first eight digits of the tax number",
         [](TNavInvoiceSource& s) {
             s.vevo.adoszam = "24681357";
             s.vevo.adoszam_eu = "";
         },
         {"<customerVatStatus>DOMESTIC</customerVatStatus>",
          "<customerTaxNumber><base:taxpayerId>24681357</base:taxpayerId></customerTaxNumber>"},
         {"thirdStateTaxId", "<base:vatCode>3"},
         {}},
        {"reverse charge and out of scope, cash by the method's flag",
         [](TNavInvoiceSource& s) {
             s.tetelek[0].afa = {6, "FA", 0, 1, 1, "DOMESTIC_REVERSE_CHARGE"};
             s.tetelek[1].afa = {7, "ATK", 0, 1, 0, "OUT_OF_SCOPE", "ATK", "Hatályon kívül"};
             for (TNavLineSource& line : s.tetelek) {
                 line.brutto_arbevetel = line.netto_arbevetel;
                 line.brutto_arbevetel_huf = line.netto_arbevetel_huf;
             }
             s.afa_arbevetel_vegosszeg = s.afa_arbevetel_vegosszeg_huf = 0;
             s.brutto_arbevetel_vegosszeg = s.brutto_arbevetel_vegosszeg_huf = 36220;
             s.nav_fizetesmod = "";
             s.keszpenzes = 1;
         },
         {"<vatDomesticReverseCharge>true</vatDomesticReverseCharge>", "<vatOutOfScope>",
          "<paymentMethod>CASH</paymentMethod>"},
         {"vatPercentage"},
         [](const TNavInvoice& inv) { EXPECT_EQ(inv.summary.size(), 2u); }},
        {"advance invoice",
         [](TNavInvoiceSource& s) { s.bizonylat_fajta = 16; },
         {"<advanceData>\n            <advanceIndicator>true</advanceIndicator>"},
         {},
         [](const TNavInvoice& inv) {
             for (const TNavLine& line : inv.lines)
                 EXPECT_TRUE(line.advanceIndicator);
         }},
        {"an invoice made only as a PDF",
         [](TNavInvoiceSource& s) { s.megjelenes = "ELECTRONIC"; },
         {"<invoiceAppearance>ELECTRONIC</invoiceAppearance>"},
         {"PAPER"},
         {}},
        {"reversal: cancellation of the reported original",
         [](TNavInvoiceSource& s) {
             s.sztornozott_szamlaszam = "SZ2026/0000005";
             s.modositas_index = 1;
             s.eredeti_sorok_szama = 2;
             s.eredeti_kelte = "2026-12-01";
             Negate(s);
         },
         {"<originalInvoiceNumber>SZ2026/0000005</originalInvoiceNumber>",
          "<modifyWithoutMaster>false</modifyWithoutMaster>",
          "<modificationIndex>1</modificationIndex>",
          "<lineNumberReference>3</lineNumberReference>",
          "<lineNumberReference>4</lineNumberReference>", "<lineOperation>CREATE</lineOperation>",
          "<quantity>-3</quantity>", "<invoiceNetAmount>-36220.00</invoiceNetAmount>"},
         {},
         [](const TNavInvoice& inv) { EXPECT_EQ(inv.operation, TNavOperation::Storno); }},
        {"reversal of an invoice issued before the reporting obligation",
         [](TNavInvoiceSource& s) {
             s.sztornozott_szamlaszam = "SZ2018/0000005";
             s.eredeti_sorok_szama = 2;
             s.eredeti_kelte = "2018-06-30";
             Negate(s);
         },
         {"<modifyWithoutMaster>true</modifyWithoutMaster>"},
         {},
         [](const TNavInvoice& inv) { EXPECT_EQ(inv.operation, TNavOperation::Storno); }},
        {"reversal of an invoice the register knows as never reported",
         [](TNavInvoiceSource& s) {
             s.sztornozott_szamlaszam = "SZ2026/0000005";
             s.eredeti_sorok_szama = 2;
             s.eredeti_kelte = "2026-12-01";
             s.eredeti_jelentve = false;
             Negate(s);
         },
         {"<modifyWithoutMaster>true</modifyWithoutMaster>"},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNavInvoiceSource source = BaseInvoice();
        c.change(source);
        const TNavInvoice invoice = BuildNavInvoice(source);
        if (c.check) {
            c.check(invoice);
        }
        const std::string xml = WriteNavInvoiceXml(invoice);
        std::string compact = xml;  // without the indentation between elements
        for (std::size_t at = compact.find(">\n"); at != std::string::npos;
             at = compact.find(">\n", at + 1)) {
            std::size_t end = at + 2;
            while (end < compact.size() && compact[end] == ' ')
                ++end;
            if (end < compact.size() && compact[end] == '<')
                compact.erase(at + 1, end - at - 1);
        }
        for (const std::string& part : c.expected)
            EXPECT_TRUE(Contains(xml, part) || Contains(compact, part)) << part << "\n" << xml;
        for (const std::string& part : c.absent)
            EXPECT_FALSE(Contains(xml, part)) << part;
        for (const TNavFinding& f : CheckNavInvoice(invoice, {"2026-12-05", 2, std::nullopt}))
            ADD_FAILURE() << FindingText(f);
        if (SchemaPresent()) {
            EXPECT_EQ(SchemaErrors(xml), "");
        }
    }
    if (!SchemaPresent())
        GTEST_SKIP() << "schema folder missing, documents not validated: " << DORVAN_NAV_SCHEMA_DIR;
}

TEST(NavMapping, RefusesDocumentsThatCannotBeExpressed) {
    struct Case {
        const char* name;
        std::function<void(TNavInvoiceSource&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"owner without tax number", [](TNavInvoiceSource& s) { s.kiallito.adoszam = ""; },
         "hiányzik a kiállító adószáma"},
        {"owner with a foreign tax number",
         [](TNavInvoiceSource& s) { s.kiallito.adoszam = "ATU12345678"; },
         "a kiállító adószáma nem magyar adószám"},
        {"owner without address", [](TNavInvoiceSource& s) { s.kiallito.telepules = ""; },
         "hiányzik a kiállító települése"},
        {"no lines", [](TNavInvoiceSource& s) { s.tetelek.clear(); }, "nincs tétele"},
        {"no delivery date", [](TNavInvoiceSource& s) { s.telj_datum = ""; },
         "hiányzik a teljesítés dátuma"},
        {"a date the schema does not take",
         [](TNavInvoiceSource& s) { s.telj_datum = "2009-12-31"; },
         "a számla teljesítés dátuma (2009-12-31) 2010 előtti"},
        {"foreign currency without rate",
         [](TNavInvoiceSource& s) {
             s.deviza_nev = "EUR";
             s.deviza_arfolyam = 0;
         },
         "hiányzik a(z) EUR árfolyama"},
        {"not an invoice", [](TNavInvoiceSource& s) { s.bizonylat_fajta = 4; },
         "a bizonylat nem számla (Szállítós eladás)"},
        {"VAT key without its category",
         [](TNavInvoiceSource& s) { s.tetelek[1].afa = {8, "Mentes", 0, 1, 0, ""}; },
         "adóhatósági kategóriája"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNavInvoiceSource source = BaseInvoice();
        c.change(source);
        try {
            BuildNavInvoice(source);
            ADD_FAILURE() << "accepted";
        } catch (const NavDataError& e) {
            EXPECT_TRUE(Contains(e.what(), c.message)) << e.what();
        }
    }
}

}  // namespace
}  // namespace dorvan::nav
