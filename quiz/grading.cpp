// SPDX-License-Identifier: MIT
#include "grading.h"

#include "random.h"

#include <algorithm>
#include <limits>

namespace kelmora {

qint16 gradeRight(qint16 state)
{
    if (state == kPending)
        return 2;
    if (state >= 2 && state <= 5)
        return state - 1;
    return state; // A stays A; a second verdict must not make it pending again
}

qint16 gradeWrong(qint16 state)
{
    if (state == kPending)
        return 4;
    if (state >= 1 && state <= 5)
        return qMin<qint16>(state + 1, 5);
    return state;
}

Tally recount(const Tabznaku &tabznaku)
{
    Tally tally;
    for (int row = 1; row <= kCharacterRows; ++row) {
        const qint16 state = tabznaku.states[row];
        if (state == kPending)
            ++tally.zbyva;
        else if (state >= 1 && state <= 5)
            ++tally.znamka[state];
    }
    return tally;
}

bool isEligible(qint16 state)
{
    return state == kPending || (state > 1 && state < kNotInRun);
}

int drawRow(const Tabznaku &tabznaku, RandomSource &random)
{
    const auto first = tabznaku.states.begin() + 1;
    if (std::none_of(first, first + kCharacterRows, isEligible))
        return 0;
    int row;
    do {
        row = random.pick(kCharacterRows) + 1;
    } while (!isEligible(tabznaku.states[row]));
    return row;
}

void countVerdict(qint16 &count)
{
    if (count < std::numeric_limits<qint16>::max())
        ++count;
}

} // namespace kelmora
