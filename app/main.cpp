// dorvan-console: the window program. No command-line arguments are read.

#include "app/application.h"
#include "config/temp_folder.h"

int main(int argc, char** argv) {
    dorvan::RemoveTempFoldersOnSignals();
    return dorvan::app::RunApplication(argc, argv);
}
