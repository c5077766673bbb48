#include "config/format_settings.h"

namespace dorvan {

FormatSettings& GlobalFormatSettings() {
    static FormatSettings settings;
    return settings;
}

}  // namespace dorvan
