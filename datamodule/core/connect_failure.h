#pragma once
// Why the database connection of the start-up could not be made, told in one line.

#include <chrono>
#include <exception>
#include <stdexcept>
#include <string>

namespace dorvan {

enum class ConnectFailureReason {
    WrongPassword,    // the server refused the user name or password
    UnknownDatabase,  // the server has no database of that name
    ServerDown,       // no server answered at that host and port
    BadPort,          // the configured port is not a number
    NoSettings,       // no server configured (missing or empty configuration file)
    Other,            // anything else (writing the configuration, the test query, ...)
};

// How often the start-up tries to connect before it asks (window program) or gives up
// (command line), and how long it waits between two attempts.
struct ConnectRetryPolicy {
    int attempts = 3;
    std::chrono::milliseconds pause{1000};
};

// The reason an attempt failed, read from its error.
ConnectFailureReason ClassifyConnectFailure(const std::exception& error);

// "Nem sikerült kapcsolódni az adatbázishoz (host:port/database): <reason>" with the first
// line of the error's own message in brackets; one line.
std::string DescribeConnectFailure(ConnectFailureReason reason, const std::string& host,
                                   const std::string& port, const std::string& database,
                                   const std::string& detail);

// No server configured: "Nem sikerült kapcsolódni az adatbázishoz: nincs beállított
// adatbázis-kapcsolat (hiányzó vagy hiányos Dorvan.ini: <path>)", naming also a folder of
// $DORVAN_EXE_DIR that does not exist; one line.
std::string DescribeMissingSettings(const std::string& mainIniPath);

// For a failure on "localhost": the program always uses port 5432 there, whatever port the
// configuration names; when it names another one, says so and suggests 127.0.0.1 (text to
// append to the failure line, empty when the configured port is 5432, 0 or missing).
std::string LocalHostPortNote(const std::string& configuredPort);

// The start-up gave up connecting; what() is the one-line description.
class ConnectGiveUp : public std::runtime_error {
  public:
    ConnectGiveUp(ConnectFailureReason reason, const std::string& message)
        : std::runtime_error(message), reason_(reason) {}
    ConnectFailureReason Reason() const { return reason_; }

  private:
    ConnectFailureReason reason_;
};

}  // namespace dorvan
