// The pictures compiled into every executable that links kelmora_artwork.
#include "artwork.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTest>

using namespace kelmora::artwork;

namespace {

// What the blocks of a GIF file say about its layout.
struct GifLayout {
    bool wellFormed = false;
    QByteArray signature;
    QSize screen;
    bool globalTable = false;
    int globalColours = 0;
    QList<QRect> frames;
    bool interlaced = false;
    int controlExtensions = 0;
    bool transparency = false;
    bool controlBeforeFrame = false;
};

class ByteReader
{
public:
    explicit ByteReader(const QByteArray &data)
        : m_data(data)
    {}

    bool atEnd() const { return m_pos >= m_data.size(); }
    bool failed() const { return m_failed; }

    int byte()
    {
        if (atEnd()) {
            m_failed = true;
            return 0;
        }
        return quint8(m_data[m_pos++]);
    }

    int word()
    {
        const int low = byte();
        return low | byte() << 8;
    }

    QByteArray bytes(int count)
    {
        if (m_pos + count > m_data.size()) {
            m_failed = true;
            return {};
        }
        m_pos += count;
        return m_data.mid(m_pos - count, count);
    }

    // Data sub-blocks up to the empty one that ends them.
    QByteArray subBlocks()
    {
        QByteArray joined;
        for (int size = byte(); size > 0 && !m_failed; size = byte())
            joined += bytes(size);
        return joined;
    }

private:
    const QByteArray &m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

GifLayout parseGif(const QByteArray &data)
{
    GifLayout gif;
    ByteReader reader(data);
    gif.signature = reader.bytes(6);
    gif.screen.setWidth(reader.word());
    gif.screen.setHeight(reader.word());
    const int flags = reader.byte();
    reader.bytes(2); // background colour, aspect ratio
    gif.globalTable = flags & 0x80;
    if (gif.globalTable) {
        gif.globalColours = 2 << (flags & 7);
        reader.bytes(3 * gif.globalColours);
    }
    while (!reader.failed()) {
        const int introducer = reader.byte();
        if (introducer == 0x3b) { // trailer
            gif.wellFormed = reader.atEnd();
            break;
        }
        if (introducer == 0x21) {
            const int label = reader.byte();
            const QByteArray body = reader.subBlocks();
            if (label == 0xf9) {
                ++gif.controlExtensions;
                gif.transparency = body.size() == 4 && (body[0] & 1);
                gif.controlBeforeFrame = gif.frames.isEmpty();
            }
        } else if (introducer == 0x2c) {
            const int left = reader.word();
            const int top = reader.word();
            const int width = reader.word();
            const int height = reader.word();
            gif.frames << QRect(left, top, width, height);
            const int imageFlags = reader.byte();
            gif.interlaced = gif.interlaced || (imageFlags & 0x40);
            if (imageFlags & 0x80)
                reader.bytes(3 * (2 << (imageFlags & 7)));
            reader.byte(); // LZW code size
            reader.subBlocks();
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
    void cursor_data();
    void cursor();
};

void TestArtwork::resource_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addRow("help page 1") << QString(kHelpPage1) << QSize(621, 509);
    QTest::addRow("help page 2") << QString(kHelpPage2) << QSize(621, 509);
    QTest::addRow("enter") << QString(kEnter) << QSize(22, 26);
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
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QCOMPARE(QImage(path).size(), size);
    QCOMPARE(QPixmap(path).size(), size);
}

void TestArtwork::helpPageLayout_data()
{
    QTest::addColumn<QString>("path");
    QTest::addRow("page 1") << QString(kHelpPage1);
    QTest::addRow("page 2") << QString(kHelpPage2);
}

void TestArtwork::helpPageLayout()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const GifLayout gif = parseGif(file.readAll());
    QVERIFY(gif.wellFormed);
    QCOMPARE(gif.signature, QByteArray("GIF89a"));
    QCOMPARE(gif.screen, QSize(621, 509));
    QVERIFY(gif.globalTable);
    QCOMPARE(gif.globalColours, 256);
    QCOMPARE(gif.frames, QList<QRect>{QRect(QPoint(0, 0), gif.screen)});
    QVERIFY(!gif.interlaced);
    QCOMPARE(gif.controlExtensions, 1);
    QVERIFY(gif.controlBeforeFrame);
    QVERIFY(!gif.transparency);
}

void TestArtwork::cursor_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::addRow("hand") << QString(kRuka) << kRukaHotSpot;
    QTest::addRow("picture") << QString(kKurzor) << kKurzorHotSpot;
}

// The hot spot sits on the drawn tip, and the shape stands on a transparent ground.
void TestArtwork::cursor()
{
    QFETCH(QString, path);
    QFETCH(QPoint, hotSpot);
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(image.rect().contains(hotSpot));
    QVERIFY(image.pixelColor(hotSpot).alpha() >= 128);

    int transparent = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            transparent += image.pixelColor(x, y).alpha() == 0;
    }
    QVERIFY(transparent > image.width() * image.height() / 3);
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
