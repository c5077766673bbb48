// dorvan-console: the window program. No command-line arguments are read.

#include "app/application.h"

int main(int argc, char** argv) {
    return dorvan::app::RunApplication(argc, argv);
}
