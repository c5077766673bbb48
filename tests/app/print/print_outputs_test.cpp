// Where the outputs of dorvan-print may lead: device nodes and pipes are written into and
// never replaced, links are replaced rather than followed, nothing waits for ever on a pipe,
// every target is checked against the others before anything is written, and the private
// temporary folder goes also when the program is ended by a signal.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/output_file.h"
#include "config/temp_folder.h"
#include "print_cli_fixture.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool IsFifo(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

bool IsCharDevice(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

void MakeFifo(const fs::path& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << std::strerror(errno);
}

// A device node like the system's null device, made in a test folder; false where this
// process may not make device nodes.
bool MakeNullDevice(const fs::path& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
}

// Reads a pipe to its end on a thread of its own.
class PipeReader {
  public:
    explicit PipeReader(const fs::path& fifo)
        : thread_([this, fifo] {
              const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
              if (fd < 0)
                  return;
              char buffer[4096];
              for (;;) {
                  const ssize_t n = ::read(fd, buffer, sizeof buffer);
                  if (n <= 0)
                      break;
                  bytes_.append(buffer, static_cast<std::size_t>(n));
              }
              ::close(fd);
          }) {}
    ~PipeReader() {
        if (thread_.joinable())
            thread_.join();
    }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;
    // The bytes read once the writer has closed the pipe.
    const std::string& Bytes() {
        thread_.join();
        return bytes_;
    }

  private:
    std::string bytes_;
    std::thread thread_;
};

// A reader that holds the pipe open and never reads, with the smallest pipe buffer.
class StalledReader {
  public:
    explicit StalledReader(const fs::path& fifo)
        : fd_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
        if (fd_ >= 0)
            ::fcntl(fd_, F_SETPIPE_SZ, 4096);
    }
    ~StalledReader() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    StalledReader(const StalledReader&) = delete;
    StalledReader& operator=(const StalledReader&) = delete;
    bool Open() const { return fd_ >= 0; }
    // Bytes waiting in the pipe.
    int Waiting() const {
        int n = 0;
        return ::ioctl(fd_, FIONREAD, &n) == 0 ? n : 0;
    }

  private:
    int fd_;
};

// dorvan-print started in `cwd` (stdout and stderr into files there); it is killed by an
// alarm after a minute in case it hangs.
pid_t Start(const std::vector<std::string>& args, const fs::path& cwd) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(cwd.c_str()) != 0 || !std::freopen(".stdout", "w", stdout) ||
            !std::freopen(".stderr", "w", stderr))
            ::_exit(127);
        ::alarm(60);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(DORVAN_PRINT));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(DORVAN_PRINT, argv.data());
        ::_exit(127);
    }
    return pid;
}

class PrintOutputsTest : public PrintProgramTest {
  protected:
    // Runs dorvan-print to its end (at most a minute) and tells how long it took.
    ProcessResult Timed(const std::vector<std::string>& args, std::chrono::seconds& took) const {
        const auto start = Clock::now();
        const pid_t pid = Start(args, work_.Path());
        int status = 0;
        ProcessResult result;
        if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        took = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start);
        result.out = ReadText(Work(".stdout"));
        result.err = ReadText(Work(".stderr"));
        return result;
    }
};

TEST(OutputTargetTest, WhereATargetLeadsDecidesHowItIsWritten) {
    const ScratchDir dir;
    const fs::path d = dir.Path();
    WriteText(d / "file", "x");
    fs::create_directory(d / "folder");
    MakeFifo(d / "fifo");
    fs::create_symlink(d / "file", d / "link-to-file");
    fs::create_symlink(d / "fifo", d / "link-to-fifo");
    fs::create_symlink(d / "nowhere", d / "dangling");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (d / "socket").string();
    std::strncpy(addr.sun_path, sockPath.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);

    struct Case {
        std::string target;
        bool refused;
        app::OutputKind kind;
        const char* reason;
    };
    const Case cases[] = {
        {(d / "file").string(), false, app::OutputKind::File, ""},
        {(d / "new").string(), false, app::OutputKind::File, ""},
        {(d / "dangling").string(), false, app::OutputKind::File, ""},
        {(d / "link-to-file").string(), false, app::OutputKind::File, ""},
        {(d / "fifo").string(), false, app::OutputKind::Stream, ""},
        {(d / "link-to-fifo").string(), false, app::OutputKind::Stream, ""},
        {"/dev/null", false, app::OutputKind::Stream, ""},
        {"/dev/stdout", false, app::OutputKind::Stream, ""},
        {(d / "folder").string(), true, app::OutputKind::File, "folder"},
        {(d / "socket").string(), true, app::OutputKind::File, "socket"},
        {(d / "no-folder" / "x").string(), true, app::OutputKind::File, "no-folder"},
        {(d / "file" / "x").string(), true, app::OutputKind::File, "file/x"},
        {"/dev/dorvan-no-such-port", true, app::OutputKind::File, "no such device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        if (c.refused) {
            try {
                app::ExamineOutput(c.target);
                ADD_FAILURE() << "not refused";
            } catch (const app::OutputError& e) {
                EXPECT_TRUE(Contains(e.what(), c.reason)) << e.what();
                EXPECT_TRUE(Contains(e.what(), c.target)) << e.what();
            }
        } else {
            EXPECT_EQ(app::ExamineOutput(c.target), c.kind);
        }
    }
    ::close(sock);
    EXPECT_FALSE(fs::exists("/dev/dorvan-no-such-port"));
}

