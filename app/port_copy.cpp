#include "app/port_copy.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace dorvan::app {

namespace {

// Closes a file descriptor when the scope ends.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now; false when the close reported an error (a late write failure).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool IsDevicePath(const std::string& path) {
    return path.rfind("/dev/", 0) == 0;
}

bool Failed(std::string* reason, const std::string& what) {
    if (reason != nullptr) {
        *reason = what + ": " + std::strerror(errno);
    }
    return false;
}

}  // namespace

std::string Lpt1DevicePath() {
    const char* configured = std::getenv(kLpt1DeviceVariable);
    if (configured != nullptr && *configured != '\0') {
        return configured;
    }
    return kDefaultLpt1Device;
}

bool CopyFileToPort(const std::string& source, const std::string& target, std::string* reason) {
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        return Failed(reason, "cannot read " + source);
    }
    int flags = O_WRONLY | O_TRUNC | O_CLOEXEC;
    if (!IsDevicePath(target)) {
        flags |= O_CREAT;
    }
    FileDescriptor out(::open(target.c_str(), flags, 0666));
    if (out.Get() < 0) {
        return Failed(reason, "cannot write to the port " + target);
    }
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failed(reason, "cannot read " + source);
        }
        if (got == 0) {
            break;
        }
        if (!WriteAll(out.Get(), buffer.data(), static_cast<std::size_t>(got))) {
            return Failed(reason, "cannot write to the port " + target);
        }
    }
    if (!out.Close()) {
        return Failed(reason, "cannot write to the port " + target);
    }
    return true;
}

}  // namespace dorvan::app
