// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPainterPath>
#include <QSize>
#include <QString>

class QImage;

namespace kelmora::art {

// Size of a character picture; a second file holds each at twice the size for HiDPI screens.
constexpr QSize kPictureSize{80, 100};

// Character of row 1..51: α … ω, then ς ϑ ϰ, then Α … Ω.
QString letter(int row);

// Draws one set of character pictures and writes them as files of one type.
class CharacterPainter
{
public:
    virtual ~CharacterPainter() = default;

    // The picture of a row, kPictureSize times zoom, with the character centred.
    virtual QImage draw(int row, qreal zoom = 1) const = 0;

    // Writes the pictures of rows into folder as m01 … v24 with the suffix, and each again at
    // twice the size as m01@2x … v24@2x.
    void write(const QList<int> &rows, const QString &folder) const;

protected:
    explicit CharacterPainter(const QString &suffix)
        : m_suffix(suffix)
    {}

private:
    QString m_suffix;
};

// The printed set (".gif"): glyphs of an upright sans, black on white.
class LetterPainter : public CharacterPainter
{
public:
    // All characters at one size, so that small and capital forms keep their proportions;
    // the tallest just fits the picture. Throws ArtError when the font lacks any of the 51.
    explicit LetterPainter(const QString &family);

    QImage draw(int row, qreal zoom = 1) const override;

private:
    QList<QPainterPath> m_outlines; // index row - 1
    qreal m_scale = 1;              // picture pixels per outline pixel
};

inline constexpr QLatin1String kPrintedFamily{"DejaVu Sans"};

} // namespace kelmora::art