TEST(OutputTargetTest, PipesAreWrittenIntoWithoutWaitingForEver) {
    const ScratchDir dir;
    const RunTempFolder scratch;
    const fs::path fifo = dir.Path() / "fifo";
    MakeFifo(fifo);

    // Nobody reads: an error at once, not a hang.
    const auto start = Clock::now();
    try {
        app::WriteOutputBytes(fifo.string(), scratch, "bytes");
        ADD_FAILURE() << "a pipe nobody reads took the output";
    } catch (const app::OutputError& e) {
        EXPECT_TRUE(Contains(e.what(), "no program reads the pipe")) << e.what();
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    // A reader gets every byte; the pipe stays a pipe.
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += static_cast<char>('a' + i % 26);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    PipeReader reader(fifo);
    for (;;) {
        try {
            app::WriteOutputBytes(fifo.string(), scratch, bytes);
            break;
        } catch (const app::OutputError&) {
            // The reader has not opened its end yet.
            ASSERT_LT(Clock::now(), deadline);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    EXPECT_EQ(reader.Bytes(), bytes);
    EXPECT_TRUE(IsFifo(fifo));
}

TEST(OutputTargetTest, LinksAreReplacedNotFollowed) {
    const ScratchDir dir;
    const RunTempFolder scratch;
    const fs::path victim = dir.Path() / "victim";
    WriteText(victim, "keep");
    const fs::path link = dir.Path() / "link";
    fs::create_symlink(victim, link);
    app::WriteOutputBytes(link.string(), scratch, "new");
    EXPECT_EQ(ReadText(victim), "keep");
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(link), "new");
}

TEST_F(PrintOutputsTest, NavXmlOntoADeviceNodeLeavesItADevice) {
    const fs::path node = Work("null-device");
    if (!MakeNullDevice(node))
        GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
    std::chrono::seconds took{};
    const ProcessResult run = Timed({"--key", "4318", "--nav-xml", node.string()}, took);
    EXPECT_TRUE(IsCharDevice(node)) << "the device node was replaced";
    const int fd = ::open(node.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
    } else {
        // A file system that refuses device nodes: refused in one line, still a device.
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.ErrLines().size(), 1u) << run.err;
    }
    // The same for the other ways out.
    for (const char* option : {"--text", "--pdf", "--port"}) {
        SCOPED_TRACE(option);
        const ProcessResult other = Timed({"--key", "4318", option, node.string()}, took);
        EXPECT_TRUE(IsCharDevice(node));
        if (fd >= 0) {
            EXPECT_EQ(other.status, 0) << other.err;
        }
    }
}

TEST_F(PrintOutputsTest, LinksAreReplacedForEveryWayOut) {
    struct Case {
        const char* option;
        const char* file;
        const char* starts;
    };
    const Case cases[] = {
        {"--text", "out.txt", ""},
        {"--pdf", "out.pdf", "%PDF"},
        {"--nav-xml", "out.xml", "<?xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        const fs::path victim = Work(std::string("victim-") + c.file);
        WriteText(victim, "keep");
        fs::remove(Work(c.file));
        fs::create_symlink(victim, Work(c.file));
        std::chrono::seconds took{};
        const ProcessResult run = Timed({"--key", "4318", c.option, c.file}, took);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadText(victim), "keep");
        EXPECT_FALSE(fs::is_symlink(Work(c.file)));
        EXPECT_EQ(ReadText(Work(c.file)).rfind(c.starts, 0), 0u);
    }
}

TEST_F(PrintOutputsTest, OutputsAreCheckedAgainstEachOtherBeforeAnythingIsWritten) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> untouched;
        const char* reason;
    };
    const Case cases[] = {
        {"text and invoice data the same file",
         {"--key", "4318", "--text", "same", "--nav-xml", "same"},
         {"same"},
         "same file"},
        {"text and pdf the same, invoice data apart",
         {"--key", "4318", "--text", "a", "--pdf", "a", "--nav-xml", "n.xml"},
         {"a", "n.xml"},
         "same file"},
        {"invoice data onto the port",
         {"--key", "4318", "--nav-xml", "p", "--text", "t.txt", "--port", "p"},
         {"p", "t.txt"},
         "same file"},
        {"invoice data through a link to the text",
         {"--key", "4318", "--text", "a", "--nav-xml", "link-to-a"},
         {"a", "link-to-a"},
         "same file"},
        {"the last output unwritable",
         {"--key", "4318", "--nav-xml", "n.xml", "--text", "t.txt", "--pdf", "folder"},
         {"n.xml", "t.txt"},
         "folder"},
    };
    fs::create_directory(Work("folder"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"same", "a", "n.xml", "p", "t.txt"})
            fs::remove(Work(name));
        fs::remove(Work("link-to-a"));
        WriteText(Work("a"), "earlier");
        fs::create_symlink(Work("a"), Work("link-to-a"));
        std::chrono::seconds took{};
        const ProcessResult run = Timed(c.args, took);
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
        EXPECT_TRUE(Contains(run.err, c.reason)) << run.err;
        for (const std::string& name : c.untouched) {
            if (name == "a" || name == "link-to-a")
                EXPECT_EQ(ReadText(Work(name)), "earlier") << name;
            else
                EXPECT_FALSE(fs::exists(Work(name))) << name;
        }
    }
}

