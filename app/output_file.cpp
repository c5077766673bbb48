#include "app/output_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "config/temp_folder.h"

namespace dorvan::app {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Reason(int error = errno) {
    return std::strerror(error);
}

[[noreturn]] void Fail(const std::string& target, const std::string& reason) {
    throw OutputError("cannot write " + target + ": " + reason);
}

// A file descriptor closed when the scope ends.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    // Closes now; the close's error number, 0 when it succeeded.
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

// A temporary file made by mkstemp from `pattern` (ending in "XXXXXX"); removed unless kept.
class TempFile {
  public:
    explicit TempFile(const std::string& pattern, const std::string& target) {
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
        if (fd < 0)
            Fail(target, Reason());
        path_ = buffer.data();
        // The finished file gets the rights of a file the program creates.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        ::close(fd);
    }
    ~TempFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return path_; }
    void Keep() { path_.clear(); }

  private:
    std::string path_;
};

// Names below these folders belong to the system: written into, never created or replaced.
bool BelowSystemFolder(const std::string& target) {
    std::error_code ignored;
    const std::string path = fs::absolute(target, ignored).lexically_normal().string();
    return path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0;
}

// Writes all of `data` into a descriptor opened without waiting: a device or pipe that takes
// nothing for kStreamStall ends the output.
void WriteStream(int fd, const char* data, std::size_t size, const std::string& target) {
    auto lastProgress = Clock::now();
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            lastProgress = Clock::now();
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            if (errno == EPIPE)
                Fail(target, "the reading program closed the pipe");
            Fail(target, Reason());
        }
        const auto waited = Clock::now() - lastProgress;
        if (waited >= kStreamStall)
            Fail(target,
                 "it took no data for " + std::to_string(kStreamStall.count()) + " seconds");
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(kStreamStall - waited);
        pollfd ready{fd, POLLOUT, 0};
        if (::poll(&ready, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            Fail(target, Reason());
    }
}

// Opens an existing device, pipe or system name for writing without waiting for a reader.
int OpenStream(const std::string& target) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat st {};
        if (error == ENXIO && ::stat(target.c_str(), &st) == 0 && S_ISFIFO(st.st_mode))
            Fail(target, "no program reads the pipe");
        if (error == ENOENT)
            Fail(target, "no such device");
        Fail(target, Reason(error));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        Fail(target, Reason(error));
    }
    if (S_ISREG(st.st_mode)) {
        // A system name such as /dev/stdout leading to a file: written over from its start.
        if (::ftruncate(fd, 0) != 0) {
            const int error = errno;
            ::close(fd);
            Fail(target, Reason(error));
        }
    } else if (!S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode)) {
        ::close(fd);
        Fail(target, "not a device or pipe");
    }
    return fd;
}

// Copies the finished file `source` into an opened descriptor.
void CopyInto(const std::string& source, int out, const std::string& target, bool stream) {
    const Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        throw OutputError("cannot read " + source + ": " + Reason());
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw OutputError("cannot read " + source + ": " + Reason());
        if (got == 0)
            return;
        if (stream) {
            WriteStream(out, buffer.data(), static_cast<std::size_t>(got), target);
            continue;
        }
        const char* data = buffer.data();
        std::size_t size = static_cast<std::size_t>(got);
        while (size > 0) {
            const ssize_t written = ::write(out, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                Fail(target, Reason());
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }
}

void StreamCopy(const std::string& source, const std::string& target) {
    Fd out(OpenStream(target));
    CopyInto(source, out.Get(), target, true);
    if (const int error = out.Close(); error != 0)
        Fail(target, Reason(error));
}

void Produce(const std::string& path, const std::string& target,
             const std::function<void(const std::string&)>& produce,
             const std::function<bool(const std::string&)>& complete) {
    try {
        produce(path);
    } catch (const OutputError&) {
        throw;
    } catch (const std::exception& e) {
        Fail(target, e.what());
    }
    if (complete && !complete(path))
        Fail(target, "the output is incomplete");
}

// Flushes the finished temporary file to disk; a late write error shows here.
void SyncFile(const std::string& path, const std::string& target) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        Fail(target, Reason());
    const int synced = ::fsync(fd.Get()) == 0 ? 0 : errno;
    const int closed = fd.Close();
    if (synced != 0 || closed != 0)
        Fail(target, Reason(synced != 0 ? synced : closed));
}

// The temporary file beside `target` that becomes it.
std::string BesidePattern(const std::string& target) {
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    return (folder / ("." + path.filename().string() + ".XXXXXX")).string();
}

