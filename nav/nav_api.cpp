#include "nav/nav_api.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <memory>
#include <random>

#include "nav/nav_crypto.h"
#include "nav/nav_error.h"
#include "nav/nav_xml_writer.h"

namespace dorvan::nav {
namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// ---------------------------------------------------------------------------------------
// Requests
// ---------------------------------------------------------------------------------------

class RequestWriter {
  public:
    RequestWriter(const char* root, const TNavCredentials& credentials, const TNavRequestHead& head,
                  const std::vector<std::string>& itemHashes)
        : xml_(&out_) {
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(2);
        xml_.writeStartDocument();
        xml_.writeNamespace(Q(kCommonNamespace), QStringLiteral("common"));
        xml_.writeDefaultNamespace(Q(kApiNamespace));
        xml_.writeStartElement(Q(kApiNamespace), QString::fromLatin1(root));

        xml_.writeStartElement(Q(kCommonNamespace), QStringLiteral("header"));
        Common("requestId", head.requestId);
        Common("timestamp", head.timestamp);
        Common("requestVersion", "3.0");
        Common("headerVersion", "1.0");
        xml_.writeEndElement();

        xml_.writeStartElement(Q(kCommonNamespace), QStringLiteral("user"));
        Common("login", credentials.login);
        xml_.writeStartElement(Q(kCommonNamespace), QStringLiteral("passwordHash"));
        xml_.writeAttribute(QStringLiteral("cryptoType"), QStringLiteral("SHA-512"));
        xml_.writeCharacters(Q(Sha512Hex(credentials.password)));
        xml_.writeEndElement();
        Common("taxNumber", credentials.taxNumber);
        xml_.writeStartElement(Q(kCommonNamespace), QStringLiteral("requestSignature"));
        xml_.writeAttribute(QStringLiteral("cryptoType"), QStringLiteral("SHA3-512"));
        xml_.writeCharacters(Q(
            RequestSignature(head.requestId, head.timestamp, credentials.signingKey, itemHashes)));
        xml_.writeEndElement();
        xml_.writeEndElement();

        const TNavSoftware& s = credentials.software;
        Start("software");
        Text("softwareId", s.softwareId);
        Text("softwareName", s.softwareName);
        Text("softwareOperation", s.softwareOperation);
        Text("softwareMainVersion", s.softwareMainVersion);
        Text("softwareDevName", s.softwareDevName);
        Text("softwareDevContact", s.softwareDevContact);
        if (!s.softwareDevCountryCode.empty())
            Text("softwareDevCountryCode", s.softwareDevCountryCode);
        if (!s.softwareDevTaxNumber.empty())
            Text("softwareDevTaxNumber", s.softwareDevTaxNumber);
        End();
    }

    void Start(const char* name) {
        xml_.writeStartElement(Q(kApiNamespace), QString::fromLatin1(name));
    }
    void End() { xml_.writeEndElement(); }
    void Text(const char* name, const std::string& value) {
        xml_.writeTextElement(Q(kApiNamespace), QString::fromLatin1(name), Q(value));
    }

    std::string Finish() {
        xml_.writeEndElement();
        xml_.writeEndDocument();
        return out_.toStdString();
    }

  private:
    void Common(const char* name, const std::string& value) {
        xml_.writeTextElement(Q(kCommonNamespace), QString::fromLatin1(name), Q(value));
    }

    QByteArray out_;
    QXmlStreamWriter xml_;
};

std::vector<std::string> ItemHashes(const std::vector<TNavItem>& items) {
    std::vector<std::string> hashes;
    hashes.reserve(items.size());
    for (const TNavItem& item : items)
        hashes.push_back(ItemHash(item.operation, item.base64Data));
    return hashes;
}

void CheckItemCount(const std::vector<TNavItem>& items) {
    if (items.empty() || items.size() > kMaxItemsPerRequest)
        throw NavError("Egy kérésben 1-" + std::to_string(kMaxItemsPerRequest) +
                       " tétel küldhető.");
}

// ---------------------------------------------------------------------------------------
// Answers: a small tree of the elements by local name
// ---------------------------------------------------------------------------------------

struct Node {
    std::string name;
    std::string text;
    std::vector<std::unique_ptr<Node>> children;

