// The pictures compiled into every executable that links kelmora_artwork.
#include "artwork.h"

#include <QFile>
#include <QImage>
#include <QTest>

using namespace kelmora::artwork;

namespace {

// What the blocks of a GIF file say about its layout.
struct GifLayout {
    bool wellFormed = false;
    QByteArray signature;
    QSize screen;
    int globalColours = 0; // 0: no global colour table
    QList<QRect> frames;
    bool interlaced = false;
    int controlExtensions = 0;
    bool transparency = false;
    bool controlBeforeFrame = false;
};

GifLayout parseGif(const QByteArray &data)
{
    GifLayout gif;
    qsizetype pos = 0;
    bool failed = false;
    const auto bytes = [&](int count) {
        failed = failed || pos + count > data.size();
        pos += count;
        return failed ? QByteArray() : data.mid(pos - count, count);
    };
    const auto byte = [&] {
        const QByteArray one = bytes(1);
        return one.isEmpty() ? 0 : int(quint8(one[0]));
    };
    const auto word = [&] {
        const int low = byte();
        return low | byte() << 8;
    };
    // Data sub-blocks up to the empty one that ends them.
    const auto subBlocks = [&] {
        QByteArray joined;
        for (int size = byte(); size > 0 && !failed; size = byte())
            joined += bytes(size);
        return joined;
    };

    gif.signature = bytes(6);
    gif.screen.setWidth(word());
    gif.screen.setHeight(word());
    const int flags = byte();
    bytes(2); // background colour, pixel ratio
    if (flags & 0x80) {
        gif.globalColours = 2 << (flags & 7);
        bytes(3 * gif.globalColours);
    }
    while (!failed) {
        const int introducer = byte();
        if (introducer == 0x3b) { // trailer
            gif.wellFormed = !failed && pos == data.size();
            break;
        }
        if (introducer == 0x21) {
            const int label = byte();
            const QByteArray body = subBlocks();
            if (label == 0xf9) {
                ++gif.controlExtensions;
                gif.transparency = body.size() == 4 && (body[0] & 1);
                gif.controlBeforeFrame = gif.frames.isEmpty();
            }
        } else if (introducer == 0x2c) {
            const int left = word();
            const int top = word();
            const int width = word();
            const int height = word();
            gif.frames << QRect(left, top, width, height);
            const int imageFlags = byte();
            gif.interlaced = gif.interlaced || (imageFlags & 0x40);
            if (imageFlags & 0x80)
                bytes(3 * (2 << (imageFlags & 7)));
            byte(); // LZW code size
            subBlocks();
        } else {
            break;
        }
    }
    return gif;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void resource_data();
    void resource();
    void helpPageLayout_data();
    void helpPageLayout();
};

void TestArtwork::resource_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addRow("help page 1") << QString(kHelpPage1) << QSize(621, 509);
    QTest::addRow("help page 2") << QString(kHelpPage2) << QSize(621, 509);
    QTest::addRow("enter") << QString(kEnter) << QSize(22, 26);
    QTest::addRow("help page 1 @2x") << doubleSizePath(kHelpPage1) << QSize(1242, 1018);
    QTest::addRow("enter @2x") << doubleSizePath(kEnter) << QSize(44, 52);
    QTest::addRow("hand cursor") << QString(kRuka) << QSize(32, 32);
    QTest::addRow("picture cursor") << QString(kKurzor) << QSize(32, 32);
    QTest::addRow("icon") << QString(kIcon) << QSize(256, 256);
    QTest::addRow("window icon") << QString(kWindowIcon) << QSize(32, 32);
}

// Linking the library is enough to have the pictures; nothing needs initialising.
void TestArtwork::resource()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QCOMPARE(QImage(path).size(), size);
}

void TestArtwork::helpPageLayout_data()
{
    QTest::addColumn<QString>("path");
    QTest::addRow("page 1") << QString(kHelpPage1);
    QTest::addRow("page 2") << QString(kHelpPage2);
}

// One whole-page frame, not interlaced, opaque, in 256 colours of a GIF89a file.
void TestArtwork::helpPageLayout()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const GifLayout gif = parseGif(file.readAll());
    QVERIFY(gif.wellFormed);
    QCOMPARE(gif.signature, QByteArray("GIF89a"));
    QCOMPARE(gif.screen, QSize(621, 509));
    QCOMPARE(gif.globalColours, 256);
    QCOMPARE(gif.frames, QList<QRect>{QRect(QPoint(0, 0), gif.screen)});
    QVERIFY(!gif.interlaced);
    QCOMPARE(gif.controlExtensions, 1);
    QVERIFY(gif.controlBeforeFrame);
    QVERIFY(!gif.transparency);
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
