// The character pictures that the generator draws into znaky/.
#include "catalogue.h"

#include <QImageReader>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString built(const QString &fileName)
{
    return QCoreApplication::applicationDirPath() + u"/znaky/"_s + fileName;
}

QImage picture(int row, const char *suffix)
{
    return QImage(built(kelmora::pictureBaseName(row) + QLatin1String(suffix)));
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
    return inkNotIn(picture(row, suffix), picture(other, suffix)) +
           inkNotIn(picture(other, suffix), picture(row, suffix));
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
            for (const auto &[format, suffix] : {std::pair{"gif", ".gif"}, {"jpeg", ".jpg"}}) {
                QImageReader reader(built(kelmora::pictureBaseName(row) + QLatin1String(suffix)));
                QVERIFY2(reader.format() == format, qPrintable(reader.fileName()));
                const QImage image = reader.read();
                QVERIFY(image.size() == QSize(80, 100) && inkNotIn(image) > 0);
            }
        }
        QFile gif(built(u"m01.gif"_s));
        QVERIFY(gif.open(QIODevice::ReadOnly) && gif.read(6) == "GIF89a");
    }

    // Each variant form looks more like its own letter than like the other variant's, yet
    // differs from it by over a fifth of its ink.
    void variants()
    {
        for (const char *suffix : {".gif", ".jpg"}) {
            QVERIFY(distance(26, 8, suffix) < distance(26, 10, suffix));
            QVERIFY(distance(27, 10, suffix) < distance(27, 8, suffix));
            for (const auto &[variant, letter] : {std::pair{25, 18}, {26, 8}, {27, 10}})
                QVERIFY(distance(variant, letter, suffix) > inkNotIn(picture(letter, suffix)) / 5);
        }
    }
};

QTEST_MAIN(TestZnaky)
#include "tst_znaky.moc"
