// --help and --version of the three programs, and the console on a machine without a display:
// answered before anything starts (no configuration read, no database, no window system).

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/test_env.h"
#include "config/version.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `program` with `args` in `dir` with the current environment; stdout and stderr
// collected.
Outcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                   const fs::path& dir) {
    const fs::path out = dir / "stdout";
    const fs::path err = dir / "stderr";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.c_str()) != 0 || !std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen(err.c_str(), "w", stderr)) {
            ::_exit(127);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    Outcome o;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
        o.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    o.out = ReadText(out);
    o.err = ReadText(err);
    return o;
}

// A machine without a display whose configuration names a database nobody serves: a program
// that started anything would hang, fail or write its settings into the per-machine folder.
class ProgramInfoTest : public ::testing::Test {
  protected:
    ProgramInfoTest() {
        WriteText(dir_.Path() / "exe" / "Dorvan.ini",
                  "[DataBase]\nHost=192.0.2.1\nPort=9\nDatabase=nope\n");
    }
    // Nothing was written into the per-user data folder (the per-machine folder's files).
    bool NothingWritten() const { return !fs::exists(dir_.Path() / "data" / "Norvello"); }

    ScratchDir dir_;
    EnvVar exe_{"DORVAN_EXE_DIR", dir_.Str() + "/exe"};
    EnvVar data_{"XDG_DATA_HOME", dir_.Str() + "/data"};
    EnvVar sys_{"DORVAN_SYSCONFDIR", dir_.Str() + "/etc"};
    EnvVar display_{"DISPLAY", std::nullopt};
    EnvVar wayland_{"WAYLAND_DISPLAY", std::nullopt};
    EnvVar platform_{"QT_QPA_PLATFORM", std::nullopt};
};

TEST_F(ProgramInfoTest, HelpAndVersionWithoutDisplayOrDatabase) {
    struct Case {
        const char* program;
        const char* name;
    };
    const Case kCases[] = {
        {DORVAN_CONSOLE, "dorvan-console"},
        {DORVAN_PRINT, "dorvan-print"},
        {DORVAN_CLI, "dorvan-cli"},
    };
    ASSERT_FALSE(GetFileVersion().empty());
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Outcome version = RunProgram(c.program, {"--version"}, dir_.Path());
        EXPECT_EQ(version.status, 0) << version.err;
        EXPECT_EQ(version.out, std::string(c.name) + " " + GetFileVersion() + "\n");
        EXPECT_EQ(version.err, "");

        for (const char* help : {"--help", "-h"}) {
            SCOPED_TRACE(help);
            const Outcome o = RunProgram(c.program, {help}, dir_.Path());
            EXPECT_EQ(o.status, 0) << o.err;
            EXPECT_EQ(o.out.rfind(std::string("Usage: ") + c.name, 0), 0u) << o.out;
            EXPECT_TRUE(Contains(o.out, "--version")) << o.out;
            EXPECT_TRUE(Contains(o.out, "/etc/dorvan/Dorvan.ini")) << o.out;
            EXPECT_EQ(o.err, "");
        }
        EXPECT_TRUE(NothingWritten());
    }
}

TEST_F(ProgramInfoTest, ConsoleWithoutDisplayEndsWithOneLine) {
    struct Case {
        const char* what;
        std::optional<std::string> display;
        std::vector<std::string> args;
        const char* start;  // of the line
    };
    const Case kCases[] = {
        {"no display at all", std::nullopt, {}, "dorvan-console: no display"},
        {"an empty DISPLAY", "", {}, "dorvan-console: no display"},
        {"a display nobody serves", ":9999", {}, "dorvan-console: cannot start the window system"},
        {"a platform that does not exist",
         std::nullopt,
         {"-platform", "no-such-platform"},
         "dorvan-console: cannot start the window system"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        EnvVar display("DISPLAY", c.display);
        const Outcome o = RunProgram(DORVAN_CONSOLE, c.args, dir_.Path());
        EXPECT_EQ(o.status, 1) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err.rfind(c.start, 0), 0u) << o.err;
        ASSERT_FALSE(o.err.empty());
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << "one line: " << o.err;
        EXPECT_TRUE(NothingWritten());
    }
}

}  // namespace
}  // namespace dorvan::test
