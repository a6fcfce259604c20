// SPDX-License-Identifier: MIT
#pragma once

#include "lettering.h"

namespace kelmora::art {

// The handwritten set (".jpg"): pen strokes read from a text file, one line a character (the
// format is told at the top of psaci.txt), written in dark blue ink on paper with a slight
// slant and a hand's small irregularities, the same on every run.
class HandPainter : public CharacterPainter
{
public:
    // Throws ArtError when the file cannot be read or parsed, or lacks any of the 51 characters.
    explicit HandPainter(const QString &strokesPath);

    QImage draw(int row, qreal zoom = 1) const override;

private:
    QList<QPainterPath> m_strokes; // index row - 1; picture pixels, y down from the baseline
};

} // namespace kelmora::art
