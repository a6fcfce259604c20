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

#include <numeric>

namespace {

QString builtFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/znaky");
}

QImage readPicture(const QString &fileName)
{
    return QImage(QDir(builtFolder()).filePath(fileName)).convertToFormat(QImage::Format_RGB32);
}

// Pixels whose grey level differs from the picture's corner by this much are ink.
bool isInk(const QImage &picture, int x, int y)
{
    return std::abs(qGray(picture.pixel(x, y)) - qGray(picture.pixel(0, 0))) > 96;
}

// Pixels that are ink in a and, if b is given, not in b.
int inkNotIn(const QImage &a, const QImage &b = QImage())
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += isInk(a, x, y) && (b.isNull() || !isInk(b, x, y));
    }
    return count;
}

struct Run {
    int exitCode;
    QString errors;
};

Run runGenerator(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(KELMORA_ART), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("kelmora-art did not finish")};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

// Every file below folder, by path relative to it.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    for (const QFileInfo &info :
         QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!info.isDir()) {
            files << info.fileName();
            continue;
        }
        for (const QString &inner : filesBelow(info.filePath()))
            files << info.fileName() + u'/' + inner;
    }
    return files;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestZnaky : public QObject
{
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
    void picturesDiffer_data();
    void picturesDiffer();
    void generatorIsDeterministic_data();
    void generatorIsDeterministic();
    void missingGlyphFails_data();
    void missingGlyphFails();
    void helpPageText_data();
    void helpPageText();
    void handwrittenHeights_data();
    void handwrittenHeights();
};

void TestZnaky::picture_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("zoom");
    for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
        for (const char *size : {"", "@2x"}) {
            const QString base = kelmora::pictureBaseName(row) + QLatin1String(size);
            QTest::addRow("%s.gif", qPrintable(base))
                << base + QStringLiteral(".gif") << QByteArray("gif") << (*size ? 2 : 1);
            QTest::addRow("%s.jpg", qPrintable(base))
                << base + QStringLiteral(".jpg") << QByteArray("jpeg") << (*size ? 2 : 1);
        }
    }
}

void TestZnaky::picture()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, format);
    QFETCH(int, zoom);
    const QString path = QDir(builtFolder()).filePath(fileName);

    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage picture = reader.read();
    QCOMPARE(picture.size(), QSize(80, 100) * zoom);
    QVERIFY(inkNotIn(picture) > 0);
    if (format == "gif")
        QCOMPARE(contents(path).left(6), QByteArray("GIF89a"));
}

void TestZnaky::picturesDiffer_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    for (const char *suffix : {".gif", ".jpg"}) {
        const auto add = [suffix](const char *name, int row, int variant) {
            QTest::addRow("%s%s", name, suffix)
                << kelmora::pictureBaseName(row) + QLatin1String(suffix)
                << kelmora::pictureBaseName(variant) + QLatin1String(suffix);
        };
        add("théta", 8, 26);
        add("kappa", 10, 27);
        add("sigma", 18, 25);
    }
    QTest::addRow("alfa printed and handwritten")
        << QStringLiteral("m01.gif") << QStringLiteral("m01.jpg");
}

// The variant forms must not be mistaken for their letters, nor the handwritten pictures
// for the printed ones: a fifth of the smaller ink area differs (printed θ and ϑ, the closest
// pair, differ by 30 %).
void TestZnaky::picturesDiffer()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    const QImage a = readPicture(first);
    const QImage b = readPicture(second);
    QVERIFY(!a.isNull() && !b.isNull());
    QVERIFY(inkNotIn(a, b) + inkNotIn(b, a) > std::min(inkNotIn(a), inkNotIn(b)) / 5);
}

void TestZnaky::generatorIsDeterministic_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("againstBuild"); // else against a second run

    QTest::addRow("character pictures")
        << QStringList{QStringLiteral("--letters"), QStringLiteral("%1"), QStringLiteral("--rows"),
                       QStringLiteral("1,8,26,51")}
        << true;
    QTest::addRow("resources") << QStringList{QStringLiteral("--resources"), QStringLiteral("%1"),
                                              QStringLiteral(KELMORA_HELP_DIR "/strana1.txt"),
                                              QStringLiteral(KELMORA_HELP_DIR "/strana2.txt")}
                               << false;
}

// Byte for byte the same files every time, also when only some rows are drawn.
void TestZnaky::generatorIsDeterministic()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, againstBuild);
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid() && second.isValid());
    for (int i = 0; i < (againstBuild ? 1 : 2); ++i) {
        QStringList filled = arguments;
        filled.replaceInStrings(QStringLiteral("%1"), (i ? second : first).path());
        const Run run = runGenerator(filled);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
    }
    const QString reference = againstBuild ? builtFolder() : second.path();
    const QStringList files = filesBelow(first.path());
    QCOMPARE(files.size(), againstBuild ? 16 : filesBelow(reference).size());
    for (const QString &file : files) {
        QVERIFY2(contents(first.filePath(file)) == contents(QDir(reference).filePath(file)),
                 qPrintable(file));
    }
}

