// SPDX-License-Identifier: MIT
#include "czech.h"

#include "look.h"

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

void useCzechLocale()
{
    qputenv("LC_ALL", "cs_CZ.UTF-8");
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}

void prepareApplication(QTranslator &qtTranslator)
{
    useDesignLook();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelmora.Kelmora"));
    if (loadQtCzech(qtTranslator))
        QCoreApplication::installTranslator(&qtTranslator);
}

} // namespace kelmora
