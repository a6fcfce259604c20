// SPDX-License-Identifier: MIT
#pragma once

#include "grlist.h"
#include "vyber.h"

#include <QBuffer>
#include <QStringList>

// Helpers shared by the selection tests and the fuzzer.

// Every cell of the flags, row by row, so that two states compare in one go.
inline QStringList vyberCells(const kelmora::Vyber &flags)
{
    QStringList cells;
    for (int row = 0; row < kelmora::Vyber::kRows; ++row) {
        for (int column = 0; column < kelmora::Vyber::kColumns; ++column)
            cells.append(flags.cell(row, column));
    }
    return cells;
}

inline kelmora::GrlistResult readBytes(kelmora::Vyber &flags, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return kelmora::readList(flags, buffer);
}
