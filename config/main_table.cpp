#include "config/main_table.h"

#include "config/config_error.h"
#include "config/lib_strings.h"

namespace dorvan {

TMainTable& MainTable() {
    static TMainTable table;
    return table;
}

int ConfiguredPort(const std::string& port) {
    const int number = StrToInt(port);
    if (number < 1 || number > 65535) {
        throw ConversionError("'" + port + "' is not a valid port number");
    }
    return number;
}

}  // namespace dorvan
