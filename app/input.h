// SPDX-License-Identifier: MIT
#pragma once

namespace kelmora {

// The rules of keys and clicks, for every control of both windows at once: a held key that
// presses (Space, Enter, Escape) acts once, however long it is held; the second half of a
// double-click is no second click; once a key is pressed, the window shows where the focus is.
// Safe to call more than once.
void installInputRules();

} // namespace kelmora
