// The invoice data of the demo invoices, read from the invoice's datasets: each validates
// against the schema, passes the authority's checks without an error or a warning and carries
// the printed invoice's totals to the fillér; a reversal cancels the invoice it reverses; what
// cannot be expressed or the authority would reject leaves no file, naming why; the update
// scripts map the VAT keys and payment methods of an existing database.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QString>
#include <QXmlStreamReader>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "db/errors.h"
#include "nav/nav_export.h"
#include "nav/nav_xml_writer.h"
#include "report/invoice/datasets/invoice_data_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

const std::string kSchemaDir = DORVAN_NAV_SCHEMA_DIR;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// "" when `file` validates against the schema, else xmllint's output.
std::string SchemaErrors(const fs::path& file) {
    const fs::path log = file.string() + ".log";
    const std::string command = "xmllint --noout --nonet --schema '" + kSchemaDir +
                                "/validate.xsd' '" + file.string() + "' > '" + log.string() +
                                "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = ReadFile(log);
    fs::remove(log);
    return status == 0 ? "" : output;
}

// Text of every element without children (by local name; repeats joined by "|").
std::map<std::string, std::string> Elements(const std::string& xml) {
    std::map<std::string, std::string> values;
    QXmlStreamReader reader(QByteArray::fromStdString(xml));
    std::string leaf;
    std::string text;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                leaf = reader.name().toString().toStdString();
                text.clear();
                if (leaf == "InvoiceData") {
                    EXPECT_EQ(reader.namespaceUri().toString().toStdString(), nav::kDataNamespace);
                }
                break;
            case QXmlStreamReader::Characters:
                text += reader.text().toString().toStdString();
                break;
            case QXmlStreamReader::EndElement:
                if (!leaf.empty()) {
                    std::string& value = values[leaf];
                    value += (value.empty() ? "" : "|") + text;
                }
                leaf.clear();
                break;
            default:
                break;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return values;
}

// Sum of the "|"-joined amounts, to the fillér.
long long SumCents(const std::string& joined) {
    long long sum = 0;
    std::size_t from = 0;
    while (from <= joined.size()) {
        const std::size_t to = std::min(joined.find('|', from), joined.size());
        sum += std::llround(std::stod(joined.substr(from, to - from)) * 100);
        from = to + 1;
    }
    return sum;
}

