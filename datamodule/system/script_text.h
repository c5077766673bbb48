#pragma once
// What the update step reads from a script file before it runs it: the file's name and text
// made UTF-8 (scripts written on the product's Windows workstations come in code page
// 1250), and the statements that would end the transaction the script runs in.

#include <optional>
#include <string>
#include <string_view>

namespace dorvan {

// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or code points
// beyond U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Windows-1250 bytes as UTF-8; the five bytes the code page leaves undefined become U+FFFD.
std::string Windows1250ToUtf8(std::string_view bytes);

// A file name or a script's text as UTF-8: unchanged when it is valid UTF-8 (a byte-order
// mark at the start of a text removed), else read as Windows-1250. `converted` (optional)
// tells which.
std::string TextAsUtf8(std::string_view bytes, bool* converted = nullptr);

// A top-level statement that begins, ends or prepares a transaction.
struct TTransactionControl {
    std::string
        statement;  // the statement's leading words in capitals: "COMMIT", "START TRANSACTION"
    int line = 0;   // the line (from 1) where it starts
};

// The first statement of the script `sql` that would end the transaction the update step
// runs it in: BEGIN, START TRANSACTION, COMMIT, END, ROLLBACK (not ROLLBACK TO a savepoint),
// ABORT or PREPARE TRANSACTION; nullopt when there is none. Words inside quoted texts,
// quoted names, dollar-quoted bodies (DO blocks, functions), comments and the
// BEGIN ATOMIC ... END body of a function are not statements.
std::optional<TTransactionControl> FindTransactionControl(std::string_view sql);

}  // namespace dorvan
