#pragma once
// The computer's network identity and the web requests of the start-up.

#include <string>

#include "config/http_client.h"

namespace dorvan {

// Asks the maker's address-echo page (CheckIpUrl()) for this computer's public address; sets
// MainTable().InternetOK. Result: the answer without its last character, trimmed of blanks
// and control characters; empty when the request failed.
std::string GetExternalIP();

// Applies "proxy.cfg" of the executable folder ([Config] Server, Port, Username, Password) to
// the client when its proxy answers the probe; otherwise says so and leaves the client alone.
void SetupProxy(HttpClient& client);

// True when `url` answers with status 200 through the proxy `server`:`port` (basic
// authentication). Lets pending messages through while waiting. Network failures give false;
// any other failure is shown ("Exception: " + message) and gives false.
bool TestProxyConnection(const std::string& url, const std::string& server, const std::string& port,
                         const std::string& user, const std::string& password);

// Host name and first IPv4 address of this computer. False (with `errorText`) when the host
// name cannot be had; an unresolvable name leaves the address empty and still succeeds.
bool GetLocalHostAndIP(std::string& hostName, std::string& address, std::string& errorText);

// Body of an address-echo answer: last character dropped, blanks and control characters
// trimmed ("1.2.3.4\n" gives "1.2.3.4").
std::string ExternalIPFromBody(const std::string& body);

}  // namespace dorvan
