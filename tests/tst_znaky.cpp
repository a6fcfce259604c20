// The character pictures in znaky/, the generator that draws them and the pictures compiled in.
#include "artwork.h"
#include "catalogue.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString built(const QString &fileName)
{
    return QCoreApplication::applicationDirPath() + u"/znaky/"_s + fileName;
}

// Pixels whose grey differs from the corner's by over 96 are ink; counts ink of a not in b.
int inkNotIn(const QImage &a, const QImage &b = QImage())
{
    const auto ink = [](const QImage &p, int x, int y) {
        return std::abs(qGray(p.pixel(x, y)) - qGray(p.pixel(0, 0))) > 96;
    };
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += ink(a, x, y) && (b.isNull() || !ink(b, x, y));
    }
    return count;
}

int distance(int row, int other, const char *suffix)
{
    const QImage a(built(kelmora::pictureBaseName(row) + QLatin1String(suffix)));
    const QImage b(built(kelmora::pictureBaseName(other) + QLatin1String(suffix)));
    return inkNotIn(a, b) + inkNotIn(b, a);
}

// Runs kelmora-art; the exit code, -1 when it did not finish, and its error output.
std::pair<int, QString> generate(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(KELMORA_ART), arguments);
    const bool finished =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {finished ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestZnaky : public QObject
{
    Q_OBJECT

private slots:
    // A GIF89a and a JPEG of 80 × 100 with some ink for every row.
    void pictures()
    {
        for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
            for (const char *format : {"gif", "jpeg"}) {
                QImageReader reader(built(kelmora::pictureBaseName(row) +
                                          (format[0] == 'g' ? u".gif"_s : u".jpg"_s)));
                QVERIFY2(reader.format() == format, qPrintable(reader.fileName()));
                const QImage picture = reader.read();
                QCOMPARE(picture.size(), QSize(80, 100));
                QVERIFY(inkNotIn(picture) > 0);
            }
        }
        QFile gif(built(u"m01.gif"_s));
        QVERIFY(gif.open(QIODevice::ReadOnly) && gif.read(6) == "GIF89a");
    }

    // Each variant form looks more like its own letter than like the other variant's, yet differs
    // from it by over a fifth of its ink.
    void variants()
    {
        for (const char *suffix : {".gif", ".jpg"}) {
            QVERIFY(distance(26, 8, suffix) < distance(26, 10, suffix));
            QVERIFY(distance(27, 10, suffix) < distance(27, 8, suffix));
            for (const auto &[variant, letter] : {std::pair{25, 18}, {26, 8}, {27, 10}})
                QVERIFY(distance(variant, letter, suffix) >
                        inkNotIn(QImage(
                            built(kelmora::pictureBaseName(letter) + QLatin1String(suffix)))) /
                            5);
        }
    }

    // Byte for byte the pictures of the build, also when only some rows are drawn.
    void deterministic()
    {
        QTemporaryDir dir;
        const auto [code, errors] =
            generate({u"--letters"_s, dir.path(), u"--rows"_s, u"1,8,26,51"_s});
        QVERIFY2(code == 0, qPrintable(errors));
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 8);
        for (const QString &file : files) {
            QFile a(dir.filePath(file));
            QFile b(built(file));
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(), qPrintable(file));
        }
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1: a folder, %2: a help page of `text`
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        const QStringList row27{u"--letters"_s, u"%1"_s, u"--rows"_s, u"27"_s};
        QTest::addRow("font without ϑ")
            << row27 + QStringList{u"--printed-font"_s, u"GFS Neohellenic"_s} << QString()
            << "ϑ (U+03D1)";
        QTest::addRow("font not installed")
            << row27 + QStringList{u"--handwritten-font"_s, u"No Such Sans"_s} << QString()
            << "not installed";
        const QStringList page{u"--resources"_s, u"%1"_s, u"%2"_s, u"%2"_s};
        const QString paragraph = u"Program ukáže obrázek znaku a vy napíšete jeho název.\n\n"_s;
        QTest::addRow("column too long")
            << page << u"# Nápověda\n---\n"_s + paragraph.repeated(40) + u">> Dál\n"_s
            << "column 2";
        QTest::addRow("character the font lacks")
            << page << u"# Nápověda\nZnak 漢\n>> Dál\n"_s << "U+6F22";
    }

    // What cannot be drawn right stops the generator with a message naming it.
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QFile page(dir.filePath(u"page.txt"_s));
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write(text.toUtf8()) >= 0);
        page.close();
        const auto [code, errors] =
            generate(arguments.replaceInStrings(u"%1"_s, dir.filePath(u"out"_s))
                         .replaceInStrings(u"%2"_s, page.fileName()));
        QVERIFY2(code > 0 && errors.contains(error), qPrintable(errors));
    }

    void compiledIn()
    {
        using namespace kelmora::artwork;
        QCOMPARE(QImage(kHelpPage1).size(), QSize(621, 509));
        QCOMPARE(QImage(kHelpPage2).size(), QSize(621, 509));
        QCOMPARE(QImage(kEnter).size(), QSize(22, 26));
        QCOMPARE(QImage(kRuka).size() + QImage(kKurzor).size(), QSize(64, 64));
    }
};

QTEST_MAIN(TestZnaky)
#include "tst_znaky.moc"
