#include "datamodule/core/connect_failure.h"

#include "config/config_error.h"
#include "datamodule/support/service_support.h"
#include "db/errors.h"

namespace dorvan {

namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

const char* ReasonText(ConnectFailureReason reason) {
    switch (reason) {
        case ConnectFailureReason::WrongPassword:
            return "hibás felhasználónév vagy jelszó";
        case ConnectFailureReason::UnknownDatabase:
            return "nincs ilyen adatbázis a szerveren";
        case ConnectFailureReason::ServerDown:
            return "az adatbázis-szerver nem érhető el";
        case ConnectFailureReason::BadPort:
            return "a megadott port nem szám";
        case ConnectFailureReason::NoSettings:
            return "nincs beállított adatbázis-kapcsolat (hiányzó vagy hiányos Dorvan.ini)";
        case ConnectFailureReason::Other:
            break;
    }
    return "hiba a kapcsolat ellenőrzésekor";
}

}  // namespace

ConnectFailureReason ClassifyConnectFailure(const std::exception& error) {
    if (dynamic_cast<const ConversionError*>(&error) != nullptr) {
        return ConnectFailureReason::BadPort;
    }
    const auto* dbError = dynamic_cast<const db::DbError*>(&error);
    if (dbError == nullptr) {
        return ConnectFailureReason::Other;
    }
    const std::string& state = dbError->SqlState();
    if (state == "28P01" || state == "28000") {
        return ConnectFailureReason::WrongPassword;
    }
    if (state == "3D000") {
        return ConnectFailureReason::UnknownDatabase;
    }
    if (dynamic_cast<const db::ConnectionFailure*>(&error) == nullptr) {
        return ConnectFailureReason::Other;
    }
    // A failed connection carries no server code; the client library's text tells.
    const std::string text = AsciiLower(error.what());
    if (Contains(text, "password authentication failed") ||
        Contains(text, "no password supplied") || Contains(text, "authentication failed") ||
        Contains(text, "no pg_hba.conf entry") || Contains(text, "role \"")) {
        return ConnectFailureReason::WrongPassword;
    }
    if (Contains(text, "database \"") && Contains(text, "does not exist")) {
        return ConnectFailureReason::UnknownDatabase;
    }
    return ConnectFailureReason::ServerDown;
}

std::string DescribeConnectFailure(ConnectFailureReason reason, const std::string& host,
                                   const std::string& port, const std::string& database,
                                   const std::string& detail) {
    std::string line = "Nem sikerült kapcsolódni az adatbázishoz (" + host + ":" + port + "/" +
                       database + "): " + ReasonText(reason);
    const std::string first = FirstLine(detail);
    if (!first.empty()) {
        line += " [" + first + "]";
    }
    return line;
}

}  // namespace dorvan
