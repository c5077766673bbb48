#pragma once
// The global settings record `MainTable` (filled from the configuration files at start).
// Extended with every configuration key by the configuration-file reader.

#include <array>
#include <string>

namespace dorvan {

struct TMainTable {
    // Identifier of the signed-in user (this console has no sign-in: empty).
    std::string UserID;
    // Keys of the "empty" value of the six item categories (index 1..6; 0 unused).
    std::array<int, 7> CategoryKeys{};
};

// The single program-wide record.
TMainTable& MainTable();

}  // namespace dorvan
