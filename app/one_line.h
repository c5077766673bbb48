#pragma once
// The one line a command-line program ends with on failure or refusal.

#include <exception>
#include <string>

namespace dorvan::app {

// A message on one line: line breaks (LF, CR) and the blanks around them become one space;
// an empty message reads "Ismeretlen hiba".
inline std::string OneLine(const std::string& text) {
    std::string line;
    bool pendingBreak = false;
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak) {
            while (!line.empty() && line.back() == ' ') {
                line.pop_back();
            }
            if (c == ' ' || c == '\t') {
                continue;
            }
            if (!line.empty()) {
                line += ' ';
            }
            pendingBreak = false;
        }
        line += c;
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.pop_back();
    }
    return line.empty() ? "Ismeretlen hiba" : line;
}

// The gist of a message or an error text, on one line: its first paragraph (up to an empty
// line; the program's messages put their technical description after one), without the lines
// the database server adds after its message (DETAIL, HINT, CONTEXT, QUERY, LINE, ...). The
// whole text is for --verbose.
inline std::string Summary(const std::string& text) {
    static const char* const kServerLines[] = {
        "DETAIL:", "HINT:", "CONTEXT:", "QUERY:", "LINE ", "WHERE:", "STATEMENT:", "LOCATION:"};
    std::string kept;
    std::string line;
    bool first = true;
    const auto endLine = [&]() -> bool {  // false: the summary ends before this line
        std::size_t start = 0;
        while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
            ++start;
        const std::string trimmed = line.substr(start);
        if (trimmed.empty())
            return kept.empty();  // leading empty lines are skipped, a later one ends it
        if (!first) {
            for (const char* prefix : kServerLines)
                if (trimmed.rfind(prefix, 0) == 0)
                    return false;
        }
        kept += (kept.empty() ? "" : "\n") + line;
        first = false;
        return true;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;  // CR LF is one line end
        if (c == '\n' || c == '\r') {
            if (!endLine())
                return OneLine(kept);
            line.clear();
            continue;
        }
        line += c;
    }
    endLine();
    return OneLine(kept);
}

// The one line of a failure: the gist of its message.
inline std::string FailureLine(const std::exception& error) {
    return Summary(error.what());
}

}  // namespace dorvan::app
