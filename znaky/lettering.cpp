// SPDX-License-Identifier: MIT
#include "lettering.h"

#include "catalogue.h"
#include "fonts.h"
#include "imagefiles.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace kelmora::art {

namespace {

constexpr QSizeF kRoom(kPictureSize.width() - 12, kPictureSize.height() - 12);
constexpr int kOutlinePixels = 200;
constexpr int kJpegQuality = 92;

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

void CharacterPainter::write(const QList<int> &rows, const QString &folder) const
{
    for (const int row : rows) {
        writeBothSizes([&](qreal zoom) { return draw(row, zoom); },
                       QDir(folder).filePath(kelmora::pictureBaseName(row) + m_suffix),
                       kJpegQuality);
    }
}

LetterPainter::LetterPainter(const QString &family)
    : CharacterPainter(QStringLiteral(".gif"))
{
    QFont font(family);
    font.setPixelSize(kOutlinePixels);
    font = requireFont(font, letters());

    m_scale = kRoom.height();
    for (int row = 1; row <= kelmora::kCharacterRows; ++row) {
        QPainterPath outline;
        outline.addText(0, 0, font, letter(row));
        m_scale = std::min(m_scale, kRoom.height() / outline.boundingRect().height());
        m_outlines << outline;
    }
}

QImage LetterPainter::draw(int row, qreal zoom) const
{
    QImage image(kPictureSize * zoom, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QPainterPath &outline = m_outlines.at(row - 1);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = outline.boundingRect();
    // One size for all, except that the few widest capitals shrink to fit.
    const qreal scale = std::min(m_scale, kRoom.width() / box.width());
    painter.setTransform(centring(box, QRectF(image.rect()).center(), scale * zoom));
    painter.fillPath(outline, Qt::black);
    return image;
}

} // namespace kelmora::art
