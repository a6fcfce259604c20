// SPDX-License-Identifier: MIT
#include "icons.h"

#include "artwork.h"
#include "fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace kelmora::art {

namespace {

const QColor kOutline(0, 0, 0);
const QColor kBlue(0x1f, 0x4e, 0x8c);

QImage transparentImage(int width, int height, qreal ratio = 1)
{
    QImage image(QSize(width, height) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

// The outline of a glyph of font, scaled and centred into box.
QPainterPath glyphIn(const QFont &font, const QString &glyph, const QRectF &box)
{
    QPainterPath outline;
    outline.addText(0, 0, font, glyph);
    const QRectF bounds = outline.boundingRect();
    const qreal scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    return centring(bounds, box.center(), scale).map(outline);
}

QFont serifItalic(const QString &text, int pixels = 200, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(pixels);
    font.setItalic(true);
    font.setBold(bold);
    return requireFont(font, text);
}

} // namespace

QImage drawEnterKey(qreal ratio)
{
    QImage image = transparentImage(22, 26, ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient side(0, 0, 0, 26);
    side.setColorAt(0, QColor(0xc4, 0xca, 0xd4));
    side.setColorAt(1, QColor(0x8e, 0x96, 0xa4));
    painter.setPen(QPen(QColor(0x4a, 0x52, 0x60), 1));
    painter.setBrush(side);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 21, 25), 4, 4);

    QLinearGradient top(0, 2, 0, 21);
    top.setColorAt(0, QColor(0xff, 0xff, 0xff));
    top.setColorAt(1, QColor(0xdf, 0xe4, 0xec));
    painter.setPen(Qt::NoPen);
    painter.setBrush(top);
    painter.drawRoundedRect(QRectF(2.5, 2, 17, 19), 3, 3);

    // The return arrow: down from the top right, then left to the head.
    painter.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF{{15, 5.5}, {15, 13}, {8, 13}});
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBlue);
    painter.drawPolygon(QPolygonF{{4.5, 13}, {9, 9}, {9, 17}});
    return image;
}

QImage drawHandCursor(qreal ratio)
{
    QImage image = transparentImage(32, 32, ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Outlines run through pixel centres so that they stay one pixel sharp; the top of
    // the index finger passes through the hot spot.
    const QPointF tip = QPointF(artwork::kRukaHotSpot) + QPointF(0.5, 0.5);
    const auto part = [&tip](qreal left, qreal top, qreal width, qreal height, qreal radius) {
        QPainterPath path;
        path.addRoundedRect(QRectF(tip + QPointF(left, top), QSizeF(width, height)), radius,
                            radius);
        return path;
    };
    QPainterPath hand = part(-3, 0, 6, 16, 3);       // index finger
    hand = hand.united(part(2, 8, 5, 9, 2.5));       // the three bent fingers,
    hand = hand.united(part(6, 9, 5, 9, 2.5));       // each a little lower
    hand = hand.united(part(10, 10.5, 4.5, 9, 2.5)); // than the one before
    hand = hand.united(part(-3, 12, 17.5, 12, 4));   // palm
    hand = hand.united(part(-8, 11, 8, 6, 3));       // thumb
    hand = hand.united(part(0, 20, 12, 7, 0));       // wrist

    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(hand.simplified());
    // Folds between the bent fingers.
    for (const qreal x : {3.0, 7.0, 11.0})
        painter.drawLine(tip + QPointF(x, 9.5 + x / 4), tip + QPointF(x, 13 + x / 4));
    return image;
}

QImage drawPictureCursor()
{
    QImage image = transparentImage(32, 32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF card(15.5, 13.5, 14, 17);
    painter.setPen(QPen(kBlue, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(card);
    painter.fillPath(
        glyphIn(serifItalic(QStringLiteral("α")), QStringLiteral("α"), card.adjusted(3, 4, -3, -4)),
        kBlue);

    const QPointF tip = QPointF(artwork::kKurzorHotSpot) + QPointF(0.5, 0.5);
    const QPolygonF arrow{tip,
                          tip + QPointF(0, 19),
                          tip + QPointF(4.5, 15),
                          tip + QPointF(7.5, 22),
                          tip + QPointF(10.5, 21),
                          tip + QPointF(7.5, 14),
                          tip + QPointF(13, 14)};
    painter.setPen(QPen(kOutline, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
    return image;
}

QImage drawAppIcon(int size)
{
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = size / 256.0;
    // Below 48 pixels the tile fills the icon, its one-pixel border runs through pixel centres,
    // and the α is bold, larger and hinted to the pixel grid, without shadow: the regular
    // face's thin strokes and the shadow would blur into the tile there.
    const bool small = size < 48;
    const qreal border = small ? 1 : std::round(4 * scale);
    const qreal margin = small ? 0 : std::round(8 * scale);
    const QRectF tile = QRectF(0, 0, size, size)
                            .adjusted(margin + border / 2, margin + border / 2,
                                      -margin - border / 2, -margin - border / 2);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, QColor(0x3f, 0x74, 0xc8));
    fill.setColorAt(1, QColor(0x17, 0x3a, 0x7e));
    painter.setPen(QPen(QColor(0x12, 0x2e, 0x66), border));
    painter.setBrush(fill);
    const qreal radius = small ? std::round(size / 5.0) : 48 * scale;
    painter.drawRoundedRect(tile, radius, radius);

    const QString alfa = QStringLiteral("α");
    if (small) {
        QFont font = serifItalic(alfa, std::lround(size * 1.15), true);
        font.setHintingPreference(QFont::PreferFullHinting);
        const QRect ink = QFontMetrics(font).tightBoundingRect(alfa);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(
            QPoint((size - ink.width()) / 2 - ink.left(), (size - ink.height()) / 2 - ink.top()),
            alfa);
        return image;
    }
    const QPainterPath letter = glyphIn(
        serifItalic(alfa), alfa, tile.adjusted(50 * scale, 58 * scale, -50 * scale, -58 * scale));
    painter.fillPath(letter.translated(QPointF(4, 6) * scale), QColor(0, 0, 0, 70));
    painter.fillPath(letter, Qt::white);
    return image;
}

} // namespace kelmora::art
