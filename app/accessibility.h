// SPDX-License-Identifier: MIT
#pragma once

namespace kelmora {

// Teaches assistive tools Kelmora's own widgets: the main window is a window, a clickable
// picture a button they can press; pictures and buttons act only where a user could reach
// them (shown, enabled, uncovered, not behind a modal window). Safe to call more than once.
void installAccessibility();

} // namespace kelmora
