// The requests and answers of the authority's interface without a network: the signature of
// the documentation's worked example and of every published sample request, the hashes and
// the token's cipher, every request valid against invoiceApi.xsd, the answers read (the
// authority's refusals as one line), the credentials file with its checks, the address rules.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <QXmlStreamReader>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "nav/nav_api.h"
#include "nav/nav_client.h"
#include "nav/nav_credentials.h"
#include "nav/nav_crypto.h"
#include "nav/nav_error.h"

namespace dorvan::nav {
namespace {

namespace fs = std::filesystem;

const fs::path kSchemaDir = DORVAN_NAV_SCHEMA_DIR;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A private folder of the test, removed at the end.
class Scratch {
  public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "nav_request_XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Scratch() { fs::remove_all(path_); }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

// "" when `xml` is valid against `schema` (a file of the schema folder or a path), else
// xmllint's output.
std::string SchemaErrors(const std::string& xml, const fs::path& schema) {
    Scratch dir;
    const fs::path file = dir.Path() / "doc.xml";
    const fs::path log = dir.Path() / "xmllint.log";
    std::ofstream(file, std::ios::binary) << xml;
    const std::string command = "xmllint --noout --nonet --schema '" + schema.string() + "' '" +
                                file.string() + "' > '" + log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return status == 0 ? "" : ReadFile(log);
}

TNavCredentials Credentials() {
    TNavCredentials c;
    c.login = "tesztuser01";
    c.password = "Jelszo'123";
    c.signingKey = "ce-8f5e-215119fa7dd621DLMRHRLH2S";
    c.exchangeKey = "a1b2c3d4e5f6g7h8";
    c.taxNumber = "12345678";
    c.software.softwareId = "HU12345678-DORVAN1";
    c.software.softwareName = "Dorvan <O'Brien & Társa>";
    c.software.softwareOperation = "LOCAL_SOFTWARE";
    c.software.softwareMainVersion = "1.10.5.0";
    c.software.softwareDevName = "Fejlesztő Kft.";
    c.software.softwareDevContact = "fejleszto@example.hu";
    c.software.softwareDevCountryCode = "HU";
    return c;
}

TEST(NavSignatureTest, WorkedExampleOfTheDocumentation) {
    // The request signature's example with two invoices.
    const std::vector<TNavItem> items = {{"CREATE", "QWJjZDEyMzQ="}, {"MODIFY", "RGNiYTQzMjE="}};
    const char* expectedItemHashes[] = {
        "4317798460962869BC67F07C48EA7E4A3AFA301513CEB87B8EB94ECF92BC220A89C480F87F0860E85E29A3"
        "B6C0463D4F29712C5AD48104A6486CE839DC2F24CB",
        "A881218238933F6FFB9E167445CB4DAA9749BCF484FDE48AB7649FD25E8B634A4736A65A7C4A8E2831119F"
        "739837E006566F97370415AAD55E268605206F2A6C",
    };
    std::vector<std::string> hashes;
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(items[i].operation);
        hashes.push_back(ItemHash(items[i].operation, items[i].base64Data));
        EXPECT_EQ(hashes.back(), expectedItemHashes[i]);
    }
    EXPECT_EQ(SignatureTime("2017-12-30T18:25:45.000Z"), "20171230182545");
    EXPECT_EQ(RequestSignature("TSTKFT1222564", "2017-12-30T18:25:45.000Z",
                               "ce-8f5e-215119fa7dd621DLMRHRLH2S", hashes),
              "60BC80609EE3B8F42FE904200A49A1921A1DADA08D55319ACD40C59F626514B74EEA49011D372600A10"
              "DBCF8199D590DA9C2841D987308F2D83DAE17C2470C42");
}

// Each published sample request names its signing key in a comment; its signature (and the
// index hashes its comments give) come out the same.
TEST(NavSignatureTest, PublishedSampleRequests) {
    const fs::path samples = kSchemaDir / "samples" / "api";
    ASSERT_TRUE(fs::is_directory(samples)) << samples;
    std::set<std::string> seen;
    for (const auto& entry : fs::directory_iterator(samples)) {
        SCOPED_TRACE(entry.path().filename().string());
        QXmlStreamReader reader(QByteArray::fromStdString(ReadFile(entry.path())));
        std::string requestId, timestamp, signature, signKey, element, operation;
        std::vector<TNavItem> items;
        std::vector<std::string> commentHashes;
        while (!reader.atEnd()) {
            const auto token = reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                element = reader.name().toString().toStdString();
            } else if (token == QXmlStreamReader::Characters && !reader.isWhitespace()) {
                const std::string text = reader.text().toString().toStdString();
                if (element == "requestId")
                    requestId = text;
                else if (element == "timestamp")
                    timestamp = text;
                else if (element == "requestSignature")
                    signature = text;
                else if (element == "invoiceOperation" || element == "annulmentOperation")
                    operation = text;
                else if (element == "invoiceData" || element == "invoiceAnnulment")
                    items.push_back({operation, text});
            } else if (token == QXmlStreamReader::Comment) {
                static const std::regex kKey("<signKey>(.*)</signKey>");
                static const std::regex kHash("<[a-z]+IndexHash>([0-9A-F]+)</[a-z]+IndexHash>");
                const std::string text = reader.text().toString().toStdString();
                std::smatch m;
                if (std::regex_search(text, m, kKey))
                    signKey = m[1];
                else if (std::regex_search(text, m, kHash))
                    commentHashes.push_back(m[1]);
            }
        }
        ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        ASSERT_FALSE(signKey.empty());
        std::vector<std::string> hashes;
        for (const TNavItem& item : items)
            hashes.push_back(ItemHash(item.operation, item.base64Data));
        for (std::size_t i = 0; i < commentHashes.size(); ++i)
            EXPECT_EQ(hashes.at(i), commentHashes[i]) << "index " << i + 1;
        EXPECT_EQ(RequestSignature(requestId, timestamp, signKey, hashes), signature);
        seen.insert(entry.path().filename().string());
    }
    EXPECT_TRUE(seen.count("manageInvoice.xml") && seen.count("manageAnnulment.xml") &&
                seen.count("tokenExchange.xml") && seen.count("queryTransactionStatus.xml") &&
                seen.count("queryTransactionList.xml"));
}

TEST(NavCryptoTest, HashesCipherAndEncoding) {
    EXPECT_EQ(Sha512Hex("Jelszo'123"),
              "23ACEDA6F13857F9DAFE1F2EA0DE5BABE90DFE5AFEB0B8F62DCD3C6B07BF85EDC1DFF9893E01C493B16"
              "D33769AB3963528B2F3724852E44EB857AEE991A6F462");
    EXPECT_EQ(Sha3_512Hex("").substr(0, 16), "A69F73CCA23A9AC5");
    // A token encrypted by another implementation (Python's cryptography package).
    const std::string encoded =
        "CFre/G3p8W+A/qf8WfSHU7bQeEqtDfi/2maj5NncYZ9Hx5Bk/WEdqHyGbNoLQm5Cjd9a5RncWkDpRdm4egbCbQ==";
    const std::string token = "b1aca173-d9e8-4561-9237-0511eed99eaa2P0ZHLXBRI2U";
    EXPECT_EQ(Aes128EcbDecrypt("a1b2c3d4e5f6g7h8", Base64Decode(encoded)), token);
    EXPECT_EQ(Base64Encode(Aes128EcbEncrypt("a1b2c3d4e5f6g7h8", token)), encoded);
    EXPECT_EQ(Base64Decode("QWJj\nZDEy MzQ="), "Abcd1234");

    struct Failure {
        const char* name;
        std::function<void()> call;
    };
    const Failure failures[] = {
        {"another key", [&] { Aes128EcbDecrypt("0000000000000000", Base64Decode(encoded)); }},
        {"a key of 15 bytes", [&] { Aes128EcbDecrypt("a1b2c3d4e5f6g7h", "x"); }},
        {"not base64", [] { Base64Decode("QWJj*ZDEy"); }},
        {"not a time stamp", [] { SignatureTime("2017-12-30 18:25:45"); }},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        EXPECT_THROW(f.call(), NavError);
    }
}

TEST(NavRequestTest, RequestIdsAndTimestamps) {
    const std::regex id("RID[0-9]{17}[0-9A-Z]{10}");
    std::set<std::string> ids;
    for (int i = 0; i < 2000; ++i) {
        const std::string next = NewRequestId();
        ASSERT_TRUE(std::regex_match(next, id)) << next;
        ids.insert(next);
    }
    EXPECT_EQ(ids.size(), 2000u);
    const std::string now = UtcTimestampNow();
    EXPECT_TRUE(std::regex_match(now, std::regex(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z)")))
        << now;
}

// The value of the first element of that local name.
std::string Element(const std::string& xml, const std::string& name) {
    QXmlStreamReader reader(QByteArray::fromStdString(xml));
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name().toString().toStdString() == name)
            return reader.readElementText().toStdString();
    }
    return "";
}

TEST(NavRequestTest, RequestsAreValidAndSigned) {
    const TNavCredentials c = Credentials();
    const TNavRequestHead head{"RID20261210120000000ABCDEFGHIJ", "2026-12-10T12:00:00.123Z"};
    const std::string invoice = "<InvoiceData/>";
    const std::vector<TNavItem> invoices = {{"CREATE", Base64Encode(invoice)},
                                            {"STORNO", Base64Encode("<InvoiceData x='1'/>")}};
    const std::string annulment =
        InvoiceAnnulmentXml("SZ2026/0000002", head.timestamp, "ERRATIC_DATA", "Hibás ÁFA & <ok>");
    const std::vector<TNavItem> annulments = {{"ANNUL", Base64Encode(annulment)}};
    struct Case {
        const char* name;
        std::string xml;
        std::vector<TNavItem> items;
    };
    const Case cases[] = {
        {"tokenExchange", TokenExchangeRequest(c, head), {}},
        {"manageInvoice", ManageInvoiceRequest(c, head, "token-1", invoices), invoices},
        {"manageAnnulment", ManageAnnulmentRequest(c, head, "token-2", annulments), annulments},
        {"queryTransactionStatus", QueryTransactionStatusRequest(c, head, "4ABC123", true), {}},
        {"queryTransactionList",
         QueryTransactionListRequest(c, head, 2, "2026-12-10T11:00:00.000Z",
                                     "2026-12-10T12:00:00.000Z"),
         {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(SchemaErrors(k.xml, kSchemaDir / "validate-api.xsd"), "");
        EXPECT_EQ(Element(k.xml, "passwordHash"), Sha512Hex(c.password));
        std::vector<std::string> hashes;
        for (const TNavItem& item : k.items)
            hashes.push_back(ItemHash(item.operation, item.base64Data));
        EXPECT_EQ(Element(k.xml, "requestSignature"),
                  RequestSignature(head.requestId, head.timestamp, c.signingKey, hashes));
        EXPECT_EQ(Element(k.xml, "softwareName"), c.software.softwareName);
        // No secret in the clear.
        EXPECT_EQ(k.xml.find(c.password), std::string::npos);
        EXPECT_EQ(k.xml.find(c.signingKey), std::string::npos);
        EXPECT_EQ(k.xml.find(c.exchangeKey), std::string::npos);
    }
    EXPECT_THROW(ManageInvoiceRequest(c, head, "t", std::vector<TNavItem>(101, invoices[0])),
                 NavError);
    EXPECT_THROW(ManageInvoiceRequest(c, head, "t", {}), NavError);

    // The annulment document against its schema.
    Scratch dir;
    const fs::path wrapper = dir.Path() / "validate-annul.xsd";
    std::ofstream(wrapper)
        << "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='urn:x'>"
        << "<xs:import namespace='http://schemas.nav.gov.hu/NTCA/1.0/common' schemaLocation='"
        << (kSchemaDir / "common.xsd").string() << "'/>"
        << "<xs:import namespace='http://schemas.nav.gov.hu/OSA/3.0/base' schemaLocation='"
        << (kSchemaDir / "invoiceBase.xsd").string() << "'/>"
        << "<xs:import namespace='http://schemas.nav.gov.hu/OSA/3.0/annul' schemaLocation='"
        << (kSchemaDir / "invoiceAnnulment.xsd").string() << "'/></xs:schema>";
    EXPECT_EQ(SchemaErrors(annulment, wrapper), "");
    EXPECT_EQ(SubmittedInvoiceNumber(annulment), "SZ2026/0000002");
    EXPECT_TRUE(IsAnnulmentCode("ERRATIC_INVOICE_ISSUE_DATE"));
    EXPECT_FALSE(IsAnnulmentCode("ERRATIC"));
}

std::string Answer(const std::string& root, const std::string& inner,
                   const std::string& result = "<common:funcCode>OK</common:funcCode>") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + root +
           " xmlns=\"http://schemas.nav.gov.hu/OSA/3.0/api\" "
           "xmlns:common=\"http://schemas.nav.gov.hu/NTCA/1.0/common\"><common:header>"
           "<common:requestId>RID1</common:requestId><common:timestamp>2026-12-10T12:00:00.000Z"
           "</common:timestamp><common:requestVersion>3.0</common:requestVersion>"
           "</common:header><common:result>" +
           result + "</common:result>" + inner + "</" + root + ">";
}

TEST(NavAnswerTest, AnswersRead) {
    const TNavTokenAnswer token = ReadTokenExchangeAnswer(
        200, Answer("TokenExchangeResponse",
                    "<encodedExchangeToken>QUJD</encodedExchangeToken><tokenValidityFrom>"
                    "2026-12-10T12:00:00.000Z</tokenValidityFrom><tokenValidityTo>"
                    "2026-12-10T12:05:00.000Z</tokenValidityTo>"));
    EXPECT_EQ(token.encodedToken, "QUJD");
    EXPECT_EQ(token.validSeconds, 300);
    EXPECT_EQ(ReadTransactionIdAnswer(
                  200, Answer("ManageInvoiceResponse", "<transactionId>4XYZ</transactionId>")),
              "4XYZ");
    EXPECT_EQ(ReadTransactionIdAnswer(
                  200, Answer("ManageAnnulmentResponse", "<transactionId>5XYZ</transactionId>")),
              "5XYZ");

    const TNavTransactionStatus status = ReadTransactionStatusAnswer(
        200,
        Answer(
            "QueryTransactionStatusResponse",
            "<processingResults><processingResult><index>1</index><invoiceStatus>ABORTED"
            "</invoiceStatus><technicalValidationMessages><common:validationResultCode>ERROR"
            "</common:validationResultCode><common:validationErrorCode>SCHEMA_VIOLATION"
            "</common:validationErrorCode><common:message>line 3</common:message>"
            "</technicalValidationMessages><businessValidationMessages>"
            "<validationResultCode>ERROR</validationResultCode><validationErrorCode>"
            "INVOICE_NUMBER_NOT_UNIQUE</validationErrorCode><message>Used\tbefore</message>"
            "<pointer><tag>invoiceNumber</tag><value>SZ1</value><line>2</line></pointer>"
            "</businessValidationMessages><compressedContentIndicator>false"
            "</compressedContentIndicator><originalRequest>PEludm9pY2VEYXRhLz4=</originalRequest>"
            "</processingResult><processingResult><index>2</index><invoiceStatus>DONE"
            "</invoiceStatus><compressedContentIndicator>false</compressedContentIndicator>"
            "</processingResult><originalRequestVersion>3.0</originalRequestVersion>"
            "<annulmentData><annulmentVerificationStatus>VERIFICATION_PENDING"
            "</annulmentVerificationStatus></annulmentData></processingResults>"));
    ASSERT_EQ(status.results.size(), 2u);
    EXPECT_EQ(status.results[0].invoiceStatus, "ABORTED");
    ASSERT_EQ(status.results[0].messages.size(), 2u);
    EXPECT_TRUE(status.results[0].messages[0].technical);
    EXPECT_EQ(MessageLine(status.results[0].messages[0]), "ERROR\tSCHEMA_VIOLATION\tline 3\t\t\t");
    EXPECT_EQ(MessageLine(status.results[0].messages[1]),
              "ERROR\tINVOICE_NUMBER_NOT_UNIQUE\tUsed before\tinvoiceNumber\tSZ1\t2");
    EXPECT_EQ(status.results[0].originalRequest.value_or(""), "<InvoiceData/>");
    EXPECT_EQ(status.results[1].index, 2);
    EXPECT_FALSE(status.results[1].originalRequest);
    EXPECT_EQ(status.annulmentVerificationStatus, "VERIFICATION_PENDING");

    const TNavTransactionList list = ReadTransactionListAnswer(
        200, Answer("QueryTransactionListResponse",
                    "<transactionListResult><currentPage>1</currentPage><availablePage>2"
                    "</availablePage><transaction><insDate>2026-12-10T12:00:01.000Z</insDate>"
                    "<insCusUser>tesztuser01</insCusUser><source>XML</source><transactionId>T1"
                    "</transactionId><requestStatus>FINISHED</requestStatus><technicalAnnulment>"
                    "true</technicalAnnulment><originalRequestVersion>3.0"
                    "</originalRequestVersion><itemCount>1</itemCount></transaction>"
                    "</transactionListResult>"));
    EXPECT_EQ(list.availablePage, 2);
    ASSERT_EQ(list.transactions.size(), 1u);
    EXPECT_EQ(list.transactions[0].transactionId, "T1");
    EXPECT_TRUE(list.transactions[0].technicalAnnulment);
}

TEST(NavAnswerTest, RefusalsAndBrokenAnswers) {
    struct Case {
        const char* name;
        long status;
        std::string body;
        std::string apiError;                // the one line of NavApiError
        std::optional<bool> mayHaveArrived;  // a NavTransportError
    };
    const Case cases[] = {
        {"a refusal as a whole", 400,
         Answer("GeneralErrorResponse", "",
                "<common:funcCode>ERROR</common:funcCode><common:errorCode>"
                "INVALID_REQUEST_SIGNATURE</common:errorCode><common:message>Invalid request\n"
                "signature!</common:message>"),
         "ERROR INVALID_REQUEST_SIGNATURE: Invalid request signature!", std::nullopt},
        {"a schema violation of the request", 400,
         Answer("GeneralErrorResponse",
                "<technicalValidationMessages><common:validationResultCode>ERROR"
                "</common:validationResultCode><common:message>Element 'login'</common:message>"
                "</technicalValidationMessages>",
                "<common:funcCode>ERROR</common:funcCode><common:errorCode>INVALID_REQUEST"
                "</common:errorCode>"),
         "ERROR INVALID_REQUEST: (Element 'login')", std::nullopt},
        {"a technical exception", 400,
         "<common:GeneralExceptionResponse xmlns:common=\"http://schemas.nav.gov.hu/NTCA/1.0/"
         "common\"><common:funcCode>ERROR</common:funcCode><common:errorCode>INVALID_REQUEST"
         "</common:errorCode><common:message>Invalid request!</common:message>"
         "</common:GeneralExceptionResponse>",
         "ERROR INVALID_REQUEST: Invalid request!", std::nullopt},
        {"a gateway's page", 504, "<html>Gateway Time-out", "", true},
        {"a page not found", 404, "not found", "", false},
        {"another answer", 200, Answer("TokenExchangeResponse", ""), "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadTransactionIdAnswer(c.status, c.body);
            ADD_FAILURE() << "read";
        } catch (const NavApiError& e) {
            EXPECT_EQ(e.what(), c.apiError);
            EXPECT_FALSE(c.mayHaveArrived);
        } catch (const NavTransportError& e) {
            ASSERT_TRUE(c.mayHaveArrived) << e.what();
            EXPECT_EQ(e.mayHaveArrived(), *c.mayHaveArrived);
        }
    }
}

// ---------------------------------------------------------------------------------------
// The credentials file
// ---------------------------------------------------------------------------------------

const char* const kGoodFile =
    "[NAV]\n"
    "Login=tesztuser01\n"
    "Password=Titkos'Jelszo\n"
    "SigningKey=ce-8f5e-215119fa7dd621DLMRHRLH2S\n"
    "ExchangeKey=a1b2c3d4e5f6g7h8\n"
    "TaxNumber=12345678\n"
    "SoftwareId=HU12345678-DORVAN1\n"
    "SoftwareDevName=Fejlesztő Kft.\n"
    "SoftwareDevContact=fejleszto@example.hu\n";

TEST(NavCredentialsTest, ReadAndChecked) {
    Scratch dir;
    const fs::path file = dir.Path() / "nav.ini";
    std::ofstream(file) << kGoodFile;
    ::chmod(file.c_str(), 0600);
    const TNavCredentials c = ReadNavCredentials(file.string());
    EXPECT_EQ(c.login, "tesztuser01");
    EXPECT_EQ(c.password, "Titkos'Jelszo");
    EXPECT_EQ(c.taxNumber, "12345678");
    EXPECT_EQ(c.software.softwareName, "Dorvan");
    EXPECT_EQ(c.software.softwareOperation, "LOCAL_SOFTWARE");
    EXPECT_FALSE(c.software.softwareMainVersion.empty());
    EXPECT_EQ(c.software.softwareDevCountryCode, "");

    struct Case {
        const char* name;
        mode_t mode;
        std::string change;  // a line added before the others (the first key wins)
        std::string reason;  // part of the one line
    };
    const Case cases[] = {
        {"readable by the group", 0640, "", "más felhasználók is olvashatják"},
        {"readable by everybody", 0604, "", "más felhasználók is olvashatják"},
        {"no password", 0600, "Password=\n", "Password"},
        {"a short login", 0600, "Login=abc\n", "Login"},
        {"an exchange key of 15", 0600, "ExchangeKey=a1b2c3d4e5f6g7h\n", "ExchangeKey"},
        {"a whole tax number", 0600, "TaxNumber=12345678-2-16\n", "TaxNumber"},
        {"a software id in lower case", 0600, "SoftwareId=hu12345678-dorvan1\n", "SoftwareId"},
        {"an unknown operation", 0600, "SoftwareOperation=CLOUD\n", "SoftwareOperation"},
        {"a country of three letters", 0600, "SoftwareDevCountryCode=HUN\n",
         "SoftwareDevCountryCode"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::string text = kGoodFile;
        text.insert(std::string("[NAV]\n").size(), k.change);
        std::ofstream(file, std::ios::trunc) << text;
        ::chmod(file.c_str(), k.mode);
        try {
            ReadNavCredentials(file.string());
            ADD_FAILURE() << "read";
        } catch (const NavConfigError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(file.string() + ": ", 0), 0u) << what;
            EXPECT_NE(what.find(k.reason), std::string::npos) << what;
            EXPECT_EQ(what.find('\n'), std::string::npos);
            for (const char* secret : {"Titkos", "ce-8f5e", "a1b2c3d4"})
                EXPECT_EQ(what.find(secret), std::string::npos) << what;
        }
    }
    // A missing file and a folder are named too.
    for (const fs::path& path : {dir.Path() / "missing.ini", dir.Path()}) {
        SCOPED_TRACE(path.string());
        try {
            ReadNavCredentials(path.string());
            ADD_FAILURE() << "read";
        } catch (const NavConfigError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(path.string() + ": ", 0), 0u) << e.what();
        }
    }
}

TEST(NavCredentialsTest, WhereTheFileIs) {
    ::setenv("DORVAN_NAV_CREDENTIALS", "/somewhere/nav-credentials.ini", 1);
    EXPECT_EQ(NavCredentialsPath(), "/somewhere/nav-credentials.ini");
    ::unsetenv("DORVAN_NAV_CREDENTIALS");
    const std::string path = NavCredentialsPath();
    EXPECT_NE(path.find("/Norvello/Dorvan2007/"), std::string::npos) << path;
    EXPECT_EQ(fs::path(path).filename(), "nav.ini");
}

TEST(NavAddressTest, SecureOrLoopback) {
    struct Case {
        const char* url;
        bool accepted;
    };
    const Case cases[] = {
        {kNavTestApiUrl, true},
        {kNavProductionApiUrl, true},
        {"http://127.0.0.1:41234/invoiceService/v3", true},
        {"http://127.8.0.1/invoiceService/v3", true},
        {"http://[::1]:8080/invoiceService/v3", true},
        {"http://localhost:8080/invoiceService/v3", true},
        {"http://api-test.onlineszamla.nav.gov.hu/invoiceService/v3", false},
        {"http://10.0.0.1/invoiceService/v3", false},
        {"http://127.0.0.1.example.com/", false},
        {"ftp://127.0.0.1/", false},
        {"api-test.onlineszamla.nav.gov.hu", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        if (c.accepted) {
            EXPECT_NO_THROW(CheckNavApiUrl(c.url));
        } else {
            try {
                CheckNavApiUrl(c.url);
                ADD_FAILURE() << "accepted";
            } catch (const NavConfigError& e) {
                EXPECT_EQ(std::string(e.what()).rfind("DORVAN_NAV_API_URL: ", 0), 0u);
            }
        }
    }
    ::unsetenv("DORVAN_NAV_API_URL");
    EXPECT_EQ(NavApiUrl(), kNavTestApiUrl);
    ::setenv("DORVAN_NAV_API_URL", "http://127.0.0.1:9/invoiceService/v3/", 1);
    EXPECT_EQ(NavApiUrl(), "http://127.0.0.1:9/invoiceService/v3");
    ::setenv("DORVAN_NAV_API_URL", "http://192.0.2.1/invoiceService/v3", 1);
    EXPECT_THROW(NavApiUrl(), NavConfigError);
    ::unsetenv("DORVAN_NAV_API_URL");
}

}  // namespace
}  // namespace dorvan::nav
