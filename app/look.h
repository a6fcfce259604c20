// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

namespace kelmora {

// The one sans-serif family of Kelmora's windows, at a size in points.
QFont uiFont(qreal points, bool bold);

// A colour given as one number: red + 256 × green + 65536 × blue.
QColor colourFromNumber(int value);

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// Kelmora's colours only read well on a light window: the application takes a light
// palette and a style that paints each button's face in its own colour, whatever the
// desktop's theme or style; every window, Qt's dialogs too, takes Kelmora's font family.
void useKelmoraLook();

} // namespace kelmora