void RenameInto(TempFile& temp, const std::string& target) {
    SyncFile(temp.Path(), target);
    if (::rename(temp.Path().c_str(), target.c_str()) != 0)
        Fail(target, Reason());
    temp.Keep();
}

}  // namespace

OutputKind ExamineOutput(const std::string& target) {
    if (target.empty())
        throw OutputError("cannot write an output without a name");
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            Fail(target, "it is a folder");
        if (S_ISBLK(st.st_mode))
            Fail(target, "it is a block device");
        if (S_ISSOCK(st.st_mode))
            Fail(target, "it is a socket");
        if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))
            return OutputKind::Stream;
        if (!S_ISREG(st.st_mode))
            Fail(target, "not a file, device or pipe");
        return BelowSystemFolder(target) ? OutputKind::Stream : OutputKind::File;
    }
    if (errno != ENOENT)
        Fail(target, Reason());
    if (BelowSystemFolder(target))
        Fail(target, "no such device");
    // A new file (or a dangling link, replaced): its folder must be there.
    const fs::path path(target);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    if (::stat(folder.c_str(), &st) != 0)
        Fail(target, Reason());
    if (!S_ISDIR(st.st_mode))
        Fail(target, folder + " is not a folder");
    return OutputKind::File;
}

void CheckOutputs(const std::vector<std::string>& targets,
                  const std::vector<std::string>& alsoDistinct) {
    for (const std::string& target : targets)
        ExamineOutput(target);
    std::vector<std::string> all = targets;
    all.insert(all.end(), alsoDistinct.begin(), alsoDistinct.end());
    RefuseSameFiles(all);
}

void WriteOutputFile(const std::string& target, const RunTempFolder& scratch,
                     const std::function<void(const std::string&)>& produce,
                     const std::function<bool(const std::string&)>& complete,
                     const std::function<void(const std::string&)>& finished) {
    if (ExamineOutput(target) == OutputKind::Stream) {
        TempFile temp(scratch.Path() + "output.XXXXXX", target);
        Produce(temp.Path(), target, produce, complete);
        StreamCopy(temp.Path(), target);
        if (finished)
            finished(temp.Path());
        return;
    }
    TempFile temp(BesidePattern(target), target);
    Produce(temp.Path(), target, produce, complete);
    RenameInto(temp, target);
    if (finished)
        finished(target);
}

void WriteOutputBytes(const std::string& target, const RunTempFolder& scratch,
                      const std::string& bytes) {
    WriteOutputFile(target, scratch, [&bytes, &target](const std::string& path) {
        Fd fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (fd.Get() < 0)
            Fail(target, Reason());
        const char* data = bytes.data();
        std::size_t size = bytes.size();
        while (size > 0) {
            const ssize_t written = ::write(fd.Get(), data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                Fail(target, Reason());
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        if (const int error = fd.Close(); error != 0)
            Fail(target, Reason(error));
    });
}

void CopyToOutput(const std::string& source, const std::string& target) {
    if (ExamineOutput(target) == OutputKind::Stream) {
        StreamCopy(source, target);
        return;
    }
    TempFile temp(BesidePattern(target), target);
    {
        Fd out(::open(temp.Path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (out.Get() < 0)
            Fail(target, Reason());
        CopyInto(source, out.Get(), target, false);
        if (const int error = out.Close(); error != 0)
            Fail(target, Reason(error));
    }
    RenameInto(temp, target);
}

bool PdfComplete(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    const std::streamoff tail = std::min<std::streamoff>(size, 1024);
    if (tail <= 0)
        return false;
    std::string bytes(static_cast<std::size_t>(tail), '\0');
    in.seekg(size - tail);
    in.read(bytes.data(), tail);
    return in && bytes.find("%%EOF") != std::string::npos;
}

void RefuseSameFiles(const std::vector<std::string>& paths) {
    struct Identity {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        fs::path canonical;
    };
    std::vector<Identity> ids;
    for (const std::string& p : paths) {
        Identity id;
        struct stat st {};
        if (::stat(p.c_str(), &st) == 0) {
            id.exists = true;
            id.dev = st.st_dev;
            id.ino = st.st_ino;
        }
        std::error_code ignored;
        id.canonical = fs::weakly_canonical(fs::absolute(p, ignored), ignored);
        ids.push_back(id);
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        for (std::size_t j = i + 1; j < ids.size(); ++j) {
            const bool same = ids[i].exists && ids[j].exists
                                  ? ids[i].dev == ids[j].dev && ids[i].ino == ids[j].ino
                                  : ids[i].canonical == ids[j].canonical;
            if (same)
                throw OutputError("the outputs name the same file: " + paths[i] + " and " +
                                  paths[j]);
        }
    }
}

}  // namespace dorvan::app
