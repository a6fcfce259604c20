// The character pictures in znaky/ and the generator that draws them.
#include "catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QSize kPictureSize(80, 100);

// Pixels whose grey level differs from the picture's corner by this much are ink.
constexpr int kInkContrast = 96;

QString builtPicture(const QString &fileName) {
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/znaky"))
        .filePath(fileName);
}

QImage readPicture(const QString &path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

bool isInk(const QImage &picture, int x, int y) {
    return std::abs(qGray(picture.pixel(x, y)) - qGray(picture.pixel(0, 0))) > kInkContrast;
}

QRect inkBounds(const QImage &picture) {
    QRect bounds;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (isInk(picture, x, y))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

int inkArea(const QImage &picture) {
    int area = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            area += isInk(picture, x, y);
    }
    return area;
}

// Pixels that are ink in one picture and not in the other.
int inkDifference(const QImage &a, const QImage &b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            differing += isInk(a, x, y) != isInk(b, x, y);
    }
    return differing;
}

struct Run {
    int exitCode;
    QString errors;
};

Run runGenerator(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(KELMORA_ART), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("kelmora-art did not finish")};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QStringList helpTexts() {
    return {QStringLiteral(KELMORA_HELP_DIR "/strana1.txt"),
            QStringLiteral(KELMORA_HELP_DIR "/strana2.txt")};
}

// Every file below folder, by path relative to it.
QStringList filesBelow(const QString &folder) {
    QStringList files;
    const QDir root(folder);
    for (const QFileInfo &info :
         root.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (info.isDir()) {
            for (const QString &inner : filesBelow(info.filePath()))
                files << info.fileName() + u'/' + inner;
        } else {
            files << info.fileName();
        }
    }
    return files;
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestZnaky : public QObject {
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
    void variantsDiffer_data();
    void variantsDiffer();
    void letteringsDiffer_data();
    void letteringsDiffer();
    void generatorIsDeterministic_data();
    void generatorIsDeterministic();
    void generatorRedrawsBuiltPictures();
    void missingGlyphFails_data();
    void missingGlyphFails();
    void helpPageText_data();
    void helpPageText();
};

void TestZnaky::picture_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("format");
    for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
        const QString base = kelmora::pictureBaseName(row);
        QTest::addRow("%s.gif", qPrintable(base))
            << base + QStringLiteral(".gif") << QByteArray("gif");
        QTest::addRow("%s.jpg", qPrintable(base))
            << base + QStringLiteral(".jpg") << QByteArray("jpeg");
    }
}

void TestZnaky::picture() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, format);
    const QString path = builtPicture(fileName);
    QVERIFY2(QFile::exists(path), qPrintable(path));

    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage picture = reader.read().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(picture.size(), kPictureSize);
    if (format == "gif")
        QCOMPARE(contents(path).left(6), QByteArray("GIF89a"));

    // The character is large, centred and clear of the edges.
    const QRect ink = inkBounds(picture);
    QVERIFY2(std::max(ink.width(), ink.height()) >= 40, qPrintable(fileName));
    QVERIFY(QRect(2, 2, kPictureSize.width() - 4, kPictureSize.height() - 4).contains(ink));
    const QPointF offset = QRectF(ink).center() - QRectF(picture.rect()).center();
    QVERIFY2(std::abs(offset.x()) <= 3 && std::abs(offset.y()) <= 3,
             qPrintable(QStringLiteral("%1 is off centre by %2, %3")
                            .arg(fileName)
                            .arg(offset.x())
                            .arg(offset.y())));
}

void TestZnaky::variantsDiffer_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("suffix");
    const QString suffixes[] = {QStringLiteral(".gif"), QStringLiteral(".jpg")};
    for (const QString &suffix : suffixes) {
        QTest::addRow("théta%s", qPrintable(suffix)) << 8 << 26 << suffix;
        QTest::addRow("kappa%s", qPrintable(suffix)) << 10 << 27 << suffix;
        QTest::addRow("sigma%s", qPrintable(suffix)) << 18 << 25 << suffix;
    }
}

