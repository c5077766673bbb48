#pragma once
// A scratch installation for running dorvan-print (and the console) against the test
// database: the executable folder with its Dorvan.ini, the per-machine folder, the system
// folder, the public-address page answered on loopback and the central information database
// on the test server, so that a successful start-up says nothing.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/ini_file.h"
#include "config/ini_files.h"
#include "config/test_env.h"
#include "datamodule/core/startup_fixture.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

// What a finished process left: exit status, stdout, stderr.
struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;

    // The lines of stderr (without their ends).
    std::vector<std::string> ErrLines() const {
        std::vector<std::string> lines;
        std::string line;
        for (const char c : err) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        return lines;
    }
};

// The environment of one test program: set up once, shared by its tests.
class PrintInstallation {
  public:
    PrintInstallation()
        : install_(echo_.Url(), CreateInfoDatabase("print", true)),
          exeDir_(install_.ExeDir()),
          lptEnv_("DORVAN_LPT1", install_.Dir().Str() + "/no-such-folder/lpt1") {
        WriteMainIni(Server().password);
    }
    ~PrintInstallation() { DropDatabase(Server(), DatabaseName() + "_info_print"); }
    PrintInstallation(const PrintInstallation&) = delete;
    PrintInstallation& operator=(const PrintInstallation&) = delete;

    bool EchoRunning() const { return echo_.Running(); }
    const std::string& ExeDir() const { return exeDir_; }

    // The [DataBase] section of the test server, with the password and database given.
    void WriteMainIni(const std::string& password,
                      const std::string& database = DatabaseName()) const {
        IniFile ini(exeDir_ + kMainIniName);
        ini.WriteString("DataBase", "Host", Server().host);
        ini.WriteString("DataBase", "Port", std::to_string(Server().port));
        ini.WriteString("DataBase", "Database", database);
        ini.WriteString("DataBase", "User", Server().user);
        ini.WriteString("DataBase", "Password", password);
        ini.WriteString("DataBase", "Protocol", "postgresql-8");
    }

  private:
    EchoServer echo_;
    ScratchInstallation install_;
    std::string exeDir_;
    EnvVar lptEnv_;
};

// Runs `program` with `args` in the folder `cwd`; stdout and stderr are collected.
inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& cwd) {
    ProcessResult result;
    const std::filesystem::path out = cwd / ".stdout";
    const std::filesystem::path err = cwd / ".stderr";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(cwd.c_str()) != 0 || !std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen(err.c_str(), "w", stderr)) {
            ::_exit(127);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid) {
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    result.out = ReadText(out);
    result.err = ReadText(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}

// A program started in the background; its stdout and stderr land in files of `cwd`.
class BackgroundProcess {
  public:
    BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& cwd, const std::string& name)
        : out_(cwd / (name + ".out")), err_(cwd / (name + ".err")) {
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::chdir(cwd.c_str()) != 0 || !std::freopen(out_.c_str(), "w", stdout) ||
                !std::freopen(err_.c_str(), "w", stderr))
                ::_exit(127);
            ::alarm(120);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~BackgroundProcess() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    ProcessResult Wait() {
        ProcessResult result;
        int status = 0;
        if (::waitpid(pid_, &status, 0) == pid_)
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        waited_ = true;
        result.out = ReadText(out_);
        result.err = ReadText(err_);
        return result;
    }

  private:
    std::filesystem::path out_;
    std::filesystem::path err_;
    pid_t pid_ = -1;
    bool waited_ = false;
};

#ifdef DORVAN_PRINT
// Tests that run dorvan-print as a process: one installation for the suite, a scratch
// working folder per test.
class PrintProgramTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }
    void SetUp() override { ASSERT_TRUE(installation_->EchoRunning()); }

    ProcessResult Run(const std::vector<std::string>& args) const {
        return RunProcess(DORVAN_PRINT, args, work_.Path());
    }
    std::filesystem::path Work(const std::string& name) const { return work_.Path() / name; }

    inline static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
};
#endif

}  // namespace dorvan::test
