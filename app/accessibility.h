// SPDX-License-Identifier: MIT
#pragma once

namespace kelmora {

// Teaches assistive tools Kelmora's own widgets: the main window is a window, a clickable
// picture a button they can press. Safe to call more than once.
void installAccessibility();

} // namespace kelmora
