#include "datamodule/system/script_text.h"

#include <iconv.h>

#include <cctype>
#include <cerrno>
#include <vector>

namespace dorvan {

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One character of Windows-1250 through iconv; U+FFFD when the code page has none.
class Cp1250Decoder {
  public:
    Cp1250Decoder() : cd_(iconv_open("UTF-8", "WINDOWS-1250")) {}
    ~Cp1250Decoder() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Cp1250Decoder(const Cp1250Decoder&) = delete;
    Cp1250Decoder& operator=(const Cp1250Decoder&) = delete;

    void Append(std::string& out, unsigned char byte) {
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            return;
        }
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            char in[1] = {static_cast<char>(byte)};
            char buffer[8];
            char* inPtr = in;
            char* outPtr = buffer;
            std::size_t inLeft = 1;
            std::size_t outLeft = sizeof buffer;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
                inLeft == 0) {
                out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
                return;
            }
        }
        AppendUtf8(out, 0xFFFD);
    }

  private:
    iconv_t cd_;
};

// ASCII upper case of an identifier.
std::string Upper(std::string_view word) {
    std::string up(word);
    for (char& c : up)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return up;
}

bool IdentStart(unsigned char c) {
    return std::isalpha(c) != 0 || c == '_' || c >= 0x80;
}

bool IdentChar(unsigned char c) {
    return IdentStart(c) || std::isdigit(c) != 0 || c == '$';
}

// The statement a script's top-level statement starts with, when it controls the
// transaction; "" otherwise. `words` are its first (up to three) words in capitals.
std::string TransactionControl(const std::vector<std::string>& words) {
    if (words.empty())
        return {};
    const std::string& first = words[0];
    const std::string second = words.size() > 1 ? words[1] : std::string();
    const std::string third = words.size() > 2 ? words[2] : std::string();
    if (first == "BEGIN" || first == "COMMIT" || first == "END" || first == "ABORT")
        return first;
    if (first == "START" && second == "TRANSACTION")
        return "START TRANSACTION";
    if (first == "PREPARE" && second == "TRANSACTION")
        return "PREPARE TRANSACTION";
    if (first == "ROLLBACK") {
        // ROLLBACK [WORK | TRANSACTION] TO [SAVEPOINT] name stays inside the transaction.
        const bool noise = second == "WORK" || second == "TRANSACTION";
        if (second == "TO" || (noise && third == "TO"))
            return {};
        return first;
    }
    return {};
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto d = static_cast<unsigned char>(bytes[i + k]);
            if (!IsContinuation(d))
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string Windows1250ToUtf8(std::string_view bytes) {
    Cp1250Decoder decoder;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes)
        decoder.Append(out, static_cast<unsigned char>(c));
    return out;
}

std::string TextAsUtf8(std::string_view bytes, bool* converted) {
    const bool valid = IsValidUtf8(bytes);
    if (converted != nullptr)
        *converted = !valid;
    if (!valid)
        return Windows1250ToUtf8(bytes);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return std::string(bytes);
}

std::optional<TTransactionControl> FindTransactionControl(std::string_view sql) {
    const std::size_t n = sql.size();
    int line = 1;
    int parenDepth = 0;
    int beginDepth = 0;    // BEGIN ATOMIC ... END of a function body (and CASE ... END in it)
    bool routine = false;  // the statement creates a function or procedure
    std::vector<std::string> words;  // the statement's first words
    int statementLine = 0;
    std::size_t identifiers = 0;

    const auto endStatement = [&]() -> std::optional<TTransactionControl> {
        std::optional<TTransactionControl> found;
        const std::string control = TransactionControl(words);
        if (!control.empty())
            found = TTransactionControl{control, statementLine};
        words.clear();
        identifiers = 0;
        routine = false;
        beginDepth = 0;
        parenDepth = 0;
        return found;
    };

    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(sql[i]);
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (std::isspace(c) != 0) {
            ++i;
            continue;
        }
        if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            int depth = 0;
            while (i < n) {
                if (sql[i] == '/' && i + 1 < n && sql[i + 1] == '*') {
                    ++depth;
                    i += 2;
                } else if (sql[i] == '*' && i + 1 < n && sql[i + 1] == '/') {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    if (sql[i] == '\n')
                        ++line;
                    ++i;
                }
            }
            continue;
        }
        if (identifiers == 0)
            statementLine = line;  // the statement's first token
        if (c == '\'' || c == '"') {
            // A quoted text or name; E'...' texts take backslash escapes.
            const bool backslash = c == '\'' && i > 0 && (sql[i - 1] == 'E' || sql[i - 1] == 'e') &&
                                   (i < 2 || !IdentChar(static_cast<unsigned char>(sql[i - 2])));
            const char quote = static_cast<char>(c);
            ++i;
            while (i < n) {
                if (sql[i] == '\n')
                    ++line;
                if (backslash && sql[i] == '\\' && i + 1 < n) {
                    if (sql[i + 1] == '\n')
                        ++line;
                    i += 2;
                    continue;
                }
                if (sql[i] == quote) {
                    if (i + 1 < n && sql[i + 1] == quote) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            ++identifiers;
            continue;
        }
        if (c == '$') {
            // $tag$ ... $tag$ (a parameter $1 is not a quote).
            std::size_t j = i + 1;
            if (j < n && std::isdigit(static_cast<unsigned char>(sql[j])) == 0) {
                while (j < n && IdentChar(static_cast<unsigned char>(sql[j])) && sql[j] != '$')
                    ++j;
                if (j < n && sql[j] == '$') {
                    const std::string_view tag = sql.substr(i, j - i + 1);
                    const std::size_t close = sql.find(tag, j + 1);
                    const std::size_t end =
                        close == std::string_view::npos ? n : close + tag.size();
                    for (std::size_t k = j + 1; k < end && k < n; ++k) {
                        if (sql[k] == '\n')
                            ++line;
                    }
                    i = end;
                    ++identifiers;
                    continue;
                }
            }
            ++i;
            continue;
        }
        if (IdentStart(c)) {
            std::size_t j = i;
            while (j < n && IdentChar(static_cast<unsigned char>(sql[j])))
                ++j;
            const std::string word = Upper(sql.substr(i, j - i));
            i = j;
            if (identifiers < 3 && words.size() == identifiers)
                words.push_back(word);
            ++identifiers;
            if (!words.empty() && words[0] == "CREATE" &&
                (word == "FUNCTION" || word == "PROCEDURE") && identifiers <= 4) {
                routine = true;
            }
            if (routine && (word == "BEGIN" || word == "CASE")) {
                ++beginDepth;
            } else if (routine && word == "END" && beginDepth > 0) {
                --beginDepth;
            }
            continue;
        }
        if (c == '(') {
            ++parenDepth;
        } else if (c == ')') {
            if (parenDepth > 0)
                --parenDepth;
        } else if (c == ';' && parenDepth == 0 && beginDepth == 0) {
            if (auto found = endStatement())
                return found;
            ++i;
            continue;
        }
        ++identifiers;
        ++i;
    }
    return endStatement();
}

}  // namespace dorvan
