#include "lettering.h"

#include "catalogue.h"
#include "fonts.h"
#include "imagefiles.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kelmora::art {

namespace {

constexpr QSize kPictureSize{80, 100};
constexpr QSizeF kRoom(kPictureSize.width() - 12, kPictureSize.height() - 12);
constexpr int kOutlinePixels = 200;
constexpr int kJpegQuality = 92;
constexpr qreal kWaverWavelength = 0.45; // ems

// Lets the outline waver like a hand-drawn line: every point moves a little along a smooth
// field, so both edges of a stroke bend together and its width stays.
QPainterPath waver(const QPainterPath &outline, qreal amplitude)
{
    const qreal frequency = 2 * M_PI / (kWaverWavelength * kOutlinePixels);
    const qreal step = 2; // outline pixels between the points that move
    QPainterPath result;
    result.setFillRule(outline.fillRule());
    for (const QPolygonF &polygon : outline.toSubpathPolygons()) {
        QPolygonF moved;
        for (qsizetype i = 0; i + 1 < polygon.size(); ++i) {
            const QPointF a = polygon[i];
            const QPointF b = polygon[i + 1];
            const int parts = std::max(1, int(QLineF(a, b).length() / step));
            for (int k = 0; k < parts; ++k) {
                const QPointF p = a + (b - a) * (qreal(k) / parts);
                moved << p + QPointF(std::sin(p.y() * frequency), std::sin(p.x() * frequency + 1)) *
                                 amplitude;
            }
        }
        result.addPolygon(moved);
        result.closeSubpath();
    }
    return result;
}

const QString &letters()
{
    static const QString all = QStringLiteral("αβγδεζηθικλμνξοπρστυφχψω" // rows 1..24
                                              "ςϑϰ"                      // rows 25..27
                                              "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ");
    return all;
}

} // namespace

QString letter(int row)
{
    return letters().mid(row - 1, 1);
}

Lettering printedLettering()
{
    return {QStringLiteral("DejaVu Sans"), false, QColor(0, 0, 0), QColor(255, 255, 255),
            QStringLiteral(".gif")};
}

Lettering handwrittenLettering()
{
    Lettering lettering{QStringLiteral("DejaVu Serif Condensed"), true, QColor(0x1c, 0x2c, 0x78),
                        QColor(0xfb, 0xf7, 0xea), QStringLiteral(".jpg")};
    lettering.waver = 0.0075;
    lettering.tilt = 4;
    lettering.penWidth = 1.4;
    return lettering;
}

LetterPainter::LetterPainter(const Lettering &lettering)
    : m_lettering(lettering)
{
    QFont font(lettering.family);
    font.setPixelSize(kOutlinePixels);
    font.setItalic(lettering.italic);
    font = requireFont(font, letters());

    m_scale = kRoom.height();
    for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
        QPainterPath outline;
        outline.addText(0, 0, font, letter(row));
        if (lettering.waver > 0)
            outline = waver(outline, lettering.waver * kOutlinePixels);
        // Each character leans its own way, as in handwriting.
        const char32_t code = letter(row).toUcs4().constFirst();
        outline = QTransform().rotate(lettering.tilt * std::sin(2.3 * code)).map(outline);
        const QRectF box = outline.boundingRect();
        m_scale = std::min(m_scale, kRoom.height() / box.height());
        m_outlines << outline;
    }
}

QImage LetterPainter::draw(int row, qreal zoom) const
{
    QImage image(kPictureSize * zoom, QImage::Format_RGB32);
    image.fill(m_lettering.paper);
    const QPainterPath &outline = m_outlines.at(row - 1);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = outline.boundingRect();
    // One size for all, except that the few widest capitals shrink to fit.
    const qreal scale = std::min(m_scale, kRoom.width() / box.width());
    painter.setTransform(centring(box, QRectF(image.rect()).center(), scale * zoom));
    painter.fillPath(outline, m_lettering.ink);
    if (m_lettering.penWidth > 0)
        painter.strokePath(outline, QPen(m_lettering.ink, m_lettering.penWidth / scale,
                                         Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    return image;
}

void LetterPainter::write(const QList<int> &rows, const QString &folder) const
{
    for (const int row : rows) {
        const QString path =
            QDir(folder).filePath(kelmora::pictureBaseName(row) + m_lettering.suffix);
        if (m_lettering.suffix == u".gif")
            writeGif(draw(row), path);
        else
            writeImage(draw(row), path, kJpegQuality);
    }
}

} // namespace kelmora::art
