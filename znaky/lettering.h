#pragma once

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QString>

class QImage;

namespace kelmora::art {

// Character of row 1..51: α … ω, then ς ϑ ϰ, then Α … Ω.
QString letter(int row);

// One set of character pictures: the font and colours they are drawn with and their file type.
struct Lettering {
    QString family;
    bool italic;
    QColor ink;
    QColor paper;
    QString suffix;
    qreal waver = 0;    // amplitude of a hand's unsteadiness, in ems
    qreal tilt = 0;     // largest turn of a character off the upright, in degrees
    qreal penWidth = 0; // ink spreading around the outline, in picture pixels
};

Lettering printedLettering();     // ".gif": upright sans, black on white
Lettering handwrittenLettering(); // ".jpg": pen-written italic, dark blue ink on paper

// Draws the characters of one lettering, all at one size so that small and capital forms
// keep their proportions; the tallest character just fits the 80 × 100 picture.
class LetterPainter
{
public:
    // Throws ArtError when the font lacks any of the 51 characters.
    explicit LetterPainter(const Lettering &lettering);

    // The picture of a row, 80 × 100 times zoom, with the character centred.
    QImage draw(int row, qreal zoom = 1) const;

    // Writes the pictures of rows into folder as m01 … v24 with the lettering's suffix.
    void write(const QList<int> &rows, const QString &folder) const;

private:
    Lettering m_lettering;
    QList<QPainterPath> m_outlines; // index row - 1
    qreal m_scale = 1;              // picture pixels per outline pixel
};

} // namespace kelmora::art
