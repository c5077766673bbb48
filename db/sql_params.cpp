#include "db/sql_params.h"

namespace dorvan::db {

namespace {

bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           (static_cast<unsigned char>(c) >= 0x80);
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

}  // namespace

std::string LowerName(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

ParsedSql ParseNamedParams(const std::string& sql) {
    ParsedSql out;
    const std::size_t n = sql.size();
    std::size_t i = 0;
    auto copyUntil = [&](std::size_t end) {
        out.text.append(sql, i, end - i);
        i = end;
    };
    while (i < n) {
        const char c = sql[i];
        if (c == '\'') {
            // Plain or E'' string; a backslash escapes only in E'' strings.
            const bool escapes = i > 0 && (sql[i - 1] == 'E' || sql[i - 1] == 'e') &&
                                 (i < 2 || !IsNameChar(sql[i - 2]));
            std::size_t j = i + 1;
            while (j < n) {
                if (escapes && sql[j] == '\\') {
                    j += 2;
                    continue;
                }
                if (sql[j] == '\'') {
                    if (j + 1 < n && sql[j + 1] == '\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            copyUntil(j < n ? j + 1 : n);
        } else if (c == '"') {
            std::size_t j = i + 1;
            while (j < n && !(sql[j] == '"' && !(j + 1 < n && sql[j + 1] == '"'))) {
                j += sql[j] == '"' ? 2 : 1;
            }
            copyUntil(j < n ? j + 1 : n);
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            const std::size_t eol = sql.find('\n', i);
            copyUntil(eol == std::string::npos ? n : eol);
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            int depth = 0;
            std::size_t j = i;
            while (j < n) {
                if (sql[j] == '/' && j + 1 < n && sql[j + 1] == '*') {
                    ++depth;
                    j += 2;
                } else if (sql[j] == '*' && j + 1 < n && sql[j + 1] == '/') {
                    j += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++j;
                }
            }
            copyUntil(j);
        } else if (c == '$' && (i == 0 || !IsNameChar(sql[i - 1]))) {
            // Dollar quote $tag$ ... $tag$ (a "$1" is not one).
            std::size_t j = i + 1;
            while (j < n && IsNameChar(sql[j]) && !(j == i + 1 && sql[j] >= '0' && sql[j] <= '9')) {
                ++j;
            }
            if (j < n && sql[j] == '$' && !(j > i + 1 && sql[i + 1] >= '0' && sql[i + 1] <= '9')) {
                const std::string tag = sql.substr(i, j - i + 1);
                const std::size_t close = sql.find(tag, j + 1);
                copyUntil(close == std::string::npos ? n : close + tag.size());
            } else {
                copyUntil(i + 1);
            }
        } else if (c == ':') {
            if (i + 1 < n && sql[i + 1] == ':') {
                copyUntil(i + 2);  // a cast
            } else if (i + 1 < n && IsNameStart(sql[i + 1]) && (i == 0 || sql[i - 1] != ':')) {
                std::size_t j = i + 1;
                while (j < n && IsNameChar(sql[j]))
                    ++j;
                const std::string name = sql.substr(i + 1, j - i - 1);
                std::size_t index = 0;
                while (index < out.names.size() && !SameName(out.names[index], name))
                    ++index;
                if (index == out.names.size())
                    out.names.push_back(name);
                out.text += "$" + std::to_string(index + 1);
                i = j;
            } else {
                copyUntil(i + 1);
            }
        } else {
            copyUntil(i + 1);
        }
    }
    return out;
}

std::string QuoteIdent(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace dorvan::db
