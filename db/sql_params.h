#pragma once
// Named parameters in statement text: ":name" becomes "$n" for libpq.
//
// Not parameters: "::" casts, anything inside '...', E'...', "..." and $tag$...$tag$
// quotes, and "--" and "/* */" comments. A name starts with a letter or "_" and goes on
// with letters, digits and "_"; the same name used twice is one parameter.

#include <string>
#include <vector>

namespace dorvan::db {

struct ParsedSql {
    std::string text;                // statement with $1, $2, ...
    std::vector<std::string> names;  // parameter names in $-number order, as written
};

ParsedSql ParseNamedParams(const std::string& sql);

// ASCII case-insensitive comparison (identifiers, field and parameter names).
bool SameName(const std::string& a, const std::string& b);
std::string LowerName(const std::string& s);

// An identifier in double quotes, embedded double quotes doubled: "name", "a""b".
std::string QuoteIdent(const std::string& name);

}  // namespace dorvan::db