void TestZnaky::missingGlyphFails_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("family");    // for --strokes: the file's text
    QTest::addColumn<QString>("picture");   // of row 27, which the run is asked to draw
    QTest::addColumn<QStringList>("named"); // in the message when the run fails

    const QString printed = QStringLiteral("--printed-font");
    const QString strokes = QStringLiteral("--strokes");
    QTest::addRow("font with every glyph")
        << printed << QStringLiteral("DejaVu Sans") << QStringLiteral("m27.gif") << QStringList();
    QTest::addRow("no ϑ, no ϰ") << printed << QStringLiteral("GFS Neohellenic")
                                << QStringLiteral("m27.gif")
                                << QStringList{QStringLiteral("GFS Neohellenic"),
                                               QStringLiteral("ϑ (U+03D1)"),
                                               QStringLiteral("ϰ (U+03F0)")};
    QTest::addRow("strokes of α alone")
        << strokes << QStringLiteral("α M 0 0 L 9 9\n") << QStringLiteral("m27.jpg")
        << QStringList{QStringLiteral("ϑ (U+03D1)"), QStringLiteral("Ω (U+03A9)")};
    QTest::addRow("not installed")
        << printed << QStringLiteral("Kelmora No Such Sans") << QStringLiteral("m27.gif")
        << QStringList{QStringLiteral("Kelmora No Such Sans"), QStringLiteral("not installed")};
}

// A font without a character's glyph, or strokes without a character, stop the run instead of
// drawing another font's glyph or none.
void TestZnaky::missingGlyphFails()
{
    QFETCH(QString, option);
    QFETCH(QString, family);
    QFETCH(QString, picture);
    QFETCH(QStringList, named);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (option == u"--strokes") {
        QFile file(folder.filePath(QStringLiteral("strokes.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(family.toUtf8()) > 0);
        family = file.fileName();
    }
    const Run run = runGenerator({QStringLiteral("--letters"), folder.path(),
                                  QStringLiteral("--rows"), QStringLiteral("27"), option, family});
    QCOMPARE(run.exitCode != 0, !named.isEmpty());
    QCOMPARE(QFile::exists(folder.filePath(picture)), named.isEmpty());
    for (const QString &text : named)
        QVERIFY2(run.errors.contains(text), qPrintable(run.errors));
}

void TestZnaky::helpPageText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // empty when the page is drawn

    const QString title = QStringLiteral("# Nápověda\n");
    const QString caption = QStringLiteral(">> Dál\n");
    const QString paragraph =
        QStringLiteral("Program ukáže obrázek znaku a vy napíšete jeho název.\n\n");
    QTest::addRow("short page") << title + paragraph + QStringLiteral("---\n- bod\n") + caption
                                << QString();
    QTest::addRow("column too long")
        << title + paragraph + QStringLiteral("---\n") + paragraph.repeated(40) + caption
        << QStringLiteral("column 2");
    QTest::addRow("character the font lacks")
        << title + QStringLiteral("Znak 漢\n") + caption << QStringLiteral("U+6F22");
}

// Text that would not fit, or not show, stops the run instead of being cut off.
void TestZnaky::helpPageText()
{
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
    QCOMPARE(QImage(output + QStringLiteral("/help/strana1.gif")).isNull(), !error.isEmpty());
}

void TestZnaky::handwrittenHeights_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("low"); // ink height in pixels of the 80 × 100 picture
    QTest::addColumn<int>("high");
    QList<int> capitals(24);
    std::iota(capitals.begin(), capitals.end(), 28);
    QTest::addRow("capitals") << capitals << 60 << 66;
    // Small letters with neither ascender nor descender.
    QTest::addRow("x-height") << QList<int>{1, 5, 9, 10, 13, 15, 16, 18, 19, 20, 24, 27} << 38
                              << 44;
}

// One hand writes every capital to one height and every small letter to one x-height.
void TestZnaky::handwrittenHeights()
{
    QFETCH(QList<int>, rows);
    QFETCH(int, low);
    QFETCH(int, high);
    for (const int row : rows) {
        const QImage picture = readPicture(kelmora::pictureBaseName(row) + QStringLiteral(".jpg"));
        QList<int> inked; // lines with ink
        for (int y = 0; y < picture.height(); ++y) {
            if (inkNotIn(picture.copy(0, y, picture.width(), 1)) > 0)
                inked << y;
        }
        const int height = inked.last() - inked.first() + 1;
        QVERIFY2(height >= low && height <= high,
                 qPrintable(QStringLiteral("row %1: %2 px").arg(row).arg(height)));
    }
}

QTEST_MAIN(TestZnaky)
#include "tst_znaky.moc"
