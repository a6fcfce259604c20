// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>

namespace kelmora {

// The program-wide selection flags: rows 0..30, columns 0..4, each empty or a text.
// Column 1 rows 1..27 belong to character rows 1..27, column 2 rows 1..24 to the
// capitals 28..51. Only the exact text "n" deselects.
class Vyber
{
public:
    static constexpr int kRows = 31;
    static constexpr int kColumns = 5;

    const QString &cell(int row, int column) const { return m_cells[row][column]; }
    void setCell(int row, int column, const QString &value) { m_cells[row][column] = value; }

    // Whether character row 1..51 takes part in the next run.
    bool isSelected(int characterRow) const;

    // Marks the three capital-column cells that belong to no character.
    void markUnusedCells();

    // Back to the program's start: every cell empty.
    void clear();

private:
    std::array<std::array<QString, kColumns>, kRows> m_cells;
};

// The one set of flags, shared by the main window and the selection window.
Vyber &vyber();

} // namespace kelmora
