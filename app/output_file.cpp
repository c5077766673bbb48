#include "app/output_file.h"

#include <fcntl.h>
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

std::string Reason() {
    return std::strerror(errno);
}

// A temporary file made by mkstemp from `pattern` (ending in "XXXXXX"); removed unless kept.
class TempFile {
  public:
    explicit TempFile(const std::string& pattern, const std::string& target) {
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const int fd = ::mkstemp(buffer.data());
        if (fd < 0)
            throw OutputError("cannot write " + target + ": " + Reason());
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

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void Produce(const std::string& path, const std::string& target,
             const std::function<void(const std::string&)>& produce,
             const std::function<bool(const std::string&)>& complete) {
    try {
        produce(path);
    } catch (const std::exception& e) {
        throw OutputError("cannot write " + target + ": " + e.what());
    }
    if (complete && !complete(path))
        throw OutputError("cannot write " + target + ": the output is incomplete");
}

// Flushes the finished temporary file to disk; a late write error shows here.
void SyncFile(const std::string& path, const std::string& target) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw OutputError("cannot write " + target + ": " + Reason());
    const bool synced = ::fsync(fd) == 0;
    const std::string reason = synced ? std::string() : Reason();
    if (::close(fd) != 0 || !synced)
        throw OutputError("cannot write " + target + ": " + (synced ? Reason() : reason));
}

// Copies the finished file into a device or pipe that cannot be replaced.
void CopyInto(const std::string& source, const std::string& target) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw OutputError("cannot read " + source + ": " + Reason());
    const int out = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (out < 0) {
        const std::string reason = Reason();
        ::close(in);
        throw OutputError("cannot write " + target + ": " + reason);
    }
    std::array<char, 64 * 1024> buffer{};
    std::string failure;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failure = "cannot read " + source + ": " + Reason();
            break;
        }
        if (got == 0)
            break;
        if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) {
            failure = "cannot write " + target + ": " + Reason();
            break;
        }
    }
    ::close(in);
    if (::close(out) != 0 && failure.empty())
        failure = "cannot write " + target + ": " + Reason();
    if (!failure.empty())
        throw OutputError(failure);
}

}  // namespace

void WriteOutputFile(const std::string& target, const RunTempFolder& scratch,
                     const std::function<void(const std::string&)>& produce,
                     const std::function<bool(const std::string&)>& complete) {
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        throw OutputError("cannot write " + target + ": it is a folder");

    if (exists && !S_ISREG(st.st_mode)) {
        TempFile temp(scratch.Path() + "output.XXXXXX", target);
        Produce(temp.Path(), target, produce, complete);
        CopyInto(temp.Path(), target);
        return;
    }

    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    TempFile temp((folder / ("." + path.filename().string() + ".XXXXXX")).string(), target);
    Produce(temp.Path(), target, produce, complete);
    SyncFile(temp.Path(), target);
    if (::rename(temp.Path().c_str(), target.c_str()) != 0)
        throw OutputError("cannot write " + target + ": " + Reason());
    temp.Keep();
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
