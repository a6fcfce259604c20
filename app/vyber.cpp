// SPDX-License-Identifier: MIT
#include "vyber.h"

#include "catalogue.h"

namespace kelmora {

bool Vyber::isSelected(int characterRow) const
{
    const QString &flag = characterRow <= kSmallRows ? m_cells[characterRow][1]
                                                     : m_cells[characterRow - kSmallRows][2];
    return flag != QLatin1String("n");
}

void Vyber::markUnusedCells()
{
    for (int row = 25; row <= kSmallRows; ++row)
        m_cells[row][2] = QStringLiteral("n");
}

void Vyber::clear()
{
    m_cells = {};
}

Vyber &vyber()
{
    static Vyber flags;
    return flags;
}

} // namespace kelmora
