// SPDX-License-Identifier: MIT
#pragma once

#include "catalogue.h"

namespace kelmora {

class Vyber;

// Turns the selection into run states: selected rows pending, the rest (rows 1..54)
// out of the run. Returns the number of characters in the run.
int resetRun(const Vyber &flags, Tabznaku &tabznaku);

} // namespace kelmora
