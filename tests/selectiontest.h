#pragma once

#include "grlist.h"
#include "vyber.h"

#include <QBuffer>
#include <QFile>
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

// The list as writeList() writes it; empty if it failed.
inline QByteArray writtenBytes(const kelmora::Vyber &flags)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return kelmora::writeList(flags, buffer) ? buffer.data() : QByteArray();
}

// A file's content; empty if it cannot be read.
inline QByteArray fileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
