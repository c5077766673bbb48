#include "config/temp_folder.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>
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

// The folders of the live RunTempFolder objects, for the signal thread.
std::mutex& LiveFoldersMutex() {
    static std::mutex mutex;
    return mutex;
}
std::set<std::string>& LiveFolders() {
    static std::set<std::string> folders;
    return folders;
}

void RemoveFolder(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path), ignored);
}

sigset_t EndingSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// A child process starts with the signals open again.
void UnblockInChild() {
    const sigset_t set = EndingSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

[[noreturn]] void WaitForEndingSignal() {
    const sigset_t set = EndingSignals();
    int number = 0;
    while (sigwait(&set, &number) != 0) {
    }
    {
        const std::lock_guard<std::mutex> lock(LiveFoldersMutex());
        for (const std::string& folder : LiveFolders())
            RemoveFolder(folder);
        LiveFolders().clear();
        // The lock stays held: no folder is made or removed any more.
        ::signal(number, SIG_DFL);
        sigset_t one;
        sigemptyset(&one);
        sigaddset(&one, number);
        pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
        ::raise(number);
        ::_exit(128 + number);
    }
}

}  // namespace

void RemoveTempFoldersOnSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        ::signal(SIGPIPE, SIG_IGN);
        const sigset_t set = EndingSignals();
        pthread_sigmask(SIG_BLOCK, &set, nullptr);
        pthread_atfork(nullptr, nullptr, UnblockInChild);
        std::thread(WaitForEndingSignal).detach();
    });
}

RunTempFolder::RunTempFolder() {
    const std::string pattern = GetTempFolder() + ProgramName() + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // Made and registered under the lock, so an ending signal never misses it.
    const std::lock_guard<std::mutex> lock(LiveFoldersMutex());
    if (::mkdtemp(buffer.data()) == nullptr)
        throw TempFolderError("cannot create a temporary folder " + pattern + ": " + Reason());
    path_ = std::string(buffer.data()) + "/";
    LiveFolders().insert(path_);
}

RunTempFolder::~RunTempFolder() {
    const std::lock_guard<std::mutex> lock(LiveFoldersMutex());
    LiveFolders().erase(path_);
    RemoveFolder(path_);
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