// The variant forms must not be mistaken for their letters: a good part of the ink differs
// (a fifth of the smaller ink area; printed θ and ϑ, the closest pair, differ by 30 %).
void TestZnaky::variantsDiffer() {
    QFETCH(int, row);
    QFETCH(int, variant);
    QFETCH(QString, suffix);
    const QImage letter = readPicture(builtPicture(kelmora::pictureBaseName(row) + suffix));
    const QImage other = readPicture(builtPicture(kelmora::pictureBaseName(variant) + suffix));
    QVERIFY(!letter.isNull() && !other.isNull());
    QVERIFY(inkDifference(letter, other) > std::min(inkArea(letter), inkArea(other)) / 5);
}

void TestZnaky::letteringsDiffer_data() {
    QTest::addColumn<int>("row");
    for (int row = 1; row <= kelmora::kCharacterRows; ++row)
        QTest::addRow("%s", qPrintable(kelmora::pictureBaseName(row))) << row;
}

// Printed and handwritten pictures of one character are drawn in clearly different hands.
void TestZnaky::letteringsDiffer() {
    QFETCH(int, row);
    const QString base = kelmora::pictureBaseName(row);
    const QImage printed = readPicture(builtPicture(base + QStringLiteral(".gif")));
    const QImage handwritten = readPicture(builtPicture(base + QStringLiteral(".jpg")));
    QVERIFY(!printed.isNull() && !handwritten.isNull());
    QVERIFY(inkDifference(printed, handwritten) >
            std::min(inkArea(printed), inkArea(handwritten)) / 5);
}

void TestZnaky::generatorIsDeterministic_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addRow("character pictures")
        << QStringList{QStringLiteral("--letters"), QStringLiteral("%1"), QStringLiteral("--rows"),
                       QStringLiteral("1,8,26,51")};
    QTest::addRow("resources") << QStringList{QStringLiteral("--resources"), QStringLiteral("%1")} +
                                      helpTexts();
}

void TestZnaky::generatorIsDeterministic() {
    QFETCH(QStringList, arguments);
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid() && second.isValid());
    for (const QTemporaryDir *folder : {&first, &second}) {
        QStringList filled = arguments;
        filled.replaceInStrings(QStringLiteral("%1"), folder->path());
        const Run run = runGenerator(filled);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    }
    const QStringList files = filesBelow(first.path());
    QVERIFY(!files.isEmpty());
    QCOMPARE(filesBelow(second.path()), files);
    for (const QString &file : files)
        QVERIFY2(contents(first.filePath(file)) == contents(second.filePath(file)),
                 qPrintable(file));
}

// A later run, drawing only some rows, gives byte for byte the pictures of the build.
void TestZnaky::generatorRedrawsBuiltPictures() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const Run run = runGenerator({QStringLiteral("--letters"), folder.path(),
                                  QStringLiteral("--rows"), QStringLiteral("10,27,28")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    const QStringList files = filesBelow(folder.path());
    QCOMPARE(files.size(), 6);
    for (const QString &file : files)
        QVERIFY2(contents(folder.filePath(file)) == contents(builtPicture(file)), qPrintable(file));
}

void TestZnaky::missingGlyphFails_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("picture");   // of row 27, which the run is asked to draw
    QTest::addColumn<QStringList>("named"); // in the message when the run fails

    const QString printed = QStringLiteral("--printed-font");
    const QString handwritten = QStringLiteral("--handwritten-font");
    QTest::addRow("font with every glyph") << handwritten << QStringLiteral("DejaVu Sans")
                                           << QStringLiteral("m27.jpg") << QStringList();
    QTest::addRow("no ϑ, no ϰ") << printed << QStringLiteral("GFS Neohellenic")
                                << QStringLiteral("m27.gif")
                                << QStringList{QStringLiteral("GFS Neohellenic"),
                                               QStringLiteral("ϑ (U+03D1)"),
                                               QStringLiteral("ϰ (U+03F0)")};
    QTest::addRow("no ϰ") << printed << QStringLiteral("GFS Didot") << QStringLiteral("m27.gif")
                          << QStringList{QStringLiteral("GFS Didot"), QStringLiteral("U+03F0")};
    QTest::addRow("handwritten, no ϑ")
        << handwritten << QStringLiteral("GFS Olga") << QStringLiteral("m27.jpg")
        << QStringList{QStringLiteral("GFS Olga"), QStringLiteral("U+03D1")};
    QTest::addRow("not installed")
        << printed << QStringLiteral("Kelmora No Such Sans") << QStringLiteral("m27.gif")
        << QStringList{QStringLiteral("Kelmora No Such Sans"), QStringLiteral("not installed")};
}

