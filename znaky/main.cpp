// SPDX-License-Identifier: MIT
// kelmora-art: draws Kelmora's pictures at build time.
#include "artwork.h"
#include "catalogue.h"
#include "fonts.h"
#include "handwriting.h"
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

// A comma-separated list of whole numbers from first to last, such as rows or icon sizes.
QList<int> parseNumbers(const QString &list, const QString &what, int first, int last)
{
    QList<int> numbers;
    for (const QString &item : list.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = item.toInt(&ok);
        if (!ok || number < first || number > last)
            throw ArtError{QStringLiteral("bad %1 \"%2\" (%1s are %3 to %4)")
                               .arg(what, item)
                               .arg(first)
                               .arg(last)};
        numbers << number;
    }
    return numbers;
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ArtError{QStringLiteral("%1: %2").arg(path, file.errorString())};
    return QString::fromUtf8(file.readAll());
}

void makeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw ArtError{QStringLiteral("cannot create folder %1").arg(folder)};
}

// Where a resource's picture goes: its resource path below folder.
QString resourceFile(const QString &folder, QLatin1String resource)
{
    const QString path = QDir(folder).filePath(QString(resource).mid(2));
    makeFolder(QFileInfo(path).path());
    return path;
}

// Pictures the help pages may show, drawn for ratio device pixels a pixel: "enter" (the key,
// about as high as a line), "nastavení" (the selection window) and half-size character
// pictures such as "tiskací β" or "psací β".
class HelpPictures
{
public:
    HelpPictures(const QString &strokesPath, qreal ratio)
        : m_handwritten(strokesPath)
        , m_ratio(ratio)
    {}

    QImage operator()(const QString &name) const
    {
        if (name == u"enter") {
            QImage key = drawEnterKey(m_ratio).scaledToHeight(kInlineHeight * m_ratio,
                                                              Qt::SmoothTransformation);
            key.setDevicePixelRatio(m_ratio);
            return key;
        }
        if (name == u"nastavení")
            return drawSelectionSketch(m_ratio);
        const QStringList words = name.split(u' ');
        const int row = words.size() == 2 ? letterRow(words[1]) : 0;
        if (row == 0 || (words[0] != u"tiskací" && words[0] != u"psací"))
            return {};
        const CharacterPainter &lettering = words[0] == u"tiskací"
                                                ? static_cast<const CharacterPainter &>(m_printed)
                                                : m_handwritten;
        QImage picture = lettering.draw(row, 0.5 * m_ratio);
        picture.setDevicePixelRatio(m_ratio);
        QPainter painter(&picture);
        painter.setPen(QPen(QColor(0xa8, 0xb0, 0xbc), 1 / m_ratio));
        painter.drawRect(
            QRectF(QPointF(), picture.deviceIndependentSize())
                .adjusted(0.5 / m_ratio, 0.5 / m_ratio, -0.5 / m_ratio, -0.5 / m_ratio));
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

    LetterPainter m_printed{kPrintedFamily};
    HandPainter m_handwritten;
    qreal m_ratio;
};

void writeResources(const QString &folder, const QString &strokesPath, const QString &page1,
                    const QString &page2)
{
    const QString texts[2] = {readText(page1), readText(page2)};
    const QLatin1String pages[2] = {kelmora::artwork::kHelpPage1, kelmora::artwork::kHelpPage2};
    for (int i = 0; i < 2; ++i) {
        writeBothSizes(
            [&](qreal ratio) {
                return drawHelpPage(texts[i], HelpPictures(strokesPath, ratio), ratio);
            },
            resourceFile(folder, pages[i]));
    }
    writeBothSizes(drawEnterKey, resourceFile(folder, kelmora::artwork::kEnter));
    writeImage(drawHandCursor(), resourceFile(folder, kelmora::artwork::kRuka));
    writeImage(drawPictureCursor(), resourceFile(folder, kelmora::artwork::kKurzor));
    writeImage(drawAppIcon(256), resourceFile(folder, kelmora::artwork::kIcon));
    writeImage(drawAppIcon(32), resourceFile(folder, kelmora::artwork::kWindowIcon));
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
    const QCommandLineOption strokesOption(
        QStringLiteral("strokes"),
        QStringLiteral("Pen strokes of the handwritten .jpg pictures (default: %1).")
            .arg(QStringLiteral(KELMORA_STROKES)),
        QStringLiteral("file"), QStringLiteral(KELMORA_STROKES));
    const QCommandLineOption resourcesOption(
        QStringLiteral("resources"),
        QStringLiteral("Draw the help pages from the two page texts, the enter key, the cursors "
                       "and the icon into <folder>, each at its resource path."),
        QStringLiteral("folder"));
    const QCommandLineOption iconsOption(
        QStringLiteral("icons"),
        QStringLiteral("Draw the program's icon at the --sizes into <folder>/kelmora-<size>.png."),
        QStringLiteral("folder"));
    const QCommandLineOption sizesOption(QStringLiteral("sizes"),
                                         QStringLiteral("Icon sizes in pixels, e.g. 16,256."),
                                         QStringLiteral("list"));
    parser.addOptions({lettersOption, rowsOption, printedOption, strokesOption, resourcesOption,
                       iconsOption, sizesOption});
    parser.addPositionalArgument(QStringLiteral("page1"), QStringLiteral("Text of help page 1."));
    parser.addPositionalArgument(QStringLiteral("page2"), QStringLiteral("Text of help page 2."));
    parser.process(app);

    if (!parser.isSet(lettersOption) && !parser.isSet(resourcesOption) &&
        !parser.isSet(iconsOption))
        parser.showHelp(2);
    try {
        if (parser.isSet(lettersOption)) {
            QList<int> rows;
            for (int row = 1; row <= kelmora::kCharacterRows; ++row)
                rows << row;
            if (parser.isSet(rowsOption))
                rows = parseNumbers(parser.value(rowsOption), QStringLiteral("row"), 1,
                                    kelmora::kCharacterRows);
            const LetterPainter printed(parser.isSet(printedOption) ? parser.value(printedOption)
                                                                    : QString(kPrintedFamily));
            const HandPainter handwritten(parser.value(strokesOption));
            const QString folder = parser.value(lettersOption);
            makeFolder(folder);
            printed.write(rows, folder);
            handwritten.write(rows, folder);
        }
        if (parser.isSet(resourcesOption)) {
            const QStringList pages = parser.positionalArguments();
            if (pages.size() != 2)
                parser.showHelp(2);
            writeResources(parser.value(resourcesOption), parser.value(strokesOption), pages[0],
                           pages[1]);
        }
        if (parser.isSet(iconsOption)) {
            const QDir folder(parser.value(iconsOption));
            makeFolder(folder.path());
            for (const int size :
                 parseNumbers(parser.value(sizesOption), QStringLiteral("size"), 16, 1024))
                writeImage(drawAppIcon(size),
                           folder.filePath(QStringLiteral("kelmora-%1.png").arg(size)));
        }
    } catch (const ArtError &error) {
        std::fprintf(stderr, "kelmora-art: %s\n", qUtf8Printable(error.message));
        return 1;
    }
    return 0;
}
