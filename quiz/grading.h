// SPDX-License-Identifier: MIT
#pragma once

#include "catalogue.h"

#include <array>

namespace kelmora {

class RandomSource;

// State of a row after one verdict. Rows outside the run are left as they are.
qint16 gradeRight(qint16 state);
qint16 gradeWrong(qint16 state);

// The recount behind the score: pending rows and rows at each mark A..E (index 1..5).
struct Tally {
    quint8 zbyva = 0;
    std::array<quint8, 6> znamka{};

    // Over when nothing is pending and nothing stands at C, D or E.
    bool runOver() const
    {
        return zbyva == 0 && znamka[3] == 0 && znamka[4] == 0 && znamka[5] == 0;
    }
};

Tally recount(const Tabznaku &tabznaku);

// A row that may be asked: pending or at marks B..E.
bool isEligible(qint16 state);

// Draws rows 1..51 until an eligible one comes up; 0 when no row is eligible.
int drawRow(const Tabznaku &tabznaku, RandomSource &random);

// Adds one verdict to a count that stops at 32767.
void countVerdict(qint16 &count);

} // namespace kelmora
