// dorvan-console: the window program. Besides the window system's own options it answers
// --help and --version (see app/console_start.h).

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/console_start.h"
#include "config/temp_folder.h"

int main(int argc, char** argv) {
    dorvan::RemoveTempFoldersOnSignals();
    const auto hasEnv = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (const auto status = dorvan::app::AnswerConsoleCommandLine(
            std::vector<std::string>(argv + 1, argv + argc), hasEnv, std::cout, std::cerr)) {
        return *status;
    }
    return dorvan::app::RunApplication(argc, argv);
}
