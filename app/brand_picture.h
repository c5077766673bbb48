#pragma once
// The brand rule of the splash and progress windows: the brand edition of the database
// ("Orvelle_Data") swaps the designed background for a picture of the data folder's
// images/orvelle/ folder (the executable folder, or <prefix>/share/dorvan/ when installed),
// or shows none when that file is missing.

#include <string>

namespace dorvan::app {

struct BrandPicture {
    enum class Action { KeepDesigned, Load, Hide };
    Action action = Action::KeepDesigned;
    std::string path;  // for Load
};

// `fileName` such as "nevjegy.bmp"; the database name as configured, the data folder.
BrandPicture BrandPictureFor(const std::string& database, const std::string& dataFolder,
                             const std::string& fileName);

}  // namespace dorvan::app
