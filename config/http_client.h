#pragma once
// A small synchronous HTTP client over libcurl: GET or POST with redirects followed, optional
// proxy with basic authentication, time-outs, extra headers, and a callback while it waits (the
// window program lets pending messages through there). TLS peers are always verified.

#include <functional>
#include <string>
#include <vector>

namespace dorvan {

struct ProxySettings {
    std::string server;  // empty: no proxy (proxy variables of the environment are ignored)
    int port = 0;
    std::string user;
    std::string password;
    bool basicAuth = false;
};

struct HttpResponse {
    long status = 0;
    std::string body;
};

class HttpClient {
  public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    ProxySettings proxy;
    bool followRedirects = true;
    long connectTimeoutMs = 5000;
    long totalTimeoutMs = 15000;       // 0: none
    std::vector<std::string> headers;  // "Name: value"
    std::function<void()> whileWaiting;

    // Sends the request; any status is returned. Transport failures throw NetworkError, which
    // tells whether the request had left before the failure.
    HttpResponse Get(const std::string& url);
    // The same with a POST of `body` (its type among `headers`).
    HttpResponse Post(const std::string& url, const std::string& body);

  private:
    HttpResponse Perform(const std::string& url, const std::string* body);
};

}  // namespace dorvan
