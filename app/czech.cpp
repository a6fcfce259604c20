#include "czech.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kelmora {

bool loadQtCzech(QTranslator &translator)
{
    return translator.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace kelmora
