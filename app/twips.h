// SPDX-License-Identifier: MIT
#pragma once

namespace kelmora {

// Outer heights and tops of the main window are kept in twips, 15 to a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kBottomMarginTwips = 500;

// The top that keeps a window of the given height 500 twips above the screen's bottom edge.
constexpr int keptOnScreenTop(int top, int height, int screenBottom)
{
    return top + height + kBottomMarginTwips > screenBottom
               ? screenBottom - kBottomMarginTwips - height
               : top;
}

} // namespace kelmora