// A font without a character's glyph stops the run instead of drawing another font's glyph.
void TestZnaky::missingGlyphFails() {
    QFETCH(QString, option);
    QFETCH(QString, family);
    QFETCH(QString, picture);
    QFETCH(QStringList, named);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const Run run = runGenerator({QStringLiteral("--letters"), folder.path(),
                                  QStringLiteral("--rows"), QStringLiteral("27"), option, family});
    QCOMPARE(run.exitCode != 0, !named.isEmpty());
    QCOMPARE(QFile::exists(folder.filePath(picture)), named.isEmpty());
    for (const QString &text : named)
        QVERIFY2(run.errors.contains(text), qPrintable(run.errors));
}

void TestZnaky::helpPageText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // empty when the page is drawn

    const QString title = QStringLiteral("# Nápověda\n");
    const QString caption = QStringLiteral(">> Dál\n");
    const QString paragraph =
        QStringLiteral("Program ukáže obrázek znaku a vy napíšete jeho název.\n\n");
    QTest::addRow("short page") << title + paragraph + QStringLiteral("---\n- bod\n") + caption
                                << QString();
    QTest::addRow("left column too long")
        << title + paragraph.repeated(40) + caption << QStringLiteral("column 1");
    QTest::addRow("right column too long")
        << title + paragraph + QStringLiteral("---\n") + paragraph.repeated(40) + caption
        << QStringLiteral("column 2");
    QTest::addRow("word wider than a column")
        << title + QStringLiteral("ž").repeated(80) + u'\n' + caption << QStringLiteral("column 1");
    QTest::addRow("title wider than the page")
        << QStringLiteral("# ") + QStringLiteral("Dlouhý nadpis ").repeated(8) + u'\n' + caption
        << QStringLiteral("wider than the page");
    QTest::addRow("third column") << title + QStringLiteral("a\n---\nb\n---\nc\n") + caption
                                  << QStringLiteral("two columns");
    QTest::addRow("no caption") << title + paragraph << QStringLiteral(">> caption");
    QTest::addRow("unknown picture")
        << title + QStringLiteral("Obrázek {kočka}\n") + caption << QStringLiteral("{kočka}");
    QTest::addRow("character the font lacks")
        << title + QStringLiteral("Znak 漢\n") + caption << QStringLiteral("U+6F22");
}

void TestZnaky::helpPageText() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString page = folder.filePath(QStringLiteral("strana.txt"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();

    const QString output = folder.filePath(QStringLiteral("out"));
    const Run run = runGenerator({QStringLiteral("--resources"), output, page, page});
    QCOMPARE(run.exitCode != 0, !error.isEmpty());
    QVERIFY2(run.errors.contains(error), qPrintable(run.errors));
    const QImage drawn(output + QStringLiteral("/help/strana1.gif"));
    QCOMPARE(drawn.isNull(), !error.isEmpty());
}

QTEST_MAIN(TestZnaky)
#include "tst_znaky.moc"
