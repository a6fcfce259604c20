// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

class QIODevice;

namespace kelmora {

class Vyber;

// Selection list files (".grlist"): 54 lines "m-01-z" … "v-27-n", one byte per character.

// Anything bigger cannot be a selection list (a written one has 432 bytes).
constexpr qint64 kMaxListSize = 64 * 1024;

struct GrlistResult {
    enum class Error {
        None,
        OpenFailed,     // the file could not be opened or created
        ReadFailed,     // the device failed while reading; no flag changed
        WriteFailed,    // writing or committing failed; an existing file is left as it was
        NotRegularFile, // a folder, pipe, socket or device, refused before opening it
        TooLarge,       // over kMaxListSize; no flag changed
        WrongEncoding,  // contains a NUL byte, as UTF-16 text does; no flag changed
        RowOutOfRange   // a line names a row outside 0..30; the lines before it are applied
    };

    Error error = Error::None;
    int line = 0;          // 1-based line of a ReadFailed or RowOutOfRange, else 0
    int systemError = 0;   // errno behind an OpenFailed or WriteFailed, 0 if unknown
    QByteArray lineText;   // the offending line of a RowOutOfRange, as read
    bool existed = false;  // saving: a regular file of that name was there before
    bool inPlace = false;  // saving: written straight into that file, not replaced whole
    unsigned fileType = 0; // the S_IFMT bits of a NotRegularFile

    bool ok() const { return error == Error::None; }
};

// The failure in Czech, for the user: what went wrong, the cause in our own words, and what
// became of the flags or the file. Empty for a success.
QString failureText(const GrlistResult &result, bool saving);

// The flags of column 1 (lines "m-01-…" to "m-27-…") then column 2 ("v-01-…" to "v-27-…"),
// each line ended by CR LF. Returns whether the device took every byte.
bool writeList(const Vyber &flags, QIODevice &device);

// Reads a list into the flags: the column letter ("m" 1, "v" 2, anything else keeps the
// column of the line before, 0 at first), characters 3..4 the row, character 6 the flag,
// stored as read. Lines end with CR LF, LF or CR. Refuses a device that yields more than
// kMaxListSize bytes or a NUL byte before touching any flag.
GrlistResult readList(Vyber &flags, QIODevice &device);

// The row that a line's number text names, or nothing when it lies outside 0..30.
// Blanks are skipped, a decimal number is read up to the first character that cannot
// continue it (no number is 0) and rounded half to even.
std::optional<int> listRow(QByteArrayView numberText);

// writeList through QSaveFile: the file is replaced whole or not at all, except in a folder
// that takes no temporary file beside it, where an existing list is written in place.
GrlistResult saveListFile(const Vyber &flags, const QString &fileName);

// readList from a file. Opens without waiting (a named pipe would wait for a writer) and
// refuses anything but a regular file before reading.
GrlistResult loadListFile(Vyber &flags, const QString &fileName);

} // namespace kelmora
