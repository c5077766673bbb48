#include "config/main_table.h"

namespace dorvan {

TMainTable& MainTable() {
    static TMainTable table;
    return table;
}

}  // namespace dorvan