    const Node* Child(std::string_view childName) const {
        for (const auto& c : children) {
            if (c->name == childName)
                return c.get();
        }
        return nullptr;
    }
    std::vector<const Node*> All(std::string_view childName) const {
        std::vector<const Node*> found;
        for (const auto& c : children) {
            if (c->name == childName)
                found.push_back(c.get());
        }
        return found;
    }
    std::string Text(std::string_view childName) const {
        const Node* c = Child(childName);
        return c ? c->text : std::string();
    }
};

// nullptr when the body is not well-formed XML.
std::unique_ptr<Node> ParseTree(const std::string& body) {
    QXmlStreamReader reader(QByteArray::fromStdString(body));
    std::unique_ptr<Node> root;
    std::vector<Node*> open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                auto node = std::make_unique<Node>();
                node->name = reader.name().toString().toStdString();
                Node* raw = node.get();
                if (open.empty()) {
                    if (root)
                        return nullptr;
                    root = std::move(node);
                } else {
                    open.back()->children.push_back(std::move(node));
                }
                open.push_back(raw);
                break;
            }
            case QXmlStreamReader::Characters:
                if (!open.empty())
                    open.back()->text += reader.text().toString().toStdString();
                break;
            case QXmlStreamReader::EndElement:
                if (!open.empty())
                    open.pop_back();
                break;
            default:
                break;
        }
    }
    if (reader.hasError() || !root)
        return nullptr;
    return root;
}

std::string Trimmed(const std::string& text) {
    return QString::fromStdString(text).trimmed().toStdString();
}

// The answer's tree, its result checked: throws NavApiError for funcCode ERROR, and
// NavTransportError when the body is not the expected answer.
std::unique_ptr<Node> Answer(long status, const std::string& body, std::string_view expected) {
    const bool mayHaveArrived = status >= 500 || status == 0;
    std::unique_ptr<Node> root = ParseTree(body);
    if (!root) {
        throw NavTransportError("Az adóhatóság felülete nem értelmezhető választ adott (HTTP " +
                                    std::to_string(status) + ")",
                                mayHaveArrived);
    }
    const Node* result = root->Child("result");
    // A GeneralExceptionResponse carries its result fields directly.
    const Node& fields = result ? *result : *root;
    const std::string funcCode = Trimmed(fields.Text("funcCode"));
    if (funcCode == "ERROR") {
        std::string message = Trimmed(fields.Text("message"));
        // A schema violation of the request names its first technical message.
        if (const Node* technical = root->Child("technicalValidationMessages")) {
            const std::string detail = Trimmed(technical->Text("message"));
            if (!detail.empty())
                message += (message.empty() ? "" : " ") + std::string("(") + detail + ")";
        }
        throw NavApiError(Trimmed(fields.Text("errorCode")), message, status);
    }
    if (root->name != expected || funcCode != "OK") {
        throw NavTransportError("Az adóhatóság felülete váratlan választ adott (HTTP " +
                                    std::to_string(status) + ", " + root->name + ")",
                                mayHaveArrived);
    }
    return root;
}

long long SecondsBetween(const std::string& from, const std::string& to) {
    const QDateTime a = QDateTime::fromString(Q(from), Qt::ISODateWithMs);
    const QDateTime b = QDateTime::fromString(Q(to), Qt::ISODateWithMs);
    if (!a.isValid() || !b.isValid())
        return 0;
    return a.secsTo(b);
}

int Int(const std::string& text) {
    try {
        return std::stoi(Trimmed(text));
    } catch (const std::exception&) {
        return 0;
    }
}

std::string Flat(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

}  // namespace

bool IsAnnulmentCode(std::string_view code) {
    return std::any_of(std::begin(kAnnulmentCodes), std::end(kAnnulmentCodes),
                       [code](const char* known) { return code == known; });
}

std::string NewRequestId() {
    static constexpr char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, 35);
    std::string id =
        "RID" +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")).toStdString();
    while (id.size() < 30)
        id += kChars[pick(random)];
    return id;
}

std::string UtcTimestampNow() {
    return QDateTime::currentDateTimeUtc()
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"))
        .toStdString();
}

std::string SignatureTime(std::string_view timestamp) {
    const QDateTime t = QDateTime::fromString(
        QString::fromUtf8(timestamp.data(), static_cast<qsizetype>(timestamp.size())),
        Qt::ISODateWithMs);
    if (!t.isValid() || !timestamp.ends_with('Z'))
        throw NavError("Hibás UTC időbélyeg: " + std::string(timestamp));
    return t.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toStdString();
}

