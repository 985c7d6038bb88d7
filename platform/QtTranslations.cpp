#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {
QPointer<QTranslator> Installed; // the one this function put in place, replaced by the next
}

bool InstallQtTranslations(const QString& language) {
    delete Installed.data(); // a translator removes itself from the application as it goes
    if (language == QLatin1String("en")) return true; // Qt's texts are English as written
    auto* translator = new QTranslator(QCoreApplication::instance());
    // "qt_<language>" gathers the catalogues of every Qt module (qtbase, qtmultimedia, ...).
    if (!translator->load(QLatin1String("qt_") + language,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    Installed = translator;
    return true;
}
