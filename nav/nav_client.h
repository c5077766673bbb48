#pragma once
// The authority's interface over HTTPS (libcurl through config/http_client): each operation
// builds its request (nav_api.h), posts it to <base URL>/<operation> and reads the answer.
// Answers with funcCode ERROR throw NavApiError; no usable answer throws NavTransportError.

#include <chrono>
#include <string>
#include <vector>

#include "nav/nav_api.h"
#include "nav/nav_credentials.h"

namespace dorvan::nav {

inline constexpr const char* kNavTestApiUrl =
    "https://api-test.onlineszamla.nav.gov.hu/invoiceService/v3";
inline constexpr const char* kNavProductionApiUrl =
    "https://api.onlineszamla.nav.gov.hu/invoiceService/v3";

// The base address: $DORVAN_NAV_API_URL, else the authority's test environment (the
// production address only when named there). Checked as CheckNavApiUrl does.
std::string NavApiUrl();

// Throws NavConfigError (naming DORVAN_NAV_API_URL) unless the address is https://, or plain
// http:// to a loopback address (127.0.0.0/8, ::1, localhost).
void CheckNavApiUrl(const std::string& url);

// A decoded data reporting token, for one submission within its validity.
struct TNavToken {
    std::string value;
    std::chrono::steady_clock::time_point validUntil;
    bool Valid() const { return std::chrono::steady_clock::now() < validUntil; }
};

class TNavClient {
  public:
    TNavClient(TNavCredentials credentials, std::string baseUrl);

    const TNavCredentials& Credentials() const { return credentials_; }

    long connectTimeoutMs = 10000;
    // The authority's absolute time-out is 60 seconds.
    long totalTimeoutMs = 65000;

    // A new token, decrypted with the exchange key; valid until a few seconds before the end
    // of the period the authority gives.
    TNavToken ExchangeToken();
    // The transaction id of a submission. Throws NavError without sending anything when the
    // token is no longer valid.
    std::string ManageInvoice(const TNavRequestHead& head, const TNavToken& token,
                              const std::vector<TNavItem>& items);
    std::string ManageAnnulment(const TNavRequestHead& head, const TNavToken& token,
                                const std::vector<TNavItem>& items);
    TNavTransactionStatus QueryTransactionStatus(const std::string& transactionId,
                                                 bool returnOriginalRequest);
    // Every page of the list between two UTC time stamps.
    std::vector<TNavTransaction> QueryTransactionList(const std::string& from,
                                                      const std::string& to);

  private:
    // HTTP status and body of a POST to the operation.
    std::pair<long, std::string> Post(const char* operation, const std::string& body);

    TNavCredentials credentials_;
    std::string baseUrl_;
};

}  // namespace dorvan::nav