class NavDemoTest : public InvoiceDataTest {
  protected:
    void SetUp() override {
        if (!fs::exists(fs::path(kSchemaDir) / "validate.xsd")) {
            GTEST_SKIP() << "schema folder missing: " << kSchemaDir;
        }
        InvoiceDataTest::SetUp();
        dir = fs::temp_directory_path() / ("nav_demo_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        InvoiceDataTest::TearDown();
        if (!dir.empty()) {
            fs::remove_all(dir);
        }
    }

    // The checked invoice data of a document, as on the day after the demo's last invoice.
    nav::TNavExport Export(int kod) {
        InvoiceSelection document;
        document.fej_kod = kod;
        nav::TNavExportOptions options;
        options.today = "2026-12-10";
        return nav::BuildNavExport(dm, document, options);
    }

    std::string Xml(int kod) { return Export(kod).xml; }

    // The printed totals of a header, as the server writes them to the cent.
    std::string Total(int kod, const std::string& column) {
        return dm.GetSQLResult(
            "select round(" + column + "::numeric, 2) from raktar_mozgas_fej where kod = :kod",
            {{"kod", kod}});
    }

    fs::path dir;
};

TEST_F(NavDemoTest, DemoInvoicesValidateAndCarryThePrintedTotals) {
    struct Case {
        int kod;
        const char* number;
        const char* currency;
        std::size_t lines;
        std::size_t vatRates;
        const char* operation;
        std::vector<std::string> parts;  // further parts of the document
    };
    const Case cases[] = {
        {4311,
         "SZ2026/0000001",
         "HUF",
         2,
         2,
         "CREATE",
         {"<vatDomesticReverseCharge>true</vatDomesticReverseCharge>",
          "<customerVatStatus>DOMESTIC</customerVatStatus>"}},
        {4317,
         "SZ2026/0000002",
         "HUF",
         10,
         3,
         "CREATE",
         {"<vatPercentage>0.27</vatPercentage>", "<vatPercentage>0.18</vatPercentage>",
          "<vatPercentage>0.05</vatPercentage>", "<quantity>-1</quantity>",
          "<unitPrice>17091</unitPrice>", "<customerVatStatus>DOMESTIC</customerVatStatus>",
          "<invoiceAppearance>PAPER</invoiceAppearance>",
          "<supplierBankAccountNumber>11773016-01234567-00000000</supplierBankAccountNumber>"}},
        {4318,
         "SZ2026/0000003",
         "EUR",
         4,
         1,
         "CREATE",
         {"<exchangeRate>389.6</exchangeRate>", "<case>KBAET</case>",
          "<communityVatNumber>IE6388047V</communityVatNumber>",
          "<supplierBankAccountNumber>11773016-01234567-00010002</supplierBankAccountNumber>"}},
        {4320, "SZ2026/0000004", "HUF", 70, 3, "CREATE", {}},
        {4321,
         "SZ2026/0000005",
         "HUF",
         2,
         1,
         "CREATE",
         {"<paymentMethod>CASH</paymentMethod>", "<case>KBAET</case>",
          "<customerVatStatus>OTHER</customerVatStatus>",
          "<communityVatNumber>ATU12345678</communityVatNumber>"}},
        {4322,
         "SZ2026/0000006",
         "HUF",
         2,
         1,
         "STORNO\t1\tSZ2026/0000005",
         {"<originalInvoiceNumber>SZ2026/0000005</originalInvoiceNumber>",
          "<modifyWithoutMaster>false</modifyWithoutMaster>",
          "<modificationIndex>1</modificationIndex>",
          "<lineNumberReference>3</lineNumberReference>",
          "<lineNumberReference>4</lineNumberReference>", "<lineOperation>CREATE</lineOperation>"}},
    };
    // Every invoice of the demo is among them.
    std::string keys;
    for (const Case& c : cases)
        keys += (keys.empty() ? "" : ",") + std::to_string(c.kod);
    EXPECT_EQ(dm.GetSQLResult("select string_agg(kod::text, ',' order by kod) from "
                              "raktar_mozgas_fej where bizonylat_fajta in (5, 16)"),
              keys);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kod);
        const nav::TNavExport exported = Export(c.kod);
        for (const nav::TNavFinding& warning : exported.warnings)
            ADD_FAILURE() << nav::FindingText(warning);
        EXPECT_EQ(nav::OperationLine(exported.invoice), c.operation);
        const std::string& xml = exported.xml;
        const fs::path file = dir / (std::to_string(c.kod) + ".xml");
        std::ofstream(file, std::ios::binary) << xml;
        EXPECT_EQ(SchemaErrors(file), "");

        const auto e = Elements(xml);
        EXPECT_EQ(e.at("invoiceNumber"), c.number);
        EXPECT_EQ(e.at("currencyCode"), c.currency);
        std::size_t lines = 0;
        for (std::size_t at = xml.find("<line>"); at != std::string::npos;
             at = xml.find("<line>", at + 1))
            ++lines;
        EXPECT_EQ(lines, c.lines);
        std::size_t rates = 0;
        for (std::size_t at = xml.find("<summaryByVatRate>"); at != std::string::npos;
             at = xml.find("<summaryByVatRate>", at + 1))
            ++rates;
        EXPECT_EQ(rates, c.vatRates);
        for (const std::string& part : c.parts)
            EXPECT_NE(xml.find(part), std::string::npos) << part;

        // The totals of the printed invoice, to the fillér; the gross forints of a foreign
        // currency invoice are its net and VAT forints (the printed one is in whole forints).
        const std::pair<const char*, const char*> totals[] = {
            {"invoiceNetAmount", "netto_arbevetel_vegosszeg"},
            {"invoiceNetAmountHUF", "netto_arbevetel_vegosszeg_huf"},
            {"invoiceVatAmount", "afa_arbevetel_vegosszeg"},
            {"invoiceVatAmountHUF", "afa_arbevetel_vegosszeg_huf"},
            {"invoiceGrossAmount", "brutto_arbevetel_vegosszeg"},
        };
        for (const auto& [element, column] : totals)
            EXPECT_EQ(SumCents(e.at(element)), SumCents(Total(c.kod, column))) << element;
        EXPECT_EQ(SumCents(e.at("invoiceGrossAmountHUF")),
                  std::string(c.currency) == "HUF"
                      ? SumCents(Total(c.kod, "brutto_arbevetel_vegosszeg_huf"))
                      : SumCents(Total(c.kod, "netto_arbevetel_vegosszeg_huf")) +
                            SumCents(Total(c.kod, "afa_arbevetel_vegosszeg_huf")));
        // The rows per VAT rate add up to the totals.
        EXPECT_EQ(SumCents(e.at("vatRateNetAmount")), SumCents(e.at("invoiceNetAmount")));
        EXPECT_EQ(SumCents(e.at("vatRateVatAmountHUF")), SumCents(e.at("invoiceVatAmountHUF")));
        EXPECT_EQ(SumCents(e.at("lineNetAmountHUF")), SumCents(e.at("invoiceNetAmountHUF")));
    }
    // The euro invoice's gross forints: its net and VAT forints, not the printed 258 889.
    EXPECT_EQ(Elements(Xml(4318)).at("invoiceGrossAmountHUF"), "258889.20");
    // A reversal whose original the register knows as never reported: without master.
    InvoiceSelection reversal;
    reversal.fej_kod = 4322;
    nav::TNavExportOptions options;
    options.today = "2026-12-10";
    options.originalReported = false;
    EXPECT_EQ(Elements(nav::BuildNavExport(dm, reversal, options).xml).at("modifyWithoutMaster"),
              "true");
}

