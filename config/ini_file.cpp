#include "config/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

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

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

bool IniFile::Exists() const {
    std::error_code ec;
    return std::filesystem::exists(path_, ec);
}

IniFile::Content IniFile::Load() const {
    Content content;
    if (!Exists()) {
        return content;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path_, ec)) {
        throw ConfigError("Cannot read " + path_.string() + ": it is a folder");
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        throw ConfigError("Cannot read " + path_.string() + ": " + std::strerror(errno));
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    if (in.bad()) {
        throw ConfigError("Cannot read " + path_.string());
    }
    if (text.starts_with(kBom)) {
        content.bom = true;
        text.erase(0, kBom.size());
    }
    content.crlf = text.find("\r\n") != std::string::npos;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto nl = text.find('\n', pos);
        if (nl == std::string::npos) {
            nl = text.size();
        }
        std::string line = text.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        content.lines.push_back(std::move(line));
        pos = nl + 1;
    }
    return content;
}

void IniFile::Store(const Content& content) const {
    const std::string eol = content.crlf ? "\r\n" : "\n";
    std::string text;
    if (content.bom) {
        text += kBom;
    }
    for (const auto& line : content.lines) {
        text += line;
        text += eol;
    }
    // Keep the permissions of an existing file; a new file is for its owner only (it may hold
    // the database password).
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }
    const std::string tmp = path_.string() + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        throw ConfigError("Cannot write " + path_.string() + ": " + std::strerror(errno));
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            throw ConfigError("Cannot write " + path_.string() + ": " + std::strerror(err));
        }
        done += static_cast<std::size_t>(n);
    }
    ::fchmod(fd, mode);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        throw ConfigError("Cannot write " + path_.string() + ": " + std::strerror(err));
    }
    if (::rename(tmp.c_str(), path_.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        throw ConfigError("Cannot write " + path_.string() + ": " + std::strerror(err));
    }
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    const Content content = Load();
    const auto range = FindSection(content.lines, section);
    if (!range) {
        return std::string(def);
    }
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto kv = KeyValue(content.lines[i]);
        if (kv && IniNamesEqual(kv->first, key)) {
            return Unquote(kv->second);
        }
    }
    return std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string value = ReadString(section, key, "");
    if (value.empty()) {
        return def;
    }
    return StrToIntDef(value, def);
}

bool IniFile::SectionExists(std::string_view section) const {
    return FindSection(Load().lines, section).has_value();
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    for (const auto& name : ReadSection(section)) {
        if (IniNamesEqual(name, key)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    const Content content = Load();
    std::vector<std::string> keys;
    const auto range = FindSection(content.lines, section);
    if (range) {
        for (std::size_t i = range->first; i < range->second; ++i) {
            const auto kv = KeyValue(content.lines[i]);
            if (kv && !kv->first.empty()) {
                keys.emplace_back(kv->first);
            }
        }
    }
    return keys;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Content content = Load();
    const std::string line = std::string(TrimView(key)) + "=" + OneLine(value);
    const auto range = FindSection(content.lines, section);
    if (!range) {
        if (!content.lines.empty() && !TrimView(content.lines.back()).empty()) {
            content.lines.emplace_back();
        }
        content.lines.push_back("[" + std::string(section) + "]");
        content.lines.push_back(line);
        Store(content);
        return;
    }
    std::size_t insertAt = range->first;
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto kv = KeyValue(content.lines[i]);
        if (kv && IniNamesEqual(kv->first, key)) {
            content.lines[i] = line;
            Store(content);
            return;
        }
        if (!TrimView(content.lines[i]).empty()) {
            insertAt = i + 1;  // after the last non-blank line of the section
        }
    }
    content.lines.insert(content.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    Store(content);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::EraseSection(std::string_view section) {
    Content content = Load();
    bool changed = false;
    while (const auto range = FindSection(content.lines, section)) {
        content.lines.erase(content.lines.begin() + static_cast<std::ptrdiff_t>(range->first - 1),
                            content.lines.begin() + static_cast<std::ptrdiff_t>(range->second));
        changed = true;
    }
    if (changed) {
        Store(content);
    }
}

}  // namespace dorvan
