// Telling why the start-up could not connect.

#include "datamodule/core/connect_failure.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "config/config_error.h"
#include "db/errors.h"

namespace dorvan {
namespace {

TEST(ConnectFailure, ReasonFromTheError) {
    struct Case {
        const char* name;
        std::shared_ptr<std::exception> error;
        ConnectFailureReason reason;
    };
    const Case cases[] = {
        {"password refused",
         std::make_shared<db::ConnectionFailure>(
             "connection to server at \"127.0.0.1\", port 5433 failed: FATAL:  password "
             "authentication failed for user \"DorUser\"",
             "08001"),
         ConnectFailureReason::WrongPassword},
        {"unknown user",
         std::make_shared<db::ConnectionFailure>(
             "connection to server at \"127.0.0.1\", port 5433 failed: FATAL:  role \"x\" does "
             "not exist",
             "08001"),
         ConnectFailureReason::WrongPassword},
        {"unknown database",
         std::make_shared<db::ConnectionFailure>(
             "connection to server at \"127.0.0.1\", port 5433 failed: FATAL:  database "
             "\"Dorvan_Data\" does not exist",
             "08001"),
         ConnectFailureReason::UnknownDatabase},
        {"refused",
         std::make_shared<db::ConnectionFailure>(
             "connection to server at \"127.0.0.1\", port 9 failed: Connection refused\n\tIs "
             "the server running on that host and accepting TCP/IP connections?",
             "08001"),
         ConnectFailureReason::ServerDown},
        {"unknown host",
         std::make_shared<db::ConnectionFailure>(
             "could not translate host name \"nincs.example\" to address: Name or service not "
             "known",
             "08001"),
         ConnectFailureReason::ServerDown},
        {"server code 28P01", std::make_shared<db::AuthenticationFailure>("refused", "28P01"),
         ConnectFailureReason::WrongPassword},
        {"server code 3D000", std::make_shared<db::UnknownDatabase>("missing", "3D000"),
         ConnectFailureReason::UnknownDatabase},
        {"port text", std::make_shared<ConversionError>("'abc' is not a valid integer value"),
         ConnectFailureReason::BadPort},
        {"test query", std::make_shared<db::SyntaxOrAccessError>("no tulajdonos", "42P01"),
         ConnectFailureReason::Other},
        {"writing the settings", std::make_shared<ConfigError>("cannot write"),
         ConnectFailureReason::Other},
        {"foreign", std::make_shared<std::runtime_error>("?"), ConnectFailureReason::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClassifyConnectFailure(*c.error), c.reason);
    }
}

TEST(ConnectFailure, DescriptionIsOneLine) {
    struct Case {
        ConnectFailureReason reason;
        const char* detail;
        const char* expected;
    };
    static constexpr Case kCases[] = {
        {ConnectFailureReason::WrongPassword, "FATAL: password\nsecond line",
         "Nem sikerült kapcsolódni az adatbázishoz (db.example:5432/Dorvan_Data): hibás "
         "felhasználónév vagy jelszó [FATAL: password]"},
        {ConnectFailureReason::ServerDown, "",
         "Nem sikerült kapcsolódni az adatbázishoz (db.example:5432/Dorvan_Data): az "
         "adatbázis-szerver nem érhető el"},
        {ConnectFailureReason::UnknownDatabase, "x\r\n",
         "Nem sikerült kapcsolódni az adatbázishoz (db.example:5432/Dorvan_Data): nincs ilyen "
         "adatbázis a szerveren [x]"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(DescribeConnectFailure(c.reason, "db.example", "5432", "Dorvan_Data", c.detail),
                  c.expected);
    }
}

}  // namespace
}  // namespace dorvan
