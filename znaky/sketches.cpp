// SPDX-License-Identifier: MIT
#include "sketches.h"

#include "artwork.h"
#include "fonts.h"
#include "icons.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <iterator>

namespace kelmora::art {

namespace {

void drawCheckBox(QPainter &painter, const QPointF &topLeft, bool ticked)
{
    painter.setPen(QColor(0x70, 0x78, 0x84));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(topLeft, QSizeF(12, 12)));
    if (!ticked)
        return;
    painter.setPen(QPen(QColor(0x10, 0x10, 0x10), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(
        QPolygonF{topLeft + QPointF(2.5, 6), topLeft + QPointF(5, 9), topLeft + QPointF(9.5, 3)});
}

void drawButton(QPainter &painter, const QRectF &box, const QColor &fill, const QString &caption)
{
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.setBrush(fill);
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, caption);
}

} // namespace

QImage drawSelectionSketch(qreal ratio)
{
    constexpr qreal kFirstRow = 78;
    struct Row {
        const char *name;
        bool capital;
        bool small;
    };
    const Row rows[] = {{"alfa", true, true},
                        {"beta", true, true},
                        {"gama", false, true},
                        {"delta", true, false},
                        {"epsilon", true, true}};
    const QString title = QStringLiteral("Nastavení");
    const QString heading = QStringLiteral("Výběr znaků pro zkoušení");
    const QString capitals = QStringLiteral("velké");
    const QString smalls = QStringLiteral("malé");
    const QStringList buttons{QStringLiteral("Uložit"), QStringLiteral("Načíst"),
                              QStringLiteral("Použít")};

    QImage image(QSize(270, 172) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame =
        QRectF(QPointF(), image.deviceIndependentSize()).adjusted(0.5, 0.5, -0.5, -0.5);

    QLinearGradient bar(0, 0, 0, 20);
    bar.setColorAt(0, QColor(0xe4, 0xea, 0xf3));
    bar.setColorAt(1, QColor(0xc9, 0xd3, 0xe2));
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRectF(frame.left(), frame.top(), frame.width(), 20), bar);
    painter.fillRect(QRectF(frame.left(), 20, frame.width(), frame.height() - 20),
                     QColor(0xf0, 0xf0, 0xf0));
    painter.setPen(QColor(0x80, 0x8a, 0x99));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.drawLine(QPointF(frame.left(), 20.5), QPointF(frame.right(), 20.5));

    painter.setFont(helpFont(11, true, title + heading + capitals + smalls + buttons.join(u' ')));
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(QRectF(8, 0, 200, 20), Qt::AlignVCenter, title);
    painter.setPen(QColor(0, 0, 192));
    painter.drawText(QRectF(8, 25, 180, 16), Qt::AlignVCenter, heading);
    painter.setPen(QColor(192, 0, 0));
    painter.drawText(QRectF(56, 44, 40, 16), Qt::AlignRight | Qt::AlignVCenter, capitals);
    painter.drawText(QRectF(104, 44, 40, 16), Qt::AlignLeft | Qt::AlignVCenter, smalls);
    const qreal smallsEnd = 104 + QFontMetricsF(painter.font()).horizontalAdvance(smalls);

    const QColor orange(255, 224, 192);
    const QColor cyan(192, 255, 255);
    drawButton(painter, QRectF(196.5, 26.5, 64, 19), orange, buttons[0]);
    drawButton(painter, QRectF(196.5, 48.5, 64, 19), orange, buttons[1]);
    drawButton(painter, QRectF(196.5, 76.5, 64, 19), cyan, buttons[2]);

    QString names;
    for (const Row &row : rows)
        names += QString::fromUtf8(row.name);
    const QFont nameFont = helpFont(11, false, names + QStringLiteral("…"));
    for (int i = 0; i < int(std::size(rows)); ++i) {
        const qreal y = kFirstRow + 16 * i;
        const QString name = QString::fromUtf8(rows[i].name);
        painter.setFont(nameFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(8, y, 70, 14), Qt::AlignRight | Qt::AlignVCenter, name);
        painter.drawText(QRectF(122, y, 70, 14), Qt::AlignLeft | Qt::AlignVCenter, name);
        drawCheckBox(painter, QPointF(84.5, y + 1.5), rows[i].capital);
        drawCheckBox(painter, QPointF(104.5, y + 1.5), rows[i].small);
    }
    painter.setPen(Qt::black);
    painter.drawText(QRectF(8, kFirstRow + 16 * std::size(rows), 70, 12), Qt::AlignRight,
                     QStringLiteral("…"));

    // The fingertip touches the end of "malé"; the hand stays right of the word and above
    // the rows, hiding none of their letters.
    painter.drawImage(QPointF(smallsEnd + 2, 52) - QPointF(artwork::kRukaHotSpot),
                      drawHandCursor(ratio));
    return image;
}

} // namespace kelmora::art
