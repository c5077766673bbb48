// The invoice data of the demo invoices, read from the invoice's datasets: each validates
// against the schema and carries the printed invoice's totals to the fillér; a reversal is a
// modification of the invoice it reverses; what cannot be expressed leaves no file; the
// update script maps the VAT keys and payment methods of an existing database.

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
#include "invoice_data/invoice_data_fixture.h"
#include "report/nav/nav_export.h"
#include "report/nav/nav_xml_writer.h"

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

    std::string Xml(int kod) {
        TInvoiceReportProperties document;
        document.fej_kod = kod;
        return nav::NavInvoiceXml(dm, document);
    }

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
        std::vector<std::string> parts;  // further parts of the document
    };
    const Case cases[] = {
        {4317,
         "SZ2026/0000002",
         "HUF",
         10,
         3,
         {"<vatPercentage>0.27</vatPercentage>", "<vatPercentage>0.18</vatPercentage>",
          "<vatPercentage>0.05</vatPercentage>", "<quantity>-1</quantity>",
          "<unitPrice>17091</unitPrice>", "<customerVatStatus>DOMESTIC</customerVatStatus>",
          "<supplierBankAccountNumber>11773016-01234567-00000000</supplierBankAccountNumber>"}},
        {4318,
         "SZ2026/0000003",
         "EUR",
         4,
         1,
         {"<exchangeRate>389.6</exchangeRate>", "<case>KBAET</case>",
          "<communityVatNumber>IE6388047V</communityVatNumber>",
          "<supplierBankAccountNumber>11773016-01234567-00010002</supplierBankAccountNumber>"}},
        {4320, "SZ2026/0000004", "HUF", 70, 3, {}},
        {4321, "SZ2026/0000005", "HUF", 2, 1, {"<paymentMethod>CASH</paymentMethod>"}},
        {4322,
         "SZ2026/0000006",
         "HUF",
         2,
         1,
         {"<originalInvoiceNumber>SZ2026/0000005</originalInvoiceNumber>",
          "<modificationIndex>1</modificationIndex>",
          "<lineNumberReference>3</lineNumberReference>",
          "<lineNumberReference>4</lineNumberReference>", "<lineOperation>CREATE</lineOperation>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kod);
        const std::string xml = Xml(c.kod);
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

        // The totals of the printed invoice, to the fillér.
        const std::pair<const char*, const char*> totals[] = {
            {"invoiceNetAmount", "netto_arbevetel_vegosszeg"},
            {"invoiceNetAmountHUF", "netto_arbevetel_vegosszeg_huf"},
            {"invoiceVatAmount", "afa_arbevetel_vegosszeg"},
            {"invoiceVatAmountHUF", "afa_arbevetel_vegosszeg_huf"},
            {"invoiceGrossAmount", "brutto_arbevetel_vegosszeg"},
            {"invoiceGrossAmountHUF", "brutto_arbevetel_vegosszeg_huf"},
        };
        for (const auto& [element, column] : totals)
            EXPECT_EQ(SumCents(e.at(element)), SumCents(Total(c.kod, column))) << element;
        // The rows per VAT rate add up to the totals.
        EXPECT_EQ(SumCents(e.at("vatRateNetAmount")), SumCents(e.at("invoiceNetAmount")));
        EXPECT_EQ(SumCents(e.at("vatRateVatAmountHUF")), SumCents(e.at("invoiceVatAmountHUF")));
        EXPECT_EQ(SumCents(e.at("lineNetAmountHUF")), SumCents(e.at("invoiceNetAmountHUF")));
    }
}

TEST_F(NavDemoTest, WhatCannotBeExpressedLeavesNoFile) {
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db::Transaction step(dm.ZConnection);  // a savepoint, rolled back after the case
        Exec(c.sql);
        dm.TulajdonosZQuery.Close();  // the owner record is read anew
        const fs::path absent = dir / "absent.xml";
        const fs::path earlier = dir / "earlier.xml";
        std::ofstream(earlier) << "earlier";
        TInvoiceReportProperties document;
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
    TInvoiceReportProperties document;
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

TEST_F(NavDemoTest, UpdateScriptMapsAnExistingDatabase) {
    // A database from before the reporting columns: the script adds and fills them; run
    // again it changes nothing.
    Exec(
        "alter table afa_kulcs drop column nav_kategoria, drop column nav_eset, "
        "drop column nav_indoklas");
    Exec("alter table fizetesmod drop column nav_fizetesmod");
    const std::string script =
        ReadFile(fs::path(DORVAN_SOURCE_DIR) / "database_scripts" / "001_afa_kulcs_nav.sql");
    ASSERT_FALSE(script.empty());
    const char* expectedKeys =
        "1:PERCENTAGE::,2:PERCENTAGE::,3:PERCENTAGE::,4:PERCENTAGE::,"
        "5:EXEMPTION:KBAET:Áfa tv. 89. §,6:DOMESTIC_REVERSE_CHARGE::";
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        dm.ExecSQL(script);
        EXPECT_EQ(dm.GetSQLResult("select string_agg(kod || ':' || coalesce(nav_kategoria, '') "
                                  "|| ':' || coalesce(nav_eset, '') || ':' || "
                                  "coalesce(nav_indoklas, ''), ',' order by kod) from afa_kulcs"),
                  expectedKeys);
        EXPECT_EQ(dm.GetSQLResult("select string_agg(kod || ':' || coalesce(nav_fizetesmod, ''), "
                                  "',' order by kod) from fizetesmod"),
                  "1:CASH,2:TRANSFER,3:");
    }
    db::Transaction step(dm.ZConnection);
    EXPECT_THROW(Exec("update afa_kulcs set nav_kategoria = 'RATE' where kod = 1"), db::DbError);
}

}  // namespace
}  // namespace dorvan::test
