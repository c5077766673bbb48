#include "app/brand_picture.h"

#include <filesystem>
#include <system_error>

namespace dorvan::app {

BrandPicture BrandPictureFor(const std::string& database, const std::string& dataFolder,
                             const std::string& fileName) {
    BrandPicture brand;
    if (database != "Orvelle_Data") {
        return brand;
    }
    const std::string path = dataFolder + "images/orvelle/" + fileName;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        brand.action = BrandPicture::Action::Load;
        brand.path = path;
    } else {
        brand.action = BrandPicture::Action::Hide;
    }
    return brand;
}

}  // namespace dorvan::app
