#pragma once
// The technical user's credentials and the software block of every request, read from the
// credentials file: $DORVAN_NAV_CREDENTIALS, else "nav.ini" in the per-machine folder.
//
//   [NAV]
//   Login=...              the technical user's login (6-15 letters and digits)
//   Password=...           its password (sent only as its SHA-512 hash)
//   SigningKey=...         the signing key (request signatures)
//   ExchangeKey=...        the exchange key (16 characters, decrypts the data reporting token)
//   TaxNumber=12345678     the taxpayer's first eight digits
//   SoftwareId=...         18 characters of 0-9, A-Z and "-"
//   SoftwareName=...       default "Dorvan"
//   SoftwareOperation=...  LOCAL_SOFTWARE (default) or ONLINE_SERVICE
//   SoftwareMainVersion=.. default the program's version
//   SoftwareDevName=..., SoftwareDevContact=...            the developer and its e-mail address
//   SoftwareDevCountryCode=HU, SoftwareDevTaxNumber=...     optional
//
// A file that other users may read (any read permission for its group or for others) is
// refused: it holds the password and both keys.

#include <string>
#include <string_view>

namespace dorvan::nav {

// The invoicing software, as the authority records it.
struct TNavSoftware {
    std::string softwareId;
    std::string softwareName;
    std::string softwareOperation;
    std::string softwareMainVersion;
    std::string softwareDevName;
    std::string softwareDevContact;
    std::string softwareDevCountryCode;  // empty: not sent
    std::string softwareDevTaxNumber;    // empty: not sent
};

struct TNavCredentials {
    std::string login;
    std::string password;
    std::string signingKey;
    std::string exchangeKey;
    std::string taxNumber;
    TNavSoftware software;
};

// $DORVAN_NAV_CREDENTIALS when set, else <per-machine folder>nav.ini.
std::string NavCredentialsPath();

// Reads and checks the credentials file. Throws NavConfigError, one line naming the file and
// what is wrong (never a secret's value): missing or unreadable, readable by other users, a
// missing key or a value the authority does not take.
TNavCredentials ReadNavCredentials(const std::string& path);

// The same from the text of a file (the checks of the values only).
TNavCredentials ParseNavCredentials(std::string_view text, const std::string& path);

}  // namespace dorvan::nav
