// Prints the folders the program would use, one "name=value" per line: copied into a scratch
// installation by the folder tests, since the layout follows the executable's own path.

#include <iostream>

#include "config/error_log.h"
#include "config/folders.h"

int main() {
    using namespace dorvan;
    std::cout << "layout=" << (GetFileLayout() == FileLayout::Installed ? "installed" : "portable")
              << "\nexe=" << GetExeFolder() << "\nconfig=" << GetConfigFolder()
              << "\ndata=" << GetDataFolder() << "\nown=" << GetOwnFilesFolder()
              << "\nerrorlog=" << ErrorLogPath() << '\n';
    return 0;
}
