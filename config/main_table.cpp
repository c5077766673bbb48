#include "config/main_table.h"

#include <string_view>

#include "config/config_error.h"

namespace dorvan {

TMainTable& MainTable() {
    static TMainTable table;
    return table;
}

int ConfiguredPort(const std::string& port) {
    // Decimal digits only (blanks around them allowed): "0x10", "$10" or "+5432" are not
    // taken for a port.
    std::string_view digits = port;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t')) {
        digits.remove_prefix(1);
    }
    while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t')) {
        digits.remove_suffix(1);
    }
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9' || number > 65535) {
            number = 0;
            break;
        }
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > 65535) {
        throw ConversionError("'" + port + "' is not a valid port number");
    }
    return number;
}

}  // namespace dorvan