TEST_F(NavDemoTest, WhatCannotBeExpressedOrWouldBeRejectedLeavesNoFile) {
    struct Case {
        const char* name;
        const char* sql;
        int kod;
        const char* message;
    };
    const Case cases[] = {
        {"owner without tax number", "update tulajdonos set adoszam = null", 4317,
         "hiányzik a kiállító adószáma"},
        {"VAT key without its category", "update afa_kulcs set nav_kategoria = null where kod = 5",
         4318, "hiányzik az ÁFA-kulcs (5 ÁFA mentes"},
        {"a delivery note", "select 1", 4310, "a bizonylat nem számla (Szállítós eladás)"},
        {"no such document", "select 1", 999999, "Nincs ilyen bizonylat"},
        // The authority's blocking checks: its code, the line, the VAT key.
        {"a 0 % VAT key (the last line)",
         "update raktar_mozgas set afakulcs = 4 where kod = 431704", 4317,
         "Az adóhatóság elutasítaná a számlaadatot: INVALID_VAT_DATA, 10. tétel: a(z) 0 % "
         "ÁFA-mérték nem jelenthető"},
        {"the same, naming the key", "update raktar_mozgas set afakulcs = 4 where kod = 431704",
         4317, "[ÁFA-kulcs: 4 0%-os ÁFA]"},
        {"an exemption code of no list", "update afa_kulcs set nav_eset = 'KBA' where kod = 5",
         4318, "INVALID_LINE_VAT_EXEMPTION_CODE, 1. tétel: ismeretlen adómentességi kód: \"KBA\""},
        {"reverse charge to a private person",
         "update bizonylatszoveg_fej set partner_adoszam = null, partner_nev = 'Nagy Anna' "
         "where fej_kod = 4311; update partner set adoszam_eu = null where kod = 5",
         4311, "DOMESTIC_TAXNUMBER_EXPECTED_REVERSE_CHARGE, 2. tétel"},
        {"a line without text",
         "update bizonylatszoveg set nev = '', sor2 = '', nev_teljes = null where sor_kod = "
         "431701; update raktar_mozgas set megjegyzes = null where kod = 431701",
         4317, "MANDATORY_LINE_CONTENT_MISSING, 1. tétel: hiányzik a tétel megnevezése"},
        {"delivery 400 days after the issue",
         "update raktar_mozgas_fej set telj_datum = kelte + 400 where kod = 4317", 4317,
         "INCORRECT_DATE_INVOICE_DELIVERY_DATE_LATE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db::Transaction step(dm.ZConnection);  // a savepoint, rolled back after the case
        Exec(c.sql);
        dm.TulajdonosZQuery.Close();  // the owner record is read anew
        const fs::path absent = dir / "absent.xml";
        const fs::path earlier = dir / "earlier.xml";
        std::ofstream(earlier) << "earlier";
        InvoiceSelection document;
        document.fej_kod = c.kod;
        for (const fs::path& path : {absent, earlier}) {
            try {
                nav::ExportNavXml(dm, document, path.string());
                ADD_FAILURE() << "written";
            } catch (const nav::NavDataError& e) {
                EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            }
        }
        EXPECT_FALSE(fs::exists(absent));
        EXPECT_EQ(ReadFile(earlier), "earlier");
        // Nothing left beside the target either.
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
            ++files;
        EXPECT_EQ(files, 1u);
    }
}

TEST_F(NavDemoTest, ExportReplacesTheFileWhole) {
    const fs::path target = dir / "4317.xml";
    std::ofstream(target) << std::string(200000, 'x');
    InvoiceSelection document;
    document.fej_kod = 4317;
    nav::ExportNavXml(dm, document, target.string());
    EXPECT_EQ(ReadFile(target), Xml(4317));
    EXPECT_EQ(SchemaErrors(target), "");

    // A folder that does not exist: the reason, no file.
    try {
        nav::ExportNavXml(dm, document, (dir / "no" / "such.xml").string());
        ADD_FAILURE() << "written";
    } catch (const nav::NavFileError& e) {
        EXPECT_NE(std::string(e.what()).find("such.xml"), std::string::npos) << e.what();
    }
}

TEST_F(NavDemoTest, UpdateScriptsMapAnExistingDatabase) {
    // A database from before the reporting columns: the scripts add and fill them, the 0 %
    // key without a category; run again they change nothing.
    Exec(
        "alter table afa_kulcs drop column nav_kategoria, drop column nav_eset, "
        "drop column nav_indoklas");
    Exec("alter table fizetesmod drop column nav_fizetesmod");
    const fs::path scripts = fs::path(DORVAN_SOURCE_DIR) / "database_scripts";
    const std::string script = ReadFile(scripts / "001_afa_kulcs_nav.sql");
    const std::string zeroRate = ReadFile(scripts / "050_afa_kulcs_nulla_szazalek.sql");
    ASSERT_FALSE(script.empty());
    ASSERT_FALSE(zeroRate.empty());
    const char* expectedKeys =
        "1:PERCENTAGE::,2:PERCENTAGE::,3:PERCENTAGE::,4:::,"
        "5:EXEMPTION:KBAET:Áfa tv. 89. §,6:DOMESTIC_REVERSE_CHARGE::";
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        dm.ExecSQL(script);
        dm.ExecSQL(zeroRate);
        EXPECT_EQ(dm.GetSQLResult("select string_agg(kod || ':' || coalesce(nav_kategoria, '') "
                                  "|| ':' || coalesce(nav_eset, '') || ':' || "
                                  "coalesce(nav_indoklas, ''), ',' order by kod) from afa_kulcs"),
                  expectedKeys);
        EXPECT_EQ(dm.GetSQLResult("select string_agg(kod || ':' || coalesce(nav_fizetesmod, ''), "
                                  "',' order by kod) from fizetesmod"),
                  "1:CASH,2:TRANSFER,3:");
    }
    // A case the user chose for the 0 % key stays.
    Exec(
        "update afa_kulcs set nav_kategoria = 'OUT_OF_SCOPE', nav_eset = 'ATK', "
        "nav_indoklas = 'Áfa tv. hatályán kívül' where kod = 4");
    dm.ExecSQL(zeroRate);
    EXPECT_EQ(dm.GetSQLResult("select nav_kategoria || nav_eset from afa_kulcs where kod = 4"),
              "OUT_OF_SCOPEATK");
    db::Transaction step(dm.ZConnection);
    EXPECT_THROW(Exec("update afa_kulcs set nav_kategoria = 'RATE' where kod = 1"), db::DbError);
}

