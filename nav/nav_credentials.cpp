#include "nav/nav_credentials.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "config/folders.h"
#include "config/ini_file.h"
#include "config/version.h"
#include "nav/nav_error.h"

namespace dorvan::nav {
namespace {

constexpr const char* kSection = "NAV";

bool Matches(const std::string& value, const char* pattern) {
    const QRegularExpression re(QRegularExpression::anchoredPattern(QString::fromLatin1(pattern)));
    return re.match(QString::fromStdString(value)).hasMatch();
}

// Characters, not bytes.
qsizetype Length(const std::string& value) {
    return QString::fromStdString(value).size();
}

bool Blank(const std::string& value) {
    return QString::fromStdString(value).trimmed().isEmpty();
}

}  // namespace

std::string NavCredentialsPath() {
    if (const char* path = std::getenv("DORVAN_NAV_CREDENTIALS"); path != nullptr && *path)
        return path;
    return GetMachineFolder(GetExeFolder()) + "nav.ini";
}

TNavCredentials ParseNavCredentials(std::string_view text, const std::string& path) {
    const IniDocument ini(text);
    const auto fail = [&path](const std::string& what) {
        throw NavConfigError(path + ": " + what);
    };
    const auto read = [&](const char* key, const char* def = nullptr) {
        std::string value = ini.ReadString(kSection, key, def ? def : "");
        if (value.empty() && def == nullptr)
            fail(std::string("hiányzik a [NAV] ") + key + " értéke");
        return value;
    };
    TNavCredentials c;
    c.login = read("Login");
    c.password = read("Password");
    c.signingKey = read("SigningKey");
    c.exchangeKey = read("ExchangeKey");
    c.taxNumber = read("TaxNumber");
    TNavSoftware& s = c.software;
    s.softwareId = read("SoftwareId");
    s.softwareName = read("SoftwareName", "Dorvan");
    s.softwareOperation = read("SoftwareOperation", "LOCAL_SOFTWARE");
    const std::string version = GetFileVersion();
    s.softwareMainVersion = read("SoftwareMainVersion", version.empty() ? "1.0" : version.c_str());
    s.softwareDevName = read("SoftwareDevName");
    s.softwareDevContact = read("SoftwareDevContact");
    s.softwareDevCountryCode = read("SoftwareDevCountryCode", "");
    s.softwareDevTaxNumber = read("SoftwareDevTaxNumber", "");

    if (!Matches(c.login, "[a-zA-Z0-9]{6,15}"))
        fail("a Login 6-15 betű és számjegy");
    if (c.exchangeKey.size() != 16)
        fail("az ExchangeKey nem 16 karakter");
    if (!Matches(c.taxNumber, "[0-9]{8}"))
        fail("a TaxNumber nem az adószám első 8 számjegye");
    if (!Matches(s.softwareId, "[0-9A-Z\\-]{18}"))
        fail("a SoftwareId nem 18 karakter a 0-9, A-Z, - jelekből");
    if (Blank(s.softwareName) || Length(s.softwareName) > 50)
        fail("a SoftwareName üres vagy 50 karakternél hosszabb");
    if (s.softwareOperation != "LOCAL_SOFTWARE" && s.softwareOperation != "ONLINE_SERVICE")
        fail("a SoftwareOperation LOCAL_SOFTWARE vagy ONLINE_SERVICE");
    if (Blank(s.softwareMainVersion) || Length(s.softwareMainVersion) > 15)
        fail("a SoftwareMainVersion üres vagy 15 karakternél hosszabb");
    if (Blank(s.softwareDevName) || Length(s.softwareDevName) > 512)
        fail("a SoftwareDevName üres vagy 512 karakternél hosszabb");
    if (Blank(s.softwareDevContact) || Length(s.softwareDevContact) > 200)
        fail("a SoftwareDevContact üres vagy 200 karakternél hosszabb");
    if (!s.softwareDevCountryCode.empty() && !Matches(s.softwareDevCountryCode, "[A-Z]{2}"))
        fail("a SoftwareDevCountryCode nem kétbetűs országkód");
    if (!s.softwareDevTaxNumber.empty() &&
        (Blank(s.softwareDevTaxNumber) || Length(s.softwareDevTaxNumber) > 50))
        fail("a SoftwareDevTaxNumber 50 karakternél hosszabb");
    return c;
}

TNavCredentials ReadNavCredentials(const std::string& path) {
    // One open file for the checks and the reading, so that what is checked is what is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        throw NavConfigError(path + ": a hozzáférési adatok fájlja nem olvasható (" +
                             std::strerror(errno) + ")");
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw NavConfigError(path + ": a hozzáférési adatok fájlja nem közönséges fájl");
    if ((st.st_mode & (S_IRGRP | S_IROTH)) != 0)
        throw NavConfigError(path +
                             ": a hozzáférési adatokat más felhasználók is olvashatják; "
                             "csak a tulajdonosa olvashassa (chmod 600)");
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw NavConfigError(path + ": a hozzáférési adatok fájlja nem olvasható (" +
                                 std::strerror(errno) + ")");
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > 1 << 20)
            throw NavConfigError(path + ": a hozzáférési adatok fájlja túl nagy");
    }
    return ParseNavCredentials(text, path);
}

}  // namespace dorvan::nav
