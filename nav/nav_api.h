#pragma once
// The requests and answers of the authority's interface (Online Számla 3.0, invoiceApi.xsd),
// as pure functions: the header with its request id and UTC time stamp, the user block with
// the password hash and the request signature (with the hash of each submitted item for
// manageInvoice and manageAnnulment), the software block, and the reading of the answers.
// Nothing here talks to the network or keeps a secret beyond the call.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nav/nav_credentials.h"

namespace dorvan::nav {

inline constexpr const char* kApiNamespace = "http://schemas.nav.gov.hu/OSA/3.0/api";
inline constexpr const char* kAnnulNamespace = "http://schemas.nav.gov.hu/OSA/3.0/annul";

// At most this many invoices (or annulments) go in one request.
inline constexpr std::size_t kMaxItemsPerRequest = 100;

// The codes of a technical annulment.
inline constexpr const char* kAnnulmentCodes[] = {"ERRATIC_DATA", "ERRATIC_INVOICE_NUMBER",
                                                  "ERRATIC_INVOICE_ISSUE_DATE",
                                                  "ERRATIC_ELECTRONIC_HASH_VALUE"};
bool IsAnnulmentCode(std::string_view code);

// A new request id: 30 characters of [A-Z0-9] ("RID" + the UTC time to the millisecond + 10
// random characters), unique for every request.
std::string NewRequestId();

// The current UTC time as the header takes it: "2017-12-30T18:25:45.000Z".
std::string UtcTimestampNow();

// "2017-12-30T18:25:45.000Z" gives "20171230182545", the time stamp's part of the signature.
// Throws NavError for a text that is not such a time stamp.
std::string SignatureTime(std::string_view timestamp);

// SHA3-512 (upper case) of the operation followed by the base64 data of one item.
std::string ItemHash(std::string_view operation, std::string_view base64Data);

// The request signature: SHA3-512 (upper case) of request id + SignatureTime(timestamp) +
// signing key + each item's hash, in the order of the items.
std::string RequestSignature(std::string_view requestId, std::string_view timestamp,
                             std::string_view signingKey,
                             const std::vector<std::string>& itemHashes = {});

// What every request carries in its header.
struct TNavRequestHead {
    std::string requestId;
    std::string timestamp;  // UTC, "YYYY-MM-DDThh:mm:ss.sssZ"
};

// One submitted item: its operation (CREATE, MODIFY, STORNO; ANNUL) and its base64 data.
struct TNavItem {
    std::string operation;
    std::string base64Data;
};

std::string TokenExchangeRequest(const TNavCredentials& credentials, const TNavRequestHead& head);
std::string ManageInvoiceRequest(const TNavCredentials& credentials, const TNavRequestHead& head,
                                 const std::string& exchangeToken,
                                 const std::vector<TNavItem>& items);
std::string ManageAnnulmentRequest(const TNavCredentials& credentials, const TNavRequestHead& head,
                                   const std::string& exchangeToken,
                                   const std::vector<TNavItem>& items);
std::string QueryTransactionStatusRequest(const TNavCredentials& credentials,
                                          const TNavRequestHead& head,
                                          const std::string& transactionId,
                                          bool returnOriginalRequest);
// `from` and `to`: UTC time stamps of the insertion dates, at most 35 days apart.
std::string QueryTransactionListRequest(const TNavCredentials& credentials,
                                        const TNavRequestHead& head, int page,
                                        const std::string& from, const std::string& to);

// The `InvoiceAnnulment` document of a technical annulment.
std::string InvoiceAnnulmentXml(const std::string& invoiceNumber, const std::string& timestamp,
                                const std::string& code, const std::string& reason);

// ---------------------------------------------------------------------------------------
// Answers
// ---------------------------------------------------------------------------------------

// The decoded token and how long it stays valid (its validity period as the authority's clock
// tells it; the period counts from the moment the answer arrived).
struct TNavTokenAnswer {
    std::string encodedToken;  // base64, AES-128-ECB with the exchange key
    std::string validFrom;
    std::string validTo;
    long long validSeconds = 0;
};

// One message of the authority about an item.
struct TNavMessage {
    std::string kind;  // ERROR, WARN, INFO (business), or ERROR, CRITICAL (technical)
    bool technical = false;
    std::string code;
    std::string message;
    std::string pointerTag;
    std::string pointerValue;
    std::string pointerLine;
    std::string pointerOriginalInvoiceNumber;
    bool operator==(const TNavMessage&) const = default;
};

// The processing result of one item of a transaction.
struct TNavProcessingResult {
    int index = 0;
    int batchIndex = 0;         // 0: none
    std::string invoiceStatus;  // RECEIVED, PROCESSING, SAVED, DONE, ABORTED
    std::vector<TNavMessage> messages;
    std::optional<std::string> originalRequest;  // base64-decoded, when asked for
    bool compressed = false;
};

struct TNavTransactionStatus {
    std::vector<TNavProcessingResult> results;
    std::string annulmentVerificationStatus;  // technical annulments; empty otherwise
};

struct TNavTransaction {
    std::string insDate;
    std::string transactionId;
    std::string requestStatus;
    bool technicalAnnulment = false;
    int itemCount = 0;
};

struct TNavTransactionList {
    int currentPage = 0;
    int availablePage = 0;
    std::vector<TNavTransaction> transactions;
};

// Each reader takes the HTTP status and body of an answer. An answer with funcCode ERROR (a
// GeneralErrorResponse, a GeneralExceptionResponse) throws NavApiError; a body that is not the
// expected answer throws NavTransportError (`mayHaveArrived` for an HTTP status of 500 or
// more, which a gateway may give after the request reached the authority).
TNavTokenAnswer ReadTokenExchangeAnswer(long status, const std::string& body);
// manageInvoice and manageAnnulment: the transaction id.
std::string ReadTransactionIdAnswer(long status, const std::string& body);
TNavTransactionStatus ReadTransactionStatusAnswer(long status, const std::string& body);
TNavTransactionList ReadTransactionListAnswer(long status, const std::string& body);

// The invoice number of an `InvoiceData` document, or the reference of an
// `InvoiceAnnulment` document; "" when the text is neither.
std::string SubmittedInvoiceNumber(std::string_view xml);

// One line of a message: "WARN\tCODE\tmessage\ttag\tvalue\tline" (pointer fields empty when
// missing; tabs and line breaks inside the texts become blanks).
std::string MessageLine(const TNavMessage& message);

}  // namespace dorvan::nav
