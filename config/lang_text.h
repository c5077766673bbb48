#pragma once
// Language texts as the configuration layer sees them. The data module's multi-language
// service plugs itself in with SetLangTextProvider; until then each text is its default.

#include <functional>
#include <string>

namespace dorvan {

using LangTextProvider = std::function<std::string(const std::string& form, const std::string& key,
                                                   const std::string& defaultText)>;

// Installs the provider (an empty function restores "the default text").
void SetLangTextProvider(LangTextProvider provider);

// The text for (form, key), or `defaultText`; a failing provider also gives the default.
std::string ConfigLangText(const std::string& form, const std::string& key,
                           const std::string& defaultText);

}  // namespace dorvan
