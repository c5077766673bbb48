#include "config/network.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "config/config_error.h"
#include "config/folders.h"
#include "config/ini_file.h"
#include "config/lib_strings.h"
#include "config/main_table.h"
#include "config/servers.h"
#include "config/ui_port.h"

namespace dorvan {

std::string ExternalIPFromBody(const std::string& body) {
    if (body.empty()) {
        return {};
    }
    return TrimBlanks(std::string_view(body).substr(0, body.size() - 1));
}

std::string GetExternalIP() {
    std::string body;
    HttpClient client;
    client.followRedirects = true;
    // Bounded, so that a computer without network does not hold up the start-up.
    client.connectTimeoutMs = 3000;
    client.totalTimeoutMs = 8000;
    try {
        SetupProxy(client);
        const HttpResponse response = client.Get(CheckIpUrl());
        if (response.status < 200 || response.status > 299) {
            throw NetworkError("HTTP/1.1 " + std::to_string(response.status));
        }
        body = response.body;
        MainTable().InternetOK = true;
    } catch (const std::exception&) {
        MainTable().InternetOK = false;
        body.clear();
    }
    return ExternalIPFromBody(body);
}

void SetupProxy(HttpClient& client) {
    const IniFile cfg(GetConfigFolder() + "proxy.cfg");
    if (!cfg.Exists()) {
        return;
    }
    const std::string server = cfg.ReadString("Config", "Server", "");
    const std::string port = cfg.ReadString("Config", "Port", "");
    const std::string user = cfg.ReadString("Config", "Username", "");
    const std::string password = cfg.ReadString("Config", "Password", "");
    if (server.empty()) {
        return;
    }
    if (TestProxyConnection(ProxyProbeUrl(), server, port, user, password)) {
        client.proxy.basicAuth = true;
        client.proxy.password = password;
        client.proxy.port = StrToIntDef(port, 0);
        client.proxy.server = server;
        client.proxy.user = user;
    } else {
        Ui().ShowMessage(kApplicationTitle, "Hibás beállítás a proxy.cfg fájlban!",
                         MessageIcon::Information);
    }
}

bool TestProxyConnection(const std::string& url, const std::string& server, const std::string& port,
                         const std::string& user, const std::string& password) {
    try {
        HttpClient client;
        client.proxy.server = server;
        client.proxy.port = StrToIntDef(port, 0);
        client.proxy.basicAuth = true;
        client.proxy.user = user;
        client.proxy.password = password;
        client.followRedirects = true;
        client.connectTimeoutMs = 1000;
        client.totalTimeoutMs = 10000;
        client.headers = {"Connection: close"};
        client.whileWaiting = [] { Ui().ProcessMessages(); };
        return client.Get(url).status == 200;
    } catch (const NetworkError&) {
        return false;
    } catch (const std::exception& e) {
        Ui().ShowMessage(kApplicationTitle, std::string("Exception: ") + e.what(),
                         MessageIcon::Error);
        return false;
    }
}

bool GetLocalHostAndIP(std::string& hostName, std::string& address, std::string& errorText) {
    address.clear();
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        errorText = std::strerror(errno);
        return false;
    }
    hostName = name;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0 || !found) {
        return true;  // an unresolvable name: no address, still a success
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) {
        address = text;
    }
    ::freeaddrinfo(found);
    return true;
}

}  // namespace dorvan
