#pragma once

class QImage;

namespace kelmora::art {

// A small likeness of the selection window, with the hand over the "malé" heading.
QImage drawSelectionSketch();

} // namespace kelmora::art
