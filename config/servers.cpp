#include "config/servers.h"

#include <cstdlib>

#include "config/lib_strings.h"

namespace dorvan {

namespace {

std::string EnvOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : std::string(fallback);
}

}  // namespace

std::string WebServerUrl() {
    std::string url = EnvOr("DORVAN_WEB_SERVER", "http://www.norvello.hu");
    while (!url.empty() && url.back() == '/') {
        url.pop_back();
    }
    return url;
}

std::string CheckIpUrl() {
    return WebServerUrl() + "/checkip.php";
}

std::string ProxyProbeUrl() {
    return EnvOr("DORVAN_PROXY_PROBE_URL", "http://www.debian.org/");
}

InfoServer CentralInfoServer() {
    InfoServer s;
    s.protocol = "postgresql-8";
    s.host = EnvOr("DORVAN_INFO_HOST", "info.norvello.hu");
    s.port = StrToIntDef(EnvOr("DORVAN_INFO_PORT", "0"), 0);
    s.database = EnvOr("DORVAN_INFO_DATABASE", "Kalvex_Data");
    s.user = EnvOr("DORVAN_INFO_USER", "KalvexUser");
    s.password = EnvOr("DORVAN_INFO_PASSWORD", "w7k2pQRt5");
    return s;
}

std::string ReferenceWorkstationIP() {
    return EnvOr("DORVAN_REFERENCE_IP", "192.0.2.10");
}

}  // namespace dorvan
