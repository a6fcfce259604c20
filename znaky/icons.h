#pragma once

class QImage;

namespace kelmora::art {

QImage drawEnterKey();      // 22 × 26: a key with a return arrow, for submitting an answer
QImage drawHandCursor();    // 32 × 32: white hand, black outline, index finger up
QImage drawPictureCursor(); // 32 × 32: arrow pointer over a small picture card
QImage drawAppIcon();       // 256 × 256: a Greek letter on a rounded tile

} // namespace kelmora::art
