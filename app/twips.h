// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <algorithm>

namespace kelmora {

// Outer heights and tops of the main window are kept in twips, 15 to a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kBottomMarginTwips = 500;

// The top that keeps a window of the given height 500 twips above the screen's bottom.
constexpr int keptOnScreenTop(int top, int height, int screenHeight)
{
    return top + height + kBottomMarginTwips > screenHeight
               ? screenHeight - kBottomMarginTwips - height
               : top;
}

// A twips value stored in a 16-bit variable.
constexpr qint16 clampToInt16(int twips)
{
    return qint16(std::clamp(twips, -32768, 32767));
}

} // namespace kelmora
