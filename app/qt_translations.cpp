#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace dorvan::app {

bool InstallQtTranslations(QCoreApplication& application, const QString& language) {
    auto* translator = new QTranslator(&application);  // lives as long as the application
    // "qt_<language>" takes in the translations of every Qt module installed.
    if (!translator->load(QLocale(language), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace dorvan::app
