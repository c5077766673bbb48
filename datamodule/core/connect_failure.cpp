#include "datamodule/core/connect_failure.h"

#include "config/config_error.h"
#include "db/errors.h"

namespace dorvan {

namespace {

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
    if (dynamic_cast<const db::AuthenticationFailure*>(&error) != nullptr) {
        return ConnectFailureReason::WrongPassword;
    }
    if (dynamic_cast<const db::UnknownDatabase*>(&error) != nullptr) {
        return ConnectFailureReason::UnknownDatabase;
    }
    if (dynamic_cast<const db::ConnectionFailure*>(&error) == nullptr) {
        return ConnectFailureReason::Other;
    }
    // A failure raised before the error types were known: the dataset layer types it from
    // its message.
    try {
        db::ThrowConnectError(error.what(), dbError->SqlState());
    } catch (const db::AuthenticationFailure&) {
        return ConnectFailureReason::WrongPassword;
    } catch (const db::UnknownDatabase&) {
        return ConnectFailureReason::UnknownDatabase;
    } catch (const db::ConnectionFailure&) {
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
