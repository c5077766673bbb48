#include "config/ini_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "config/config_error.h"
#include "config/lib_strings.h"

namespace dorvan {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Section name of a header line, or nothing when the line is not a header.
std::optional<std::string_view> HeaderName(std::string_view line) {
    const std::string_view t = TrimView(line);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    const auto close = t.find(']');
    if (close == std::string_view::npos) {
        return TrimView(t.substr(1));
    }
    return TrimView(t.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    const std::string_view t = TrimView(line);
    return !t.empty() && t.front() == ';';
}

// Key and value of a "key=value" line.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
    if (IsComment(line)) {
        return std::nullopt;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return std::make_pair(TrimView(line.substr(0, eq)), TrimView(line.substr(eq + 1)));
}

std::string Unquote(std::string_view v) {
    if (v.size() >= 2 &&
        ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\''))) {
        return std::string(v.substr(1, v.size() - 2));
    }
    return std::string(v);
}

// Index range [begin, end) of the body of the first section named `section` (begin = line
// after the header); nothing when absent.
std::optional<std::pair<std::size_t, std::size_t>> FindSection(
    const std::vector<std::string>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = HeaderName(lines[i]);
        if (name && IniNamesEqual(*name, section)) {
            std::size_t end = i + 1;
            while (end < lines.size() && !HeaderName(lines[end])) {
                ++end;
            }
            return std::make_pair(i + 1, end);
        }
    }
    return std::nullopt;
}

std::string OneLine(std::string_view value) {
    std::string v(value);
    for (char& c : v) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return v;
}

std::string ErrorText(int err) {
    return std::strerror(err);
}

// An open file descriptor, closed at the end of the scope.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(Fd&&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now; the close's own error (errno) when it failed.
    int Reset() {
        int err = 0;
        if (fd_ >= 0 && ::close(fd_) != 0) {
            err = errno;
        }
        fd_ = -1;
        return err;
    }

  private:
    int fd_;
};

std::string LockPath(const std::filesystem::path& path) {
    return path.string() + ".lock";
}

// flock that survives signals and waits at most kIniLockWait; false with errno set when the
// lock could not be had (EWOULDBLOCK: another program holds it all that time).
bool LockFd(int fd, int operation) {
    const auto deadline = std::chrono::steady_clock::now() + kIniLockWait;
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0) {
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Why a lock could not be had, naming the lock file.
std::string LockFailure(const std::filesystem::path& path) {
    if (errno == EWOULDBLOCK) {
        return "the lock file " + LockPath(path) + " was held by another program for " +
               std::to_string(kIniLockWait.count()) + " seconds";
    }
    return LockPath(path) + ": " + ErrorText(errno);
}

// The shared lock of a reader, when the file has a lock file at all (readers never create
// one: the folder may not be theirs to write).
Fd ReaderLock(const std::filesystem::path& path) {
    Fd fd(::open(LockPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.Valid() && !LockFd(fd.Get(), LOCK_SH)) {
        throw ConfigError("Cannot read " + path.string() + ": " + LockFailure(path));
    }
    return fd;
}

// The whole file; false when there is no file. A file that is not a regular one is refused
// before it is opened, and opened without waiting in case it was swapped meanwhile. Errors
// name the file: IniWriteError for the reading step of a write, ConfigError otherwise.
bool ReadWhole(const std::filesystem::path& path, std::string& text, bool forWriting) {
    const std::string name = path.string();
    auto fail = [&](const std::string& reason) {
        if (forWriting) {
            throw IniWriteError("Cannot write " + name + ": " + reason);
        }
        throw ConfigError("Cannot read " + name + ": " + reason);
    };
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return false;
        }
        fail(ErrorText(errno));
    }
    auto refuse = [&](mode_t mode) {
        if (S_ISDIR(mode)) {
            fail("it is a folder");
        }
        if (!S_ISREG(mode)) {
            fail("not a regular file");
        }
    };
    refuse(st.st_mode);
    const Fd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid()) {
        fail(ErrorText(errno));
    }
    if (::fstat(fd.Get(), &st) != 0) {
        fail(ErrorText(errno));
    }
    refuse(st.st_mode);
    text.clear();
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(ErrorText(errno));
        }
        if (n == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
    bool ascii = true;
    for (char c : a) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    for (char c : b) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            char x = a[i];
            char y = b[i];
            if (x >= 'A' && x <= 'Z') {
                x = static_cast<char>(x - 'A' + 'a');
            }
            if (y >= 'A' && y <= 'Z') {
                y = static_cast<char>(y - 'A' + 'a');
            }
            if (x != y) {
                return false;
            }
        }
        return true;
    }
    const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    return qa.compare(qb, Qt::CaseInsensitive) == 0;
}

// ---- IniDocument ----

IniDocument::IniDocument(std::string_view text) {
    if (text.starts_with(kBom)) {
        bom_ = true;
        text.remove_prefix(kBom.size());
    }
    crlf_ = text.find("\r\n") != std::string_view::npos;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto nl = text.find('\n', pos);
        if (nl == std::string_view::npos) {
            nl = text.size();
        }
        std::string line(text.substr(pos, nl - pos));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines_.push_back(std::move(line));
        pos = nl + 1;
    }
}

