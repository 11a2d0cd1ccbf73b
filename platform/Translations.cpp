#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool Translations::install()
{
    // The program is Portuguese whatever the machine's language, so the toolkit is too.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(brazil, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
