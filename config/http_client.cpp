#include "config/http_client.h"

#include <curl/curl.h>

#include <exception>
#include <memory>
#include <mutex>

#include "config/config_error.h"

namespace dorvan {

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

struct Transfer {
    std::string body;
    const std::function<void()>* whileWaiting = nullptr;
    std::exception_ptr callbackError;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    t->body.append(data, size * count);
    return size * count;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->whileWaiting && *t->whileWaiting) {
        try {
            (*t->whileWaiting)();
        } catch (...) {
            t->callbackError = std::current_exception();
            return 1;  // abort the transfer
        }
    }
    return 0;
}

}  // namespace

HttpClient::HttpClient() {
    GlobalInit();
}
HttpClient::~HttpClient() = default;

HttpResponse HttpClient::Get(const std::string& url) {
    return Perform(url, nullptr);
}

HttpResponse HttpClient::Post(const std::string& url, const std::string& body) {
    return Perform(url, &body);
}

HttpResponse HttpClient::Perform(const std::string& url, const std::string* body) {
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        throw NetworkError("Cannot start the HTTP client");
    }
    CURL* c = curl.get();
    Transfer transfer;
    transfer.whileWaiting = &whileWaiting;
    char errorText[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, followRedirects ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 15L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, totalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Dorvan");
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (body != nullptr) {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    }

    // Only the configured proxy counts: an empty text switches the environment's off, and
    // a configured proxy is used for every host.
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.server.c_str());
    if (!proxy.server.empty()) {
        curl_easy_setopt(c, CURLOPT_NOPROXY, "");
        if (proxy.port > 0) {
            curl_easy_setopt(c, CURLOPT_PROXYPORT, static_cast<long>(proxy.port));
        }
        if (proxy.basicAuth) {
            curl_easy_setopt(c, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
            curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxy.user.c_str());
            curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxy.password.c_str());
        }
    }

    std::unique_ptr<curl_slist, SlistDeleter> headerList;
    for (const auto& h : headers) {
        curl_slist* grown = curl_slist_append(headerList.get(), h.c_str());
        if (!grown) {
            throw NetworkError("Cannot build the request headers");
        }
        (void)headerList.release();
        headerList.reset(grown);
    }
    if (headerList) {
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList.get());
    }

    const CURLcode rc = curl_easy_perform(c);
    if (transfer.callbackError) {
        std::rethrow_exception(transfer.callbackError);
    }
    if (rc != CURLE_OK) {
        // Bytes of a request issued: the request (or a part of it) had left.
        long requestSize = 0;
        curl_easy_getinfo(c, CURLINFO_REQUEST_SIZE, &requestSize);
        throw NetworkError(
            errorText[0] ? std::string(errorText) : std::string(curl_easy_strerror(rc)),
            requestSize > 0);
    }
    HttpResponse response;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    response.body = std::move(transfer.body);
    return response;
}

}  // namespace dorvan
