#pragma once
// Addresses of the outside servers the program talks to. Each is a constant of the program
// that an environment variable can override (tests, private installations):
//   DORVAN_WEB_SERVER      base URL of the maker's web server (address-echo page "/checkip.php")
//   DORVAN_PROXY_PROBE_URL public page probed through the proxy of "proxy.cfg"
//   DORVAN_INFO_HOST, DORVAN_INFO_PORT, DORVAN_INFO_DATABASE, DORVAN_INFO_USER,
//   DORVAN_INFO_PASSWORD   the central information database
//   DORVAN_REFERENCE_IP    public address of the maker's reference workstation

#include <string>

namespace dorvan {

struct InfoServer {
    std::string protocol;
    std::string host;
    int port = 0;  // 0: the client library's default
    std::string database;
    std::string user;
    std::string password;
};

std::string WebServerUrl();  // without trailing "/"
std::string CheckIpUrl();    // WebServerUrl() + "/checkip.php"
std::string ProxyProbeUrl();
InfoServer CentralInfoServer();
std::string ReferenceWorkstationIP();

}  // namespace dorvan
