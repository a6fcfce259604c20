// SPDX-License-Identifier: MIT
// The character pictures that the generator draws into znaky/.
#include "catalogue.h"

#include <QBitmap>
#include <QImageReader>
#include <QPainter>
#include <QRegion>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString built(int row, const QString &suffix)
{
    return QCoreApplication::applicationDirPath() + u"/znaky/"_s + kelmora::pictureBaseName(row) +
           suffix;
}

// Summed grey differences at 16 × 20, so coarse that two drawings of one letter meet where a
// pen's thin strokes miss each other; against the bare paper (the corner's colour) by default.
int distance(const QImage &a, QImage b = QImage())
{
    if (b.isNull())
        (b = a).fill(a.pixelColor(0, 0));
    const QImage p = a.scaled(16, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage q = b.scaled(16, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int sum = 0;
    for (int i = 0; i < 16 * 20; ++i)
        sum += std::abs(qGray(p.pixel(i % 16, i / 16)) - qGray(q.pixel(i % 16, i / 16)));
    return sum;
}

// Its ink alone, cut out and stretched to 80 × 100: a picture's, or a letter's as drawn here in
// DejaVu Sans.
QImage shape(QImage image, QChar letter = {})
{
    if (!letter.isNull()) {
        image = QImage(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(QFont(u"DejaVu Sans"_s, 60));
        painter.drawText(image.rect(), Qt::AlignCenter, letter);
    }
    const QImage ink = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    return ink.copy(QRegion(QBitmap::fromImage(ink)).boundingRect())
        .scaled(80, 100)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestZnaky : public QObject
{
    Q_OBJECT

private slots:
    // A GIF and a JPEG of 80 × 100 for every row, and the same letters at 160 × 200;
    // the handwritten capitals stand one cap height tall (their ink's box, in 80 × 100 pixels);
    // each printed letter is, in the shape of its ink, nearest its own among those of its case.
    void pictures()
    {
        const QString letters = u"αβγδεζηθικλμνξοπρστυφχψωςϑϰΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ"_s;
        for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
            for (const QString &suffix : {u".gif"_s, u".jpg"_s, u"@2x.gif"_s, u"@2x.jpg"_s}) {
                const int zoom = suffix.startsWith(u'@') ? 2 : 1;
                QImageReader reader(built(row, suffix));
                QVERIFY(reader.format() == (suffix.endsWith(u"gif") ? "gif" : "jpeg"));
                const QImage image = reader.read();
                QVERIFY(image.size() == QSize(80, 100) * zoom &&
                        distance(image, QImage(built(row, suffix.right(4)))) < distance(image) / 5);
                const QImage ink = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
                const int height = QRegion(QBitmap::fromImage(ink)).boundingRect().height() / zoom;
                QVERIFY2(row < 28 || suffix.endsWith(u"gif") || (height >= 60 && height <= 66),
                         qPrintable(u"%1: %2 px"_s.arg(reader.fileName()).arg(height)));
            }
            const QImage printed = shape(QImage(built(row, u".gif"_s)));
            for (int other = row > 27 ? 28 : 1; other <= (row > 27 ? 51 : 27); ++other)
                QVERIFY2(other == row || distance(printed, shape({}, letters[row - 1])) <
                                             distance(printed, shape({}, letters[other - 1])),
                         qPrintable(u"row %1 looks like row %2"_s.arg(row).arg(other)));
        }
    }

    // Each handwritten variant form looks more like its own letter than like the other variant's,
    // yet differs from it by over a fifth of its ink.
    void variants()
    {
        const auto picture = [](int row) { return QImage(built(row, u".jpg"_s)); };
        QVERIFY(distance(picture(26), picture(8)) < distance(picture(26), picture(10)));
        QVERIFY(distance(picture(27), picture(10)) < distance(picture(27), picture(8)));
        for (const auto &[variant, letter] : {std::pair{25, 18}, {26, 8}, {27, 10}})
            QVERIFY(distance(picture(variant), picture(letter)) > distance(picture(letter)) / 5);
    }
};

QTEST_MAIN(TestZnaky)
#include "tst_znaky.moc"