std::string ItemHash(std::string_view operation, std::string_view base64Data) {
    std::string base(operation);
    base += base64Data;
    return Sha3_512Hex(base);
}

std::string RequestSignature(std::string_view requestId, std::string_view timestamp,
                             std::string_view signingKey,
                             const std::vector<std::string>& itemHashes) {
    std::string base(requestId);
    base += SignatureTime(timestamp);
    base += signingKey;
    for (const std::string& hash : itemHashes)
        base += hash;
    return Sha3_512Hex(base);
}

std::string TokenExchangeRequest(const TNavCredentials& credentials, const TNavRequestHead& head) {
    return RequestWriter("TokenExchangeRequest", credentials, head, {}).Finish();
}

std::string ManageInvoiceRequest(const TNavCredentials& credentials, const TNavRequestHead& head,
                                 const std::string& exchangeToken,
                                 const std::vector<TNavItem>& items) {
    CheckItemCount(items);
    RequestWriter w("ManageInvoiceRequest", credentials, head, ItemHashes(items));
    w.Text("exchangeToken", exchangeToken);
    w.Start("invoiceOperations");
    w.Text("compressedContent", "false");
    for (std::size_t i = 0; i < items.size(); ++i) {
        w.Start("invoiceOperation");
        w.Text("index", std::to_string(i + 1));
        w.Text("invoiceOperation", items[i].operation);
        w.Text("invoiceData", items[i].base64Data);
        w.End();
    }
    w.End();
    return w.Finish();
}

std::string ManageAnnulmentRequest(const TNavCredentials& credentials, const TNavRequestHead& head,
                                   const std::string& exchangeToken,
                                   const std::vector<TNavItem>& items) {
    CheckItemCount(items);
    RequestWriter w("ManageAnnulmentRequest", credentials, head, ItemHashes(items));
    w.Text("exchangeToken", exchangeToken);
    w.Start("annulmentOperations");
    for (std::size_t i = 0; i < items.size(); ++i) {
        w.Start("annulmentOperation");
        w.Text("index", std::to_string(i + 1));
        w.Text("annulmentOperation", items[i].operation);
        w.Text("invoiceAnnulment", items[i].base64Data);
        w.End();
    }
    w.End();
    return w.Finish();
}

std::string QueryTransactionStatusRequest(const TNavCredentials& credentials,
                                          const TNavRequestHead& head,
                                          const std::string& transactionId,
                                          bool returnOriginalRequest) {
    RequestWriter w("QueryTransactionStatusRequest", credentials, head, {});
    w.Text("transactionId", transactionId);
    w.Text("returnOriginalRequest", returnOriginalRequest ? "true" : "false");
    return w.Finish();
}

std::string QueryTransactionListRequest(const TNavCredentials& credentials,
                                        const TNavRequestHead& head, int page,
                                        const std::string& from, const std::string& to) {
    RequestWriter w("QueryTransactionListRequest", credentials, head, {});
    w.Text("page", std::to_string(page));
    w.Start("insDate");
    w.Text("dateTimeFrom", from);
    w.Text("dateTimeTo", to);
    w.End();
    return w.Finish();
}

std::string InvoiceAnnulmentXml(const std::string& invoiceNumber, const std::string& timestamp,
                                const std::string& code, const std::string& reason) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(Q(kAnnulNamespace));
    xml.writeStartElement(Q(kAnnulNamespace), QStringLiteral("InvoiceAnnulment"));
    xml.writeTextElement(Q(kAnnulNamespace), QStringLiteral("annulmentReference"),
                         Q(invoiceNumber));
    xml.writeTextElement(Q(kAnnulNamespace), QStringLiteral("annulmentTimestamp"), Q(timestamp));
    xml.writeTextElement(Q(kAnnulNamespace), QStringLiteral("annulmentCode"), Q(code));
    xml.writeTextElement(Q(kAnnulNamespace), QStringLiteral("annulmentReason"), Q(reason));
    xml.writeEndElement();
    xml.writeEndDocument();
    return out.toStdString();
}

TNavTokenAnswer ReadTokenExchangeAnswer(long status, const std::string& body) {
    const auto root = Answer(status, body, "TokenExchangeResponse");
    TNavTokenAnswer a;
    a.encodedToken = Trimmed(root->Text("encodedExchangeToken"));
    a.validFrom = Trimmed(root->Text("tokenValidityFrom"));
    a.validTo = Trimmed(root->Text("tokenValidityTo"));
    a.validSeconds = SecondsBetween(a.validFrom, a.validTo);
    if (a.encodedToken.empty())
        throw NavTransportError("Az adóhatóság nem adott tokent.", false);
    return a;
}