std::string IniDocument::Text() const {
    const std::string_view eol = crlf_ ? "\r\n" : "\n";
    std::string text;
    if (bom_) {
        text += kBom;
    }
    for (const auto& line : lines_) {
        text += line;
        text += eol;
    }
    return text;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    std::string_view def) const {
    const auto range = FindSection(lines_, section);
    if (!range) {
        return std::string(def);
    }
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto kv = KeyValue(lines_[i]);
        if (kv && IniNamesEqual(kv->first, key)) {
            return Unquote(kv->second);
        }
    }
    return std::string(def);
}

int IniDocument::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string value = ReadString(section, key, "");
    if (value.empty()) {
        return def;
    }
    return StrToIntDef(value, def);
}

bool IniDocument::SectionExists(std::string_view section) const {
    return FindSection(lines_, section).has_value();
}

bool IniDocument::ValueExists(std::string_view section, std::string_view key) const {
    for (const auto& name : ReadSection(section)) {
        if (IniNamesEqual(name, key)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> IniDocument::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    const auto range = FindSection(lines_, section);
    if (range) {
        for (std::size_t i = range->first; i < range->second; ++i) {
            const auto kv = KeyValue(lines_[i]);
            if (kv && !kv->first.empty()) {
                keys.emplace_back(kv->first);
            }
        }
    }
    return keys;
}

void IniDocument::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    const std::string line = std::string(TrimView(key)) + "=" + OneLine(value);
    const auto range = FindSection(lines_, section);
    if (!range) {
        if (!lines_.empty() && !TrimView(lines_.back()).empty()) {
            lines_.emplace_back();
        }
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
        return;
    }
    std::size_t insertAt = range->first;
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto kv = KeyValue(lines_[i]);
        if (kv && IniNamesEqual(kv->first, key)) {
            lines_[i] = line;
            return;
        }
        if (!TrimView(lines_[i]).empty()) {
            insertAt = i + 1;  // after the last non-blank line of the section
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniDocument::EraseSection(std::string_view section) {
    while (const auto range = FindSection(lines_, section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->first - 1),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->second));
    }
}

// ---- IniFile ----

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

bool IniFile::Exists() const {
    std::error_code ec;
    return std::filesystem::exists(path_, ec);
}

IniDocument IniFile::Snapshot() const {
    const Fd lock = ReaderLock(path_);
    std::string text;
    if (!ReadWhole(path_, text, false)) {
        return {};
    }
    return IniDocument(text);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    return Snapshot().ReadString(section, key, def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    return Snapshot().ReadInteger(section, key, def);
}

bool IniFile::SectionExists(std::string_view section) const {
    return Snapshot().SectionExists(section);
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return Snapshot().ValueExists(section, key);
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    return Snapshot().ReadSection(section);
}

void IniFile::Update(const std::function<void(IniDocument&)>& edit) {
    const std::string name = path_.string();
    const Fd lock(::open(LockPath(path_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                         S_IRUSR | S_IWUSR));
    if (!lock.Valid()) {
        throw IniWriteError("Cannot write " + name + ": " + ErrorText(errno));
    }
    if (!LockFd(lock.Get(), LOCK_EX)) {
        throw IniWriteError("Cannot write " + name + ": " + LockFailure(path_));
    }
    std::string before;
    const bool existed = ReadWhole(path_, before, true);
    IniDocument document(before);
    edit(document);
    const std::string after = document.Text();
    if (existed ? after == before : after.empty()) {
        return;
    }
    Store(after, existed);
}

void IniFile::Store(const std::string& text, bool existed) const {
    const std::string name = path_.string();
    auto fail = [&](int err) {
        throw IniWriteError("Cannot write " + name + ": " + ErrorText(err));
    };
    // Keep the rights of an existing file; a new file is for its owner only (it may hold the
    // database password).
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat st {};
    if (existed && ::stat(name.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }
    if (ownerOnly_) {
        mode &= S_IRWXU;
    }
    std::string pattern = name + ".XXXXXX";
    std::vector<char> tmp(pattern.begin(), pattern.end());
    tmp.push_back('\0');
    Fd fd(::mkostemp(tmp.data(), O_CLOEXEC));
    if (!fd.Valid()) {
        fail(errno);
    }
    const auto discard = [&](int err) {
        fd.Reset();
        ::unlink(tmp.data());
        fail(err);
    };
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd.Get(), text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            discard(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd.Get(), mode) != 0 || ::fsync(fd.Get()) != 0) {
        discard(errno);
    }
    if (const int err = fd.Reset(); err != 0) {
        ::unlink(tmp.data());
        fail(err);
    }
    if (::rename(tmp.data(), name.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.data());
        fail(err);
    }
    // The new name itself on disk as well.
    const std::filesystem::path folder = path_.has_parent_path() ? path_.parent_path() : ".";
    const Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) {
        ::fsync(dir.Get());
    }
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Update([&](IniDocument& d) { d.WriteString(section, key, value); });
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::EraseSection(std::string_view section) {
    Update([&](IniDocument& d) { d.EraseSection(section); });
}

}  // namespace dorvan
