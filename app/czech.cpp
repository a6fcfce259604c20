#include "czech.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kelmora {

bool loadQtCzech(QTranslator &translator)
{
    return translator.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void prepareApplication(QTranslator &qtTranslator)
{
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelmora.Kelmora"));
    if (loadQtCzech(qtTranslator))
        QCoreApplication::installTranslator(&qtTranslator);
}

} // namespace kelmora
