// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>
#include <QTransform>

namespace kelmora::art {

// A failure that stops the generator; main() prints the message and exits non-zero.
struct ArtError {
    QString message;
};

// A character as messages name it: "ϑ (U+03D1)".
QString characterName(char32_t c);

// font without fallback to other families. Throws ArtError unless its family is
// installed and has a glyph of its own for every character of text.
QFont requireFont(QFont font, const QString &text);

// DejaVu Sans at pixels, the face of the help pages and their sketches; see requireFont.
QFont helpFont(int pixels, bool bold, const QString &text);

// Scales by scale about the centre of bounds and moves that centre onto centre.
QTransform centring(const QRectF &bounds, const QPointF &centre, qreal scale);

} // namespace kelmora::art
