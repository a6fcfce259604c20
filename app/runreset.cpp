// SPDX-License-Identifier: MIT
#include "runreset.h"

#include "vyber.h"

namespace kelmora {

int resetRun(const Vyber &flags, Tabznaku &tabznaku)
{
    int count = 0;
    for (int row = 1; row <= kCharacterRows; ++row) {
        const bool selected = flags.isSelected(row);
        tabznaku.states[row] = selected ? kPending : kNotInRun;
        count += selected;
    }
    // Rows 52..54 hold no character, whatever a loaded list file left in their cells.
    for (int row = kCharacterRows + 1; row <= kCharacterRows + 3; ++row)
        tabznaku.states[row] = kNotInRun;
    return count;
}

} // namespace kelmora