std::string ReadTransactionIdAnswer(long status, const std::string& body) {
    std::unique_ptr<Node> root;
    root = ParseTree(body);
    const std::string expected = root && root->name == "ManageAnnulmentResponse"
                                     ? "ManageAnnulmentResponse"
                                     : "ManageInvoiceResponse";
    root = Answer(status, body, expected);
    const std::string id = Trimmed(root->Text("transactionId"));
    if (id.empty())
        throw NavTransportError("Az adóhatóság válaszában nincs tranzakcióazonosító.", true);
    return id;
}

TNavTransactionStatus ReadTransactionStatusAnswer(long status, const std::string& body) {
    const auto root = Answer(status, body, "QueryTransactionStatusResponse");
    TNavTransactionStatus s;
    const Node* list = root->Child("processingResults");
    if (!list)
        return s;
    for (const Node* r : list->All("processingResult")) {
        TNavProcessingResult p;
        p.index = Int(r->Text("index"));
        p.batchIndex = Int(r->Text("batchIndex"));
        p.invoiceStatus = Trimmed(r->Text("invoiceStatus"));
        for (const Node* m : r->All("technicalValidationMessages")) {
            TNavMessage msg;
            msg.technical = true;
            msg.kind = Trimmed(m->Text("validationResultCode"));
            msg.code = Trimmed(m->Text("validationErrorCode"));
            msg.message = Trimmed(m->Text("message"));
            p.messages.push_back(std::move(msg));
        }
        for (const Node* m : r->All("businessValidationMessages")) {
            TNavMessage msg;
            msg.kind = Trimmed(m->Text("validationResultCode"));
            msg.code = Trimmed(m->Text("validationErrorCode"));
            msg.message = Trimmed(m->Text("message"));
            if (const Node* pointer = m->Child("pointer")) {
                msg.pointerTag = Trimmed(pointer->Text("tag"));
                msg.pointerValue = Trimmed(pointer->Text("value"));
                msg.pointerLine = Trimmed(pointer->Text("line"));
                msg.pointerOriginalInvoiceNumber = Trimmed(pointer->Text("originalInvoiceNumber"));
            }
            p.messages.push_back(std::move(msg));
        }
        p.compressed = Trimmed(r->Text("compressedContentIndicator")) == "true";
        if (const Node* original = r->Child("originalRequest"))
            p.originalRequest = Base64Decode(original->text);
        s.results.push_back(std::move(p));
    }
    if (const Node* annulment = list->Child("annulmentData"))
        s.annulmentVerificationStatus = Trimmed(annulment->Text("annulmentVerificationStatus"));
    return s;
}

TNavTransactionList ReadTransactionListAnswer(long status, const std::string& body) {
    const auto root = Answer(status, body, "QueryTransactionListResponse");
    TNavTransactionList l;
    const Node* result = root->Child("transactionListResult");
    if (!result)
        return l;
    l.currentPage = Int(result->Text("currentPage"));
    l.availablePage = Int(result->Text("availablePage"));
    for (const Node* t : result->All("transaction")) {
        TNavTransaction tr;
        tr.insDate = Trimmed(t->Text("insDate"));
        tr.transactionId = Trimmed(t->Text("transactionId"));
        tr.requestStatus = Trimmed(t->Text("requestStatus"));
        tr.technicalAnnulment = Trimmed(t->Text("technicalAnnulment")) == "true";
        tr.itemCount = Int(t->Text("itemCount"));
        l.transactions.push_back(std::move(tr));
    }
    return l;
}

std::string SubmittedInvoiceNumber(std::string_view xml) {
    const auto root = ParseTree(std::string(xml));
    if (!root)
        return "";
    if (root->name == "InvoiceData")
        return Trimmed(root->Text("invoiceNumber"));
    if (root->name == "InvoiceAnnulment")
        return Trimmed(root->Text("annulmentReference"));
    return "";
}

std::string MessageLine(const TNavMessage& m) {
    return Flat(m.kind) + "\t" + Flat(m.code) + "\t" + Flat(m.message) + "\t" + Flat(m.pointerTag) +
           "\t" + Flat(m.pointerValue) + "\t" + Flat(m.pointerLine);
}

}  // namespace dorvan::nav
