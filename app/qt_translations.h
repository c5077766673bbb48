#pragma once
// Qt's own texts (the buttons of message boxes, the print dialog) in the program's language.

#include <QString>

class QCoreApplication;

namespace dorvan::app {

// The language of the program's windows.
inline constexpr const char* kProgramLanguage = "hu";

// Loads Qt's translations for `language` (Debian: qt6-translations-l10n) into the application;
// false when they are not installed (Qt's English texts stay).
bool InstallQtTranslations(QCoreApplication& application,
                           const QString& language = QString::fromLatin1(kProgramLanguage));

}  // namespace dorvan::app
