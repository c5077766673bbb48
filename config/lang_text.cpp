#include "config/lang_text.h"

#include <exception>

namespace dorvan {

namespace {

LangTextProvider& Slot() {
    static LangTextProvider provider;
    return provider;
}

}  // namespace

void SetLangTextProvider(LangTextProvider provider) {
    Slot() = std::move(provider);
}

std::string ConfigLangText(const std::string& form, const std::string& key,
                           const std::string& defaultText) {
    const auto& provider = Slot();
    if (!provider) {
        return defaultText;
    }
    try {
        return provider(form, key, defaultText);
    } catch (const std::exception&) {
        return defaultText;
    }
}

}  // namespace dorvan
