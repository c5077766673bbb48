#include "config/temp_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "config/folders.h"

namespace dorvan {

namespace {

std::string Reason() {
    return std::strerror(errno);
}

std::string ProgramName() {
    std::string name = GetExeFileName();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name.empty() ? std::string("dorvan") : name;
}

}  // namespace

RunTempFolder::RunTempFolder() {
    const std::string pattern = GetTempFolder() + ProgramName() + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr)
        throw TempFolderError("cannot create a temporary folder " + pattern + ": " + Reason());
    path_ = std::string(buffer.data()) + "/";
}

RunTempFolder::~RunTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

std::string RunTempFolder::WriteFile(const std::string& name, const std::string& bytes) const {
    const std::string path = path_ + name;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw TempFolderError("cannot replace " + path + ": " + Reason());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0)
        throw TempFolderError("cannot create " + path + ": " + Reason());
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            const std::string reason = Reason();
            ::close(fd);
            throw TempFolderError("cannot write " + path + ": " + reason);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::close(fd) != 0)
        throw TempFolderError("cannot write " + path + ": " + Reason());
    return path;
}

}  // namespace dorvan
