#pragma once
// The global settings record `MainTable`: the configuration files' values (see ini_files.h),
// the printers, colours, network addresses, the signed-in user and the category keys.

#include <array>
#include <string>

namespace dorvan {

struct TMainTable {
    // Printers ([Sales] of the machine file).
    std::string Printer;
    std::string PrinterNyugta;
    std::string PrinterSzamla;
    std::string PrinterBoritek;
    int BoritekHelye = 0;
    int BoritekTalca = 0;
    // Colours as 00BBGGRR integers.
    int Nyomtatvany_sorkiemeles = 0;
    int Bizonylat_sorkiemeles = 0;
    int BizPrint = 0;
    std::string SaveDir;
    // [Sales] TestedVersion of the main file.
    std::string TestedVersion;
    // Version last recorded by the central information service (empty until then).
    std::string LastVersion;
    // Help window ([HelpWin] of the machine file).
    int HelpPosLeft = 0;
    int HelpPosTop = 0;
    int HelpWidth = 0;
    int HelpHeight = 0;
    int HelpMainWidth = 0;
    int HelpMainHeight = 0;
    // Network identity of this computer.
    std::string CurrentIP;
    std::string LocalHostName;
    std::string LocalIP;
    // Server time of the last presence signal (days since 1899-12-30).
    double LastSignTime = 0.0;
    // Identifier of the signed-in user (this console has no sign-in: empty).
    std::string UserID;
    // Database connection ([DataBase] of the main file).
    std::string Host;
    std::string Protocol;
    std::string Database;
    std::string User;
    std::string Password;
    std::string Port;
    // True when the public-address request succeeded.
    bool InternetOK = false;
    // Keys of the "empty" value of the six item categories (index 1..6; 0 unused).
    std::array<int, 7> CategoryKeys{};
};

// The single program-wide record.
TMainTable& MainTable();

// The port number of `Port` for the connection: a number from 1 to 65535. Anything else
// (empty, not decimal digits such as "0x10", 0, negative, too large) throws ConversionError:
// 0 would silently select the client library's default port instead of the configured server.
int ConfiguredPort(const std::string& port);

}  // namespace dorvan
