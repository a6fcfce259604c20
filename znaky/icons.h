// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

class QImage;

namespace kelmora::art {

// Each picture is its size times ratio pixels, for screens of that device pixel ratio.
QImage drawEnterKey(qreal ratio = 1);   // 22 × 26: a key with a return arrow, for an answer
QImage drawHandCursor(qreal ratio = 1); // 32 × 32: white hand, black outline, index finger up
QImage drawPictureCursor();             // 32 × 32: arrow pointer over a small picture card
QImage drawAppIcon(int size);           // size × size: a Greek letter on a rounded tile,
                                        // simplified for small sizes

} // namespace kelmora::art
