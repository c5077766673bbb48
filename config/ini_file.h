#pragma once
// One INI file with the semantics of the classic private-profile functions: section and key
// names compare without regard to case, the first matching section and key win, values are
// trimmed (and a value enclosed in double quotes loses the quotes), a missing file, section
// or key yields the default. Every call reads the file afresh; every write rewrites the whole
// file at once (temporary file + rename), keeping all other lines as they were.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

class IniFile {
  public:
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }
    bool Exists() const;

    // Throws ConfigError when the file exists but cannot be read.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Non-numeric or empty values give the default (no error).
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSection(std::string_view section) const;  // key names

    // Replaces the first matching key of the first matching section, or adds the key at the
    // end of that section, or adds the section at the end of the file. Creates the file but
    // not its folder. Line breaks inside the value become blanks. Throws ConfigError.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    // Removes every section of that name with all its lines. Throws ConfigError.
    void EraseSection(std::string_view section);

  private:
    struct Content {
        std::vector<std::string> lines;  // without line ends
        bool crlf = false;
        bool bom = false;
    };
    Content Load() const;
    void Store(const Content& content) const;

    std::filesystem::path path_;
};

// Case-insensitive comparison of INI names (full Unicode case folding for non-ASCII text).
bool IniNamesEqual(std::string_view a, std::string_view b);

}  // namespace dorvan
