// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

class QImage;

namespace kelmora::art {

// A small likeness of the selection window, with the hand over the "malé" heading.
// It is 270 × 172 times ratio pixels, for screens of that device pixel ratio.
QImage drawSelectionSketch(qreal ratio = 1);

} // namespace kelmora::art