// The customer as stored on the document and in the partner record.
TEST_F(NavDemoTest, CustomersAsStored) {
    struct Case {
        const char* name;
        const char* sql;
        int kod;
        std::vector<std::string> parts;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {"the first eight digits of a domestic tax number",
         "update bizonylatszoveg_fej set partner_adoszam = '23456789' where fej_kod = 4317",
         4317,
         {"<customerVatStatus>DOMESTIC</customerVatStatus>",
          "<base:taxpayerId>23456789</base:taxpayerId>"},
         {}},
        {"a natural person abroad, known by the partner's birth date",
         "update partner set adoszam_eu = null, szuletesi_datum = '1970-05-01' where kod = 6; "
         "update bizonylatszoveg_fej set partner_adoszam = null where fej_kod = 4321",
         4321,
         {"<customerVatStatus>PRIVATE_PERSON</customerVatStatus>"},
         {"INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAET",
          "INCORRECT_LINE_DATA_VAT_STATUS_VAT_DATA_MISMATCH_KBAET"}},
        {"a customer without postal code",
         "update bizonylatszoveg_fej set partner_iszam = null where fej_kod = 4318",
         4318,
         {"<base:postalCode>0000</base:postalCode>"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db::Transaction step(dm.ZConnection);
        Exec(c.sql);
        const nav::TNavExport exported = Export(c.kod);
        for (const std::string& part : c.parts)
            EXPECT_NE(exported.xml.find(part), std::string::npos) << part;
        std::vector<std::string> warnings;
        for (const nav::TNavFinding& warning : exported.warnings)
            warnings.push_back(warning.code);
        EXPECT_EQ(warnings, c.warnings);
        const fs::path file = dir / "customer.xml";
        std::ofstream(file, std::ios::binary) << exported.xml;
        EXPECT_EQ(SchemaErrors(file), "");
    }
}

}  // namespace
}  // namespace dorvan::test
