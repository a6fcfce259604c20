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
        OpenFailed,     // loading: the file could not be looked at or opened; saving: an
                        // existing list could not be opened for writing
        CreateFailed,   // saving: the new file, or the copy to replace a list, was not made
        ReadFailed,     // the device failed while reading; no flag changed
        WriteFailed,    // writing failed; see existed and heldBytes
        ReplaceFailed,  // saving: the written copy could not take the list's place
        NotRegularFile, // a folder, pipe, socket or device, refused before opening it
        Swapped,        // loading: another file took the name between looking and opening
        TooLarge,       // over kMaxListSize; no flag changed
        WrongEncoding,  // contains a NUL byte, as UTF-16 text does; no flag changed
        RowOutOfRange   // a line names a row outside 0..30; the lines before it are applied
    };

    Error error = Error::None;
    int line = 0;          // 1-based line of a ReadFailed or RowOutOfRange, else 0
    int systemError = 0;   // errno of the call that failed, 0 if unknown
    QByteArray lineText;   // the offending line of a RowOutOfRange, as read
    bool existed = false;  // saving: a regular file of that name was there before
    qint64 heldBytes = -1; // saving in place: what the file holds after a failed write; -1:
                           // it was not emptied yet
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

// The file a name typed for saving stands for: ".grlist" is added unless the name ends with it,
// in any letter case ("3. lekce" becomes "3. lekce.grlist").
QString listNameToSave(const QString &typed);

// The file a name typed for loading stands for: the name as typed where something of that
// name exists, else the name with ".grlist".
QString listNameToLoad(const QString &typed);

// writeList into a copy beside the file, which then replaces it whole (or, for a new list,
// takes its name); nothing is left behind when a step fails. In a folder that takes no new
// file, an existing list the user may write is written in place.
GrlistResult saveListFile(const Vyber &flags, const QString &fileName);

// readList from a file. Anything but a regular file is refused before it is opened; the file
// is opened without waiting and checked to be the regular file that was looked at.
GrlistResult loadListFile(Vyber &flags, const QString &fileName);

} // namespace kelmora
