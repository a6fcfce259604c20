// SPDX-License-Identifier: MIT
#include "czech.h"

#include "look.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

#include <clocale>
#include <langinfo.h>

namespace kelmora {

namespace {

// A size as Czech writes it: 1 bajt, 2 až 4 bajty, 0 or 5 and more bajtů; from 1 kB on, in
// kilobytes or megabytes with one decimal.
QString czechSize(qint64 bytes)
{
    if (bytes >= 1024)
        return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    const QString unit = bytes == 1                 ? QStringLiteral("bajt")
                         : bytes >= 2 && bytes <= 4 ? QStringLiteral("bajty")
                                                    : QStringLiteral("bajtů");
    return QLocale().toString(bytes) + u' ' + unit;
}

// The dialog's own model formats the size and date columns with QLocale::system(), and names
// a folder's type by a text that Qt's Czech catalogue lacks.
class CzechFileDetails : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        const QModelIndex source = mapToSource(index);
        if (files && role == Qt::DisplayRole && index.column() == 1 && !files->isDir(source))
            return czechSize(files->size(source));
        if (files && role == Qt::DisplayRole && index.column() == 2 && files->isDir(source))
            return QStringLiteral("Složka");
        if (files && role == Qt::DisplayRole && index.column() == 3)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }
};

// Qt 6.4 hands the C library UTF-8 text, such as the title that Xlib writes into WM_NAME.
// Where the user's locale has another character set (POSIX) only the character set becomes
// the C.UTF-8 that every glibc system has; the environment stays as the user set it.
void useUtf8Characters()
{
    if (qstricmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

QtMessageHandler passOnMessage = nullptr;

void withoutUtf8SwitchNotice(QtMsgType type, const QMessageLogContext &context,
                             const QString &message)
{
    const bool notice = type == QtWarningMsg && message.startsWith(u"Detected locale \"") &&
                        message.contains(u"Qt depends on a UTF-8 locale, and has switched");
    if (!notice)
        passOnMessage(type, context, message);
}

} // namespace

void dropUtf8SwitchNotice()
{
    passOnMessage = qInstallMessageHandler(withoutUtf8SwitchNotice);
}

bool loadQtCzech(QTranslator &translator)
{
    return translator.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void useCzechLocale()
{
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}

void showCzechFileDetails(QFileDialog &dialog)
{
    dialog.setProxyModel(new CzechFileDetails(&dialog));
}

void prepareApplication(QTranslator &qtTranslator)
{
    useUtf8Characters();
    useKelmoraLook();
    // Qt's file dialog keeps its folders and view in the user's QtProject.conf. Kelmora keeps
    // no settings: Qt's user settings get a folder that can hold no file, so each run starts
    // afresh.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelmora.Kelmora"));
    if (loadQtCzech(qtTranslator))
        QCoreApplication::installTranslator(&qtTranslator);
}

} // namespace kelmora
