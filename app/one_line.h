#pragma once
// The one line a command-line program ends with on failure.

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

}  // namespace dorvan::app
