// kelmora-art: draws Kelmora's pictures at build time.
#include "artwork.h"
#include "catalogue.h"
#include "fonts.h"
#include "helppage.h"
#include "icons.h"
#include "imagefiles.h"
#include "lettering.h"
#include "sketches.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

using namespace kelmora::art;

namespace {

QList<int> parseRows(const QString &list)
{
    QList<int> rows;
    for (const QString &item : list.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int row = item.toInt(&ok);
        if (!ok || row < 1 || row > kelmora::kCharacterRows)
            throw ArtError{QStringLiteral("bad row \"%1\" (rows are 1 to %2)")
                               .arg(item)
                               .arg(kelmora::kCharacterRows)};
        rows << row;
    }
    return rows;
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ArtError{QStringLiteral("%1: %2").arg(path, file.errorString())};
    return QString::fromUtf8(file.readAll());
}

// Where a resource's picture goes: its resource path below folder.
QString resourceFile(const QString &folder, QLatin1String resource)
{
    const QString path = QDir(folder).filePath(QString(resource).mid(2));
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw ArtError{QStringLiteral("cannot create the folder of %1").arg(path)};
    return path;
}

// Pictures the help pages may show: "enter" (the key, about as high as a line), "nastavení"
// (the selection window) and half-size character pictures such as "tiskací β" or "psací β".
class HelpPictures
{
public:
    QImage operator()(const QString &name) const
    {
        if (name == u"enter")
            return drawEnterKey().scaledToHeight(kInlineHeight, Qt::SmoothTransformation);
        if (name == u"nastavení")
            return drawSelectionSketch();
        const QStringList words = name.split(u' ');
        const int row = words.size() == 2 ? letterRow(words[1]) : 0;
        if (row == 0 || (words[0] != u"tiskací" && words[0] != u"psací"))
            return {};
        QImage picture = (words[0] == u"tiskací" ? m_printed : m_handwritten).draw(row, 0.5);
        QPainter painter(&picture);
        painter.setPen(QColor(0xa8, 0xb0, 0xbc));
        painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
        return picture;
    }

private:
    static constexpr int kInlineHeight = 16;

    static int letterRow(const QString &character)
    {
        for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
            if (letter(row) == character)
                return row;
        }
        return 0;
    }

    LetterPainter m_printed{printedLettering()};
    LetterPainter m_handwritten{handwrittenLettering()};
};

void writeResources(const QString &folder, const QString &page1, const QString &page2)
{
    const HelpPictures pictures;
    writeGif(drawHelpPage(readText(page1), pictures),
             resourceFile(folder, kelmora::artwork::kHelpPage1));
    writeGif(drawHelpPage(readText(page2), pictures),
             resourceFile(folder, kelmora::artwork::kHelpPage2));
    writeImage(drawEnterKey(), resourceFile(folder, kelmora::artwork::kEnter));
    writeImage(drawHandCursor(), resourceFile(folder, kelmora::artwork::kRuka));
    writeImage(drawPictureCursor(), resourceFile(folder, kelmora::artwork::kKurzor));
    const QImage icon = drawAppIcon();
    writeImage(icon, resourceFile(folder, kelmora::artwork::kIcon));
    writeImage(icon.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
               resourceFile(folder, kelmora::artwork::kWindowIcon));
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs no screen; a build machine often has none.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws Kelmora's pictures."));
    parser.addHelpOption();
    const QCommandLineOption lettersOption(
        QStringLiteral("letters"), QStringLiteral("Draw the character pictures into <folder>."),
        QStringLiteral("folder"));
    const QCommandLineOption rowsOption(
        QStringLiteral("rows"), QStringLiteral("Only the character rows in <list>, e.g. 8,26."),
        QStringLiteral("list"));
    const QCommandLineOption printedOption(QStringLiteral("printed-font"),
                                           QStringLiteral("Font family of the .gif pictures."),
                                           QStringLiteral("family"));
    const QCommandLineOption handwrittenOption(QStringLiteral("handwritten-font"),
                                               QStringLiteral("Font family of the .jpg pictures."),
                                               QStringLiteral("family"));
    const QCommandLineOption resourcesOption(
        QStringLiteral("resources"),
        QStringLiteral("Draw the help pages from the two page texts, the enter key, the cursors "
                       "and the icon into <folder>, each at its resource path."),
        QStringLiteral("folder"));
    parser.addOptions(
        {lettersOption, rowsOption, printedOption, handwrittenOption, resourcesOption});
    parser.addPositionalArgument(QStringLiteral("page1"), QStringLiteral("Text of help page 1."));
    parser.addPositionalArgument(QStringLiteral("page2"), QStringLiteral("Text of help page 2."));
    parser.process(app);

    if (!parser.isSet(lettersOption) && !parser.isSet(resourcesOption))
        parser.showHelp(2);
    try {
        if (parser.isSet(lettersOption)) {
            QList<int> rows;
            for (int row = 1; row <= kelmora::kCharacterRows; ++row)
                rows << row;
            if (parser.isSet(rowsOption))
                rows = parseRows(parser.value(rowsOption));
            Lettering printed = printedLettering();
            Lettering handwritten = handwrittenLettering();
            if (parser.isSet(printedOption))
                printed.family = parser.value(printedOption);
            if (parser.isSet(handwrittenOption))
                handwritten.family = parser.value(handwrittenOption);
            const QString folder = parser.value(lettersOption);
            if (!QDir().mkpath(folder))
                throw ArtError{QStringLiteral("cannot create folder %1").arg(folder)};
            for (const Lettering &lettering : {printed, handwritten})
                LetterPainter(lettering).write(rows, folder);
        }
        if (parser.isSet(resourcesOption)) {
            const QStringList pages = parser.positionalArguments();
            if (pages.size() != 2)
                parser.showHelp(2);
            writeResources(parser.value(resourcesOption), pages[0], pages[1]);
        }
    } catch (const ArtError &error) {
        std::fprintf(stderr, "kelmora-art: %s\n", qUtf8Printable(error.message));
        return 1;
    }
    return 0;
}