TEST_F(PrintOutputsTest, NavXmlIntoStandardOutputThatIsAPipe) {
    // The shell's pipe: /dev/stdout is written into, not replaced.
    const ProcessResult run = RunProcess(
        "/bin/bash",
        {"-c", "set -o pipefail; \"$0\" --key 4318 --nav-xml /dev/stdout | cat > piped.xml",
         DORVAN_PRINT},
        work_.Path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string xml = ReadText(Work("piped.xml"));
    EXPECT_EQ(xml.rfind("<?xml", 0), 0u) << xml.substr(0, 200);
    EXPECT_TRUE(Contains(xml, "SZ2026/0000003"));
}

TEST_F(PrintOutputsTest, PipesNobodyReadsEndWithinSeconds) {
    const fs::path fifo = Work("fifo");
    MakeFifo(fifo);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::optional<std::string> lpt1;
        int status;
    };
    const Case cases[] = {
        {"named port", {"--port", fifo.string()}, std::nullopt, 1},
        {"default port fails silently", {}, fifo.string(), 0},
        {"text", {"--text", fifo.string()}, std::nullopt, 1},
        {"pdf", {"--pdf", fifo.string()}, std::nullopt, 1},
        {"invoice data", {"--key", "4318", "--nav-xml", fifo.string()}, std::nullopt, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(Work("racun.txt"));
        const EnvVar lpt1("DORVAN_LPT1", c.lpt1.value_or(Work("no-port").string()));
        std::chrono::seconds took{};
        const ProcessResult run = Timed(c.args, took);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_LT(took.count(), 20);
        if (c.status == 0) {
            EXPECT_EQ(run.err, "");
            EXPECT_TRUE(fs::exists(Work("racun.txt")));
        } else {
            ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
            EXPECT_TRUE(Contains(run.err, "fifo")) << run.err;
        }
        EXPECT_TRUE(IsFifo(fifo));
    }
}

TEST_F(PrintOutputsTest, AReadingPipeGetsTheWholeOutput) {
    ASSERT_EQ(Run({"--key", "4320", "--text", "file.txt"}).status, 0);
    const fs::path fifo = Work("fifo");
    MakeFifo(fifo);
    PipeReader reader(fifo);
    std::chrono::seconds took{};
    const ProcessResult run = Timed({"--key", "4320", "--text", fifo.string()}, took);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(reader.Bytes(), ReadText(Work("file.txt")));
    EXPECT_TRUE(IsFifo(fifo));
}

TEST_F(PrintOutputsTest, APipeThatTakesNoDataIsGivenUp) {
    const fs::path fifo = Work("fifo");
    MakeFifo(fifo);
    const StalledReader reader(fifo);
    ASSERT_TRUE(reader.Open());
    std::chrono::seconds took{};
    const ProcessResult run = Timed({"--key", "4320", "--pdf", fifo.string()}, took);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.ErrLines().size(), 1u) << run.err;
    EXPECT_TRUE(Contains(run.err, "took no data")) << run.err;
    EXPECT_GE(took, app::kStreamStall - std::chrono::seconds(1));
    EXPECT_LT(took, app::kStreamStall + std::chrono::seconds(20));
    EXPECT_TRUE(IsFifo(fifo));
}

TEST_F(PrintOutputsTest, EndingSignalsRemoveThePrivateTemporaryFolder) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(::strsignal(signal));
        const ScratchDir tmp;
        const EnvVar tmpdir("TMPDIR", tmp.Path().string());
        const fs::path fifo = Work("fifo");
        fs::remove(fifo);
        MakeFifo(fifo);
        const StalledReader reader(fifo);
        ASSERT_TRUE(reader.Open());
        const pid_t pid = Start({"--key", "4320", "--pdf", fifo.string()}, work_.Path());
        ASSERT_GT(pid, 0);
        // The PDF is made in the private folder and stuck in the pipe.
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (reader.Waiting() == 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_GT(reader.Waiting(), 0) << "the output never reached the pipe";
        bool made = false;
        for (const auto& entry : fs::directory_iterator(tmp.Path()))
            made = made || entry.path().filename().string().rfind("dorvan-print.", 0) == 0;
        EXPECT_TRUE(made);

        ASSERT_EQ(::kill(pid, signal), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(tmp.Path()))
            if (entry.path().filename().string().rfind("dorvan-print", 0) == 0)
                left.push_back(entry.path().filename().string());
        EXPECT_TRUE(left.empty()) << left.front();
    }
}

}  // namespace
}  // namespace dorvan::test
