// The layout of the program's files: beside the executable, or spread as a package installs
// them (<prefix>/bin/ with <prefix>/share/dorvan/, the configuration in the system folder).

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "config/folders.h"
#include "test_env.h"

namespace dorvan {
namespace {

namespace fs = std::filesystem;
using test::EnvVar;
using test::ScratchDir;

TEST(InstalledLayout, DataFolderBesideTheBinFolder) {
    ScratchDir dir;
    const std::string root = dir.Str();
    fs::create_directories(root + "/usr/bin");
    fs::create_directories(root + "/usr/share/dorvan");
    fs::create_directories(root + "/opt/x/bin");
    fs::create_directories(root + "/usr/sbin");
    fs::create_directories(root + "/usr/local/bin");
    fs::create_directories(root + "/usr/local/share/dorvan-other");
    struct Case {
        std::string exeFolder;
        std::string data;  // empty: not an installed layout
    };
    const Case kCases[] = {
        {root + "/usr/bin/", root + "/usr/share/dorvan/"},
        {root + "/usr/bin", root + "/usr/share/dorvan/"},
        {root + "/usr/bin//", root + "/usr/share/dorvan/"},
        {root + "/opt/x/bin/", ""},      // no share/dorvan/ beside it
        {root + "/usr/sbin/", ""},       // not a bin folder
        {root + "/usr/local/bin/", ""},  // another program's data folder only
        {root + "/usr/", ""},
        {"", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.exeFolder);
        EXPECT_EQ(InstalledDataFolder(c.exeFolder), c.data);
    }
}

TEST(InstalledLayout, BuildTreeAndExeDirOverrideArePortable) {
    {
        EnvVar exe("DORVAN_EXE_DIR", std::nullopt);
        ASSERT_EQ(GetFileLayout(), FileLayout::Portable) << GetExeFolder();
        EXPECT_EQ(GetConfigFolder(), GetExeFolder());
        EXPECT_EQ(GetDataFolder(), GetExeFolder());
        EXPECT_EQ(GetOwnFilesFolder(), GetExeFolder());
    }
    ScratchDir dir;
    fs::create_directories(dir.Path() / "usr/share/dorvan");
    EnvVar exe("DORVAN_EXE_DIR", dir.Str() + "/usr/bin");
    EXPECT_EQ(GetFileLayout(), FileLayout::Portable);
    EXPECT_EQ(GetConfigFolder(), dir.Str() + "/usr/bin/");
    EXPECT_EQ(GetDataFolder(), dir.Str() + "/usr/bin/");
}

// Runs the probe program at `exe`: its "name=value" lines.
std::map<std::string, std::string> Probe(const fs::path& exe) {
    const fs::path out = exe.parent_path() / "probe.out";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!std::freopen(out.c_str(), "w", stdout)) {
            ::_exit(127);
        }
        ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::map<std::string, std::string> values;
    const std::string text = test::ReadText(out);
    fs::remove(out);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return values;
}

TEST(InstalledLayout, AnInstalledProgramSpreadsItsFiles) {
    ScratchDir dir;
    const std::string root = dir.Str();
    fs::create_directories(root + "/usr/bin");
    const fs::path exe = root + "/usr/bin/dorvan-probe";
    fs::copy_file(DORVAN_FOLDERS_PROBE, exe);
    EnvVar exeDir("DORVAN_EXE_DIR", std::nullopt);
    EnvVar sys("DORVAN_SYSCONFDIR", root + "/etc/dorvan");
    EnvVar data("XDG_DATA_HOME", root + "/home/data");

    // Without <prefix>/share/dorvan/ the program is a portable one that happens to sit in a
    // bin folder.
    auto folders = Probe(exe);
    EXPECT_EQ(folders["layout"], "portable");
    EXPECT_EQ(folders["config"], root + "/usr/bin/");
    EXPECT_EQ(folders["data"], root + "/usr/bin/");
    EXPECT_EQ(folders["errorlog"], root + "/usr/bin/dorvan-probe.log");

    fs::create_directories(root + "/usr/share/dorvan");
    folders = Probe(exe);
    const std::string machine =
        root + "/home/data/Norvello/Dorvan2007/" + FoldExeFolder(root + "/usr/bin/") + "/";
    EXPECT_EQ(folders["layout"], "installed");
    EXPECT_EQ(folders["exe"], root + "/usr/bin/");
    EXPECT_EQ(folders["config"], root + "/etc/dorvan/");
    EXPECT_EQ(folders["data"], root + "/usr/share/dorvan/");
    EXPECT_EQ(folders["own"], machine);
    EXPECT_EQ(folders["errorlog"], machine + "dorvan-probe.log");

    // DORVAN_EXE_DIR puts everything beside the folder it names again.
    EnvVar over("DORVAN_EXE_DIR", root + "/portable");
    folders = Probe(exe);
    EXPECT_EQ(folders["layout"], "portable");
    EXPECT_EQ(folders["config"], root + "/portable/");
    EXPECT_EQ(folders["data"], root + "/portable/");
}

}  // namespace
}  // namespace dorvan
