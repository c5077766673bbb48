#include "nav/nav_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <QString>
#include <QUrl>
#include <cstdlib>

#include "config/config_error.h"
#include "config/folders.h"
#include "config/http_client.h"
#include "config/ini_file.h"
#include "config/lib_strings.h"
#include "nav/nav_crypto.h"
#include "nav/nav_error.h"

namespace dorvan::nav {
namespace {

// "proxy.cfg" of the configuration folder, as the start-up's web requests use it.
ProxySettings ConfiguredProxy() {
    ProxySettings proxy;
    const IniFile cfg(GetConfigFolder() + "proxy.cfg");
    if (!cfg.Exists())
        return proxy;
    const IniDocument ini = cfg.Snapshot();
    proxy.server = ini.ReadString("Config", "Server", "");
    if (proxy.server.empty())
        return proxy;
    proxy.port = StrToIntDef(ini.ReadString("Config", "Port", ""), 0);
    proxy.user = ini.ReadString("Config", "Username", "");
    proxy.password = ini.ReadString("Config", "Password", "");
    proxy.basicAuth = true;
    return proxy;
}

// 127.0.0.0/8, ::1 or "localhost".
bool IsLoopbackHost(const std::string& host) {
    if (host == "localhost")
        return true;
    in_addr v4{};
    if (::inet_pton(AF_INET, host.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    return ::inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

}  // namespace

std::string NavApiUrl() {
    const char* env = std::getenv("DORVAN_NAV_API_URL");
    std::string url = env != nullptr && *env ? env : kNavTestApiUrl;
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    CheckNavApiUrl(url);
    return url;
}

void CheckNavApiUrl(const std::string& url) {
    const QUrl u(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    if (!u.isValid() || u.host().isEmpty() || (scheme != "https" && scheme != "http"))
        throw NavConfigError("DORVAN_NAV_API_URL: nem https:// cím: " + url);
    if (scheme == "http") {
        if (!IsLoopbackHost(u.host().toLower().toStdString()))
            throw NavConfigError(
                "DORVAN_NAV_API_URL: titkosítás nélkül (http://) csak a saját gép (loopback) "
                "címe adható meg: " +
                url);
    }
}

TNavClient::TNavClient(TNavCredentials credentials, std::string baseUrl)
    : credentials_(std::move(credentials)), baseUrl_(std::move(baseUrl)) {}

std::pair<long, std::string> TNavClient::Post(const char* operation, const std::string& body) {
    HttpClient http;
    http.followRedirects = false;
    http.connectTimeoutMs = connectTimeoutMs;
    http.totalTimeoutMs = totalTimeoutMs;
    http.headers = {"Content-Type: application/xml", "Accept: application/xml"};
    try {
        http.proxy = ConfiguredProxy();
    } catch (const ConfigError&) {
        // An unreadable proxy.cfg: straight to the authority.
    }
    try {
        HttpResponse response = http.Post(baseUrl_ + "/" + operation, body);
        return {response.status, std::move(response.body)};
    } catch (const NetworkError& e) {
        throw NavTransportError(
            std::string("Az adóhatóság felülete nem érhető el (") + operation + "): " + e.what(),
            e.RequestSent());
    }
}

TNavToken TNavClient::ExchangeToken() {
    const auto asked = std::chrono::steady_clock::now();
    const TNavRequestHead head{NewRequestId(), UtcTimestampNow()};
    const auto [status, body] = Post("tokenExchange", TokenExchangeRequest(credentials_, head));
    const TNavTokenAnswer answer = ReadTokenExchangeAnswer(status, body);
    TNavToken token;
    try {
        token.value = Aes128EcbDecrypt(credentials_.exchangeKey, Base64Decode(answer.encodedToken));
    } catch (const NavError&) {
        throw NavError("A token nem fejthető vissza a cserekulccsal (ExchangeKey).");
    }
    // The period counts from when it was asked for; a few seconds are kept for the way there.
    const long long margin = answer.validSeconds > 20 ? 10 : answer.validSeconds / 2;
    token.validUntil = asked + std::chrono::seconds(answer.validSeconds - margin);
    return token;
}

std::string TNavClient::ManageInvoice(const TNavRequestHead& head, const TNavToken& token,
                                      const std::vector<TNavItem>& items) {
    if (!token.Valid())
        throw NavError("A token érvényessége lejárt a beküldés előtt.");
    const auto [status, body] =
        Post("manageInvoice", ManageInvoiceRequest(credentials_, head, token.value, items));
    return ReadTransactionIdAnswer(status, body);
}

std::string TNavClient::ManageAnnulment(const TNavRequestHead& head, const TNavToken& token,
                                        const std::vector<TNavItem>& items) {
    if (!token.Valid())
        throw NavError("A token érvényessége lejárt a beküldés előtt.");
    const auto [status, body] =
        Post("manageAnnulment", ManageAnnulmentRequest(credentials_, head, token.value, items));
    return ReadTransactionIdAnswer(status, body);
}

TNavTransactionStatus TNavClient::QueryTransactionStatus(const std::string& transactionId,
                                                         bool returnOriginalRequest) {
    const TNavRequestHead head{NewRequestId(), UtcTimestampNow()};
    const auto [status, body] = Post(
        "queryTransactionStatus",
        QueryTransactionStatusRequest(credentials_, head, transactionId, returnOriginalRequest));
    return ReadTransactionStatusAnswer(status, body);
}

std::vector<TNavTransaction> TNavClient::QueryTransactionList(const std::string& from,
                                                              const std::string& to) {
    std::vector<TNavTransaction> all;
    for (int page = 1;; ++page) {
        const TNavRequestHead head{NewRequestId(), UtcTimestampNow()};
        const auto [status, body] =
            Post("queryTransactionList",
                 QueryTransactionListRequest(credentials_, head, page, from, to));
        TNavTransactionList list = ReadTransactionListAnswer(status, body);
        for (TNavTransaction& t : list.transactions)
            all.push_back(std::move(t));
        if (page >= list.availablePage || page >= 1000)
            break;
    }
    return all;
}

}  // namespace dorvan::nav
