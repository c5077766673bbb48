#include "config/folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace dorvan {

namespace {

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string WithSlash(std::string s) {
    if (s.empty() || s.back() != '/') {
        s += '/';
    }
    return s;
}

std::string HomeFolder() {
    std::string home = EnvOrEmpty("HOME");
    if (home.empty()) {
        home = "/tmp";
    }
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return home;
}

std::filesystem::path SelfExe() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : p;
}

std::string XdgFolder(const char* var, const char* fallback) {
    std::string dir = EnvOrEmpty(var);
    // The XDG rules ignore relative paths.
    if (dir.empty() || dir.front() != '/') {
        dir = HomeFolder() + fallback;
    }
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

}  // namespace

std::string GetExeFolder() {
    const std::string over = EnvOrEmpty("DORVAN_EXE_DIR");
    if (!over.empty()) {
        return WithSlash(over);
    }
    const auto exe = SelfExe();
    if (exe.empty()) {
        return "./";
    }
    return WithSlash(exe.parent_path().string());
}

std::string InstalledDataFolder(std::string_view exeFolder) {
    std::string folder(exeFolder);
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    constexpr std::string_view kBin = "/bin";
    if (folder.size() < kBin.size() ||
        folder.compare(folder.size() - kBin.size(), kBin.size(), kBin) != 0) {
        return {};
    }
    const std::string data = folder.substr(0, folder.size() - kBin.size()) + "/share/dorvan/";
    std::error_code ec;
    return std::filesystem::is_directory(data, ec) ? data : std::string();
}

FileLayout GetFileLayout() {
    if (!EnvOrEmpty("DORVAN_EXE_DIR").empty()) {
        return FileLayout::Portable;
    }
    return InstalledDataFolder(GetExeFolder()).empty() ? FileLayout::Portable
                                                       : FileLayout::Installed;
}

std::string GetConfigFolder() {
    return GetFileLayout() == FileLayout::Installed ? GetWindowsFolder() : GetExeFolder();
}

std::string GetDataFolder() {
    const std::string exeFolder = GetExeFolder();
    if (GetFileLayout() == FileLayout::Installed) {
        return InstalledDataFolder(exeFolder);
    }
    return exeFolder;
}

std::string GetOwnFilesFolder() {
    const std::string exeFolder = GetExeFolder();
    return GetFileLayout() == FileLayout::Installed ? GetMachineFolder(exeFolder) : exeFolder;
}

std::string GetExeFileName() {
    const auto exe = SelfExe();
    return exe.empty() ? std::string("dorvan") : exe.filename().string();
}

std::string GetSpecialFolder(int csidl) {
    std::string dir;
    switch (csidl) {
        case kCsidlPersonal:
            dir = HomeFolder();
            break;
        case kCsidlAppData:
            dir = XdgFolder("XDG_CONFIG_HOME", "/.config");
            break;
        case kCsidlLocalAppData:
            dir = XdgFolder("XDG_DATA_HOME", "/.local/share");
            break;
        default:
            return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);  // as the shell does; failure is not fatal
    return dir;
}

std::string GetWindowsFolder() {
    const std::string over = EnvOrEmpty("DORVAN_SYSCONFDIR");
    return over.empty() ? std::string("/etc/dorvan/") : WithSlash(over);
}

std::string FoldExeFolder(std::string_view exeFolder) {
    std::string folded;
    for (char c : exeFolder) {
        if (c == ':') {
            continue;
        }
        folded += (c == '/' || c == '\\') ? '_' : c;
    }
    return folded;
}

std::string GetMachineFolder(std::string_view exeFolder) {
    return GetSpecialFolder(kCsidlLocalAppData) + "/Norvello/Dorvan2007/" +
           FoldExeFolder(exeFolder) + "/";
}

std::string GetTempFolder() {
    const std::string tmp = EnvOrEmpty("TMPDIR");
    return WithSlash(tmp.empty() ? std::string("/tmp") : tmp);
}

}  // namespace dorvan
