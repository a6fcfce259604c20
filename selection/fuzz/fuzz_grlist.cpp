// SPDX-License-Identifier: MIT
#include "grlist.h"
#include "selectiontest.h"
#include "vyber.h"

#include <QBuffer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace kelmora;

namespace {

// A broken invariant is a crash, so libFuzzer keeps the input.
void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using Error = GrlistResult::Error;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Vyber flags;
    flags.markUnusedCells();
    const QStringList before = vyberCells(flags);

    const GrlistResult result = readBytes(flags, bytes);
    const QStringList after = vyberCells(flags);

    const bool refused = result.error == Error::TooLarge || result.error == Error::WrongEncoding;
    require(!refused || after == before, "a refused file changed flags");
    require(refused == (qint64(size) > kMaxListSize || bytes.contains('\0')),
            "refused exactly the oversized files and those with a NUL byte");
    require(result.ok() || refused || result.error == Error::RowOutOfRange,
            "a buffer fails only by refusal or a row out of range");
    require((result.error == Error::RowOutOfRange) == (result.line > 0),
            "a line number comes with a row out of range only");

    for (int row = 0; row < Vyber::kRows; ++row) {
        for (int column = 0; column < Vyber::kColumns; ++column) {
            const QString &flag = flags.cell(row, column);
            if (flag == before.at(row * Vyber::kColumns + column))
                continue;
            require(column <= 2, "only columns 0..2 are written");
            require(flag.size() <= 1, "a flag is one character or none");
            require(!flag.contains(QLatin1Char('\r')) && !flag.contains(QLatin1Char('\n')),
                    "a flag never holds a line end");
        }
    }

    // Whatever was loaded saves and loads back to the same columns 1 and 2.
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    require(writeList(flags, saved), "writing to a buffer succeeds");
    require(saved.data().size() <= 54 * 8, "a written list has 54 short lines");
    Vyber reloaded;
    require(readBytes(reloaded, saved.data()).ok(), "a written list reads back");
    for (int row = 1; row <= 27; ++row) {
        for (int column = 1; column <= 2; ++column)
            require(reloaded.cell(row, column) == flags.cell(row, column), "round trip");
    }
    return 0;
}
