#pragma once
// What the start-up tests share: a scratch installation (executable folder, per-user data
// folder, system folder), a fixed printer list, a recording user interface, outside servers
// that answer at once, and the central information database on the test server.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "config/folders.h"
#include "config/ini_file.h"
#include "config/ini_files.h"
#include "config/main_table.h"
#include "config/printers.h"
#include "config/recording_ui.h"
#include "config/test_env.h"
#include "datamodule/dm.h"
#include "support/loopback_http_server.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

// A loopback address where nobody listens: requests fail at once.
inline std::string DeadUrl() {
    return "http://127.0.0.1:9";
}

// The central information database of the tests: a second database on the test server
// with the table dv_2007_info (one row) or, when `withTable` is false, without it.
inline std::string CreateInfoDatabase(const std::string& suffix, bool withTable,
                                      const std::string& lastVersion = "1.100") {
    const std::string name = DatabaseName() + "_info_" + suffix;
    CreateDatabase(Server(), name, false, false);
    if (withTable) {
        RunScript(Server(), name, ReadFile(std::string(DORVAN_SQL_DIR) + "/info_schema.sql"));
        RunScript(Server(), name, "UPDATE dv_2007_info SET last_version = '" + lastVersion + "'");
    }
    return name;
}

// A scratch installation of the program: the executable folder, the per-machine and system
// folders in a scratch directory, the public-address page at `webUrl`, a reference
// workstation address nobody has, and the central information database `infoDatabase` on
// the test server. The environment is restored when it goes.
class ScratchInstallation {
  public:
    ScratchInstallation(const std::string& webUrl, const std::string& infoDatabase)
        : exeDir_(dir_.Str() + "/exe/"),
          exeEnv_("DORVAN_EXE_DIR", exeDir_),
          dataEnv_("XDG_DATA_HOME", dir_.Str() + "/data"),
          sysEnv_("DORVAN_SYSCONFDIR", dir_.Str() + "/etc"),
          webEnv_("DORVAN_WEB_SERVER", webUrl),
          referenceEnv_("DORVAN_REFERENCE_IP", "192.0.2.10"),
          infoHost_("DORVAN_INFO_HOST", Server().host),
          infoPort_("DORVAN_INFO_PORT", std::to_string(Server().port)),
          infoUser_("DORVAN_INFO_USER", Server().user),
          infoPassword_("DORVAN_INFO_PASSWORD", Server().password),
          infoDatabase_("DORVAN_INFO_DATABASE", infoDatabase) {
        std::filesystem::create_directories(exeDir_);
    }

    // The scratch directory and the executable folder in it (with a trailing "/").
    const ScratchDir& Dir() const { return dir_; }
    const std::string& ExeDir() const { return exeDir_; }

  private:
    ScratchDir dir_;
    std::string exeDir_;
    EnvVar exeEnv_;
    EnvVar dataEnv_;
    EnvVar sysEnv_;
    EnvVar webEnv_;
    EnvVar referenceEnv_;
    EnvVar infoHost_;
    EnvVar infoPort_;
    EnvVar infoUser_;
    EnvVar infoPassword_;
    EnvVar infoDatabase_;
};

class StartupTest : public ::testing::Test {
  protected:
    StartupTest()
        : install_(DeadUrl(), DatabaseName() + "_info_missing"),
          exeDir_(install_.ExeDir()),
          scope_(ui_) {
        Printers::SetProvider([] { return PrinterList{{"Matrix", "PDF"}, "Matrix"}; });
        MainTable() = TMainTable{};
    }
    ~StartupTest() override {
        Printers::SetProvider(nullptr);
        MainTable() = TMainTable{};
    }

    struct DataBaseSection {
        std::string host;
        std::string port;
        std::string database;
        std::string user;
        std::string password;
        std::string protocol = "postgresql-7.3";
    };

    // The [DataBase] section of the test server's database.
    static DataBaseSection TestServerSection() {
        return {Server().host, std::to_string(Server().port), DatabaseName(), Server().user,
                Server().password};
    }

    void WriteMainIni(const DataBaseSection& s) const {
        IniFile ini(exeDir_ + kMainIniName);
        ini.WriteString("DataBase", "Host", s.host);
        ini.WriteString("DataBase", "Port", s.port);
        ini.WriteString("DataBase", "Database", s.database);
        ini.WriteString("DataBase", "User", s.user);
        ini.WriteString("DataBase", "Password", s.password);
        ini.WriteString("DataBase", "Protocol", s.protocol);
    }

    // The record of the settings in use, written by a successful connection.
    IniFile WrittenMainIni() const { return IniFile(GetMachineFolder(exeDir_) + kMainIniName); }

    // A data module with quick connection retries.
    static std::unique_ptr<TDM> NewDm() {
        auto dm = std::make_unique<TDM>();
        dm->ConnectRetry.attempts = 2;
        dm->ConnectRetry.pause = std::chrono::milliseconds(10);
        return dm;
    }

    ScratchInstallation install_;
    std::string exeDir_;
    RecordingUi ui_;
    ScopedUiPort scope_;
};

// A loopback port that accepts connections but never answers; tells whether anybody came.
class WatchedPort {
  public:
    WatchedPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) == 0 && ::listen(fd_, 8) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
            port_ = ntohs(addr.sin_port);
        }
    }
    ~WatchedPort() { ::close(fd_); }
    WatchedPort(const WatchedPort&) = delete;
    WatchedPort& operator=(const WatchedPort&) = delete;

    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    bool Contacted() const {
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0) {
            return false;
        }
        ::close(client);
        return true;
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// The loopback HTTP server of the network tests: "/checkip.php" answers "203.0.113.7\n".
class EchoServer : public LoopbackHttpServer {
  public:
    EchoServer() : LoopbackHttpServer(DORVAN_HTTP_TEST_SERVER) {}
};

}  // namespace dorvan::test
