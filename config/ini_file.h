#pragma once
// One INI file with the semantics of the classic private-profile functions: section and key
// names compare without regard to case, the first matching section and key win, values are
// trimmed (and a value enclosed in double quotes loses the quotes), a missing file, section
// or key yields the default.
//
// Every call on IniFile reads the file afresh. A writer builds the whole new file in memory
// and replaces the old one at once (temporary file beside it, flushed to disk, renamed over
// it), holding an exclusive lock on "<file>.lock"; readers hold the same lock shared while
// they read, so nobody sees a file between two keys of one update. Several keys read or
// written together go through Snapshot() and Update(), which read or write the file once.
// A lock held by another program is waited for kIniLockWait at most; then the read or write
// fails with one line naming the lock file.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// How long a read or write waits for the lock file another program holds.
inline constexpr std::chrono::seconds kIniLockWait{5};

// The content of an INI file in memory, with the reading and editing rules of the file.
class IniDocument {
  public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);
    // The file's bytes (line ends and byte-order mark as they were read).
    std::string Text() const;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Non-numeric or empty values give the default (no error).
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSection(std::string_view section) const;  // key names

    // Replaces the first matching key of the first matching section, or adds the key at the
    // end of that section, or adds the section at the end. Line breaks inside the value
    // become blanks.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);

  private:
    std::vector<std::string> lines_;  // without line ends
    bool crlf_ = false;
    bool bom_ = false;
};

class IniFile {
  public:
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }
    bool Exists() const;

    // A file that is there but is not a regular file (a folder, a FIFO, a device) is never
    // opened for reading: ConfigError, like a file that cannot be read.
    IniDocument Snapshot() const;

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSection(std::string_view section) const;

    // Reads the file, lets `edit` change it and writes it back in one piece when it changed.
    // `edit` works on the document only (reading the same file there would wait for ever).
    // Creates the file but not its folder. A new file is for its owner only; an existing one
    // keeps its rights unless OwnerOnly() is set. Throws IniWriteError naming the file and
    // the reason.
    void Update(const std::function<void(IniDocument&)>& edit);
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void EraseSection(std::string_view section);

    // Files that hold a password: every write leaves them readable by their owner only.
    void SetOwnerOnly(bool ownerOnly) { ownerOnly_ = ownerOnly; }

  private:
    void Store(const std::string& text, bool existed) const;

    std::filesystem::path path_;
    bool ownerOnly_ = false;
};

// Case-insensitive comparison of INI names (full Unicode case folding for non-ASCII text).
bool IniNamesEqual(std::string_view a, std::string_view b);

}  // namespace dorvan
