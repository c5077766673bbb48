#include "datamodule/core/connect_failure.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

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

std::string DescribeMissingSettings(const std::string& mainIniPath) {
    std::string line =
        "Nem sikerült kapcsolódni az adatbázishoz: nincs beállított adatbázis-kapcsolat "
        "(hiányzó vagy hiányos Dorvan.ini: " +
        mainIniPath + ")";
    const char* exeDir = std::getenv("DORVAN_EXE_DIR");
    std::error_code ec;
    if (exeDir != nullptr && *exeDir != '\0' && !std::filesystem::is_directory(exeDir, ec)) {
        line += "; a DORVAN_EXE_DIR mappája nem létezik: " + std::string(exeDir);
    }
    return line;
}

std::string LocalHostPortNote(const std::string& configuredPort) {
    std::string port = configuredPort;
    while (!port.empty() && port.front() == ' ')
        port.erase(port.begin());
    while (!port.empty() && port.back() == ' ')
        port.pop_back();
    if (port.empty() || port == "0" || port == "5432") {
        return {};
    }
    return "; a Host=localhost mindig az 5432-es portot jelenti, a beállított Port=" + port +
           " ilyenkor nem számít: más porthoz a Host=127.0.0.1 beállítást adja meg";
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
