// SPDX-License-Identifier: MIT
#include "grlist.h"

#include "catalogue.h"
#include "vyber.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmora {

namespace {

using Error = GrlistResult::Error;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Splits at CR LF, LF or a lone CR; a last line without its end still counts.
QList<QByteArrayView> splitLines(QByteArrayView bytes)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && !isLineEnd(bytes[end]))
            ++end;
        lines.append(bytes.sliced(start, end - start));
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

// The line that was being read when the device failed after these bytes.
int failingLine(QByteArrayView partial)
{
    const bool atLineStart = partial.isEmpty() || isLineEnd(partial.back());
    return int(splitLines(partial).size()) + (atLineStart ? 1 : 0);
}

GrlistResult failure(Error error, int line = 0, int systemError = 0, QByteArray lineText = {})
{
    GrlistResult result;
    result.error = error;
    result.line = line;
    result.systemError = systemError;
    result.lineText = std::move(lineText);
    return result;
}

GrlistResult notRegularFile(mode_t mode)
{
    GrlistResult result = failure(Error::NotRegularFile);
    result.fileType = mode & S_IFMT;
    return result;
}

const QLatin1String kSuffix(".grlist");

// A written list: 54 lines of 6 characters and CR LF.
constexpr qint64 kListBytes = 54 * 8;

// Writes all the bytes; returns 0, or the errno of the write that failed after `written` bytes.
int writeAll(int fd, QByteArrayView bytes, qint64 &written)
{
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, size_t(bytes.size() - written));
        if (n < 0 && errno != EINTR)
            return errno;
        written += std::max<ssize_t>(n, 0);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Whether fd is no longer the regular file that stat saw at its name; then it is closed.
std::optional<GrlistResult> notTheFileSeen(int fd, const struct stat &seen)
{
    struct stat opened = {};
    std::optional<GrlistResult> refused;
    if (::fstat(fd, &opened) != 0)
        refused = failure(Error::OpenFailed, 0, errno);
    else if (!S_ISREG(opened.st_mode))
        refused = notRegularFile(opened.st_mode);
    else if (opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino)
        refused = failure(Error::Swapped);
    if (refused)
        ::close(fd);
    return refused;
}

// Up to n characters of a line from pos on; empty beyond its end.
QByteArrayView part(QByteArrayView line, qsizetype pos, qsizetype n)
{
    if (pos >= line.size())
        return {};
    return line.sliced(pos, std::min(n, line.size() - pos));
}

QByteArray listBytes(const Vyber &flags)
{
    QByteArray text;
    for (const auto &[letter, column] : {std::pair{'m', 1}, std::pair{'v', 2}}) {
        for (int row = 1; row <= kSmallRows; ++row) {
            text += QStringLiteral("%1-%2-%3\r\n")
                        .arg(QLatin1Char(letter))
                        .arg(row, 2, 10, QLatin1Char('0'))
                        .arg(flags.cell(row, column))
                        .toLatin1();
        }
    }
    return text;
}

// An existing list, emptied and written again; a failure tells what it then holds.
GrlistResult writeInPlace(const QByteArray &bytes, const QByteArray &name, const struct stat &seen,
                          GrlistResult result)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.systemError = errno;
        result.error = Error::OpenFailed;
        return result;
    }
    if (std::optional<GrlistResult> refused = notTheFileSeen(fd, seen)) {
        refused->existed = true;
        return *refused;
    }
    qint64 written = 0;
    int writeError = ::ftruncate(fd, 0) == 0 ? 0 : errno;
    if (writeError == 0) {
        writeError = writeAll(fd, bytes, written);
        result.heldBytes = written;
    }
    if (::close(fd) != 0 && writeError == 0)
        writeError = errno;
    if (writeError != 0) {
        result.error = Error::WriteFailed;
        result.systemError = writeError;
    }
    return result;
}

} // namespace

bool writeList(const Vyber &flags, QIODevice &device)
{
    const QByteArray text = listBytes(flags);
    return device.write(text) == text.size();
}

GrlistResult readList(Vyber &flags, QIODevice &device)
{
    // The whole file is looked at before any flag changes.
    QByteArray bytes;
    char chunk[4096];
    while (bytes.size() <= kMaxListSize) {
        const qint64 got = device.read(chunk, sizeof chunk);
        if (got < 0)
            return failure(Error::ReadFailed, failingLine(bytes));
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    if (bytes.size() > kMaxListSize)
        return failure(Error::TooLarge);
    if (bytes.contains('\0'))
        return failure(Error::WrongEncoding);

    // Only "m" and "v" change the column, so it stays within 0..2.
    int column = 0;
    const QList<QByteArrayView> lines = splitLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        if (line.startsWith('m'))
            column = 1;
        else if (line.startsWith('v'))
            column = 2;
        const std::optional<int> row = listRow(part(line, 2, 2));
        if (!row)
            return failure(Error::RowOutOfRange, int(i + 1), 0, line.toByteArray());
        flags.setCell(*row, column, QString::fromLatin1(part(line, 5, 1)));
    }
    return {};
}

std::optional<int> listRow(QByteArrayView numberText)
{
    // Blanks may stand anywhere, even between digits.
    QByteArray text;
    for (char c : numberText) {
        if (c != ' ' && c != '\t')
            text += c;
    }
    const auto digitsEnd = [&text](qsizetype pos) {
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        return pos;
    };

    // [sign] digits [. digits], with at least one digit.
    qsizetype pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    qsizetype end = digitsEnd(pos);
    bool hasDigits = end > pos;
    if (end < text.size() && text[end] == '.') {
        const qsizetype fractionEnd = digitsEnd(end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits)
        return 0;
    QByteArray number = text.left(end);

    // An exponent ("E" or "D") counts only with a digit after it.
    if (end < text.size() && QByteArrayView("eEdD").contains(text[end])) {
        qsizetype exponentStart = end + 1;
        if (exponentStart < text.size() &&
            (text[exponentStart] == '+' || text[exponentStart] == '-'))
            ++exponentStart;
        const qsizetype exponentEnd = digitsEnd(exponentStart);
        if (exponentEnd > exponentStart)
            number += 'e' + text.mid(end + 1, exponentEnd - end - 1);
    }

    // Fails only beyond a double's range, which two characters never reach. The default
    // rounding mode takes halves to even.
    bool ok = false;
    const double value = std::nearbyint(number.toDouble(&ok));
    if (!ok || value < 0 || value > Vyber::kRows - 1)
        return std::nullopt;
    return int(value);
}

QString listNameToSave(const QString &typed)
{
    return typed.endsWith(kSuffix, Qt::CaseInsensitive) ? typed : typed + kSuffix;
}

QString listNameToLoad(const QString &typed)
{
    return QFileInfo::exists(typed) ? typed : listNameToSave(typed);
}

GrlistResult saveListFile(const Vyber &flags, const QString &fileName)
{
    const QByteArray bytes = listBytes(flags);
    GrlistResult result;
    // Each failure keeps the errno of the call that failed.
    const auto fail = [&result](Error error, int systemError) {
        result.error = error;
        result.systemError = systemError;
        return result;
    };
    QByteArray name = QFile::encodeName(fileName);
    struct stat seen = {};
    if (::stat(name.constData(), &seen) == 0) {
        if (!S_ISREG(seen.st_mode))
            return notRegularFile(seen.st_mode);
        result.existed = true;
        // The list a link leads to is the one replaced; the link stays.
        if (char *target = ::realpath(name.constData(), nullptr)) {
            name = target;
            ::free(target);
        }
        if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0)
            return fail(Error::OpenFailed, errno);
    } else if (errno != ENOENT) {
        return fail(Error::CreateFailed, errno);
    }

    // A short name of its own, so that a name near the limit is not refused for the copy's sake.
    QByteArray copy;
    int fd = -1, createError = EEXIST;
    for (int tries = 0; createError == EEXIST && tries < 100; ++tries) {
        copy = name.left(name.lastIndexOf('/') + 1) + ".grlist-" +
               QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(copy.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        createError = fd < 0 ? errno : 0;
    }
    if (fd < 0) {
        // A list the user may write, in a folder they may not, is written in place.
        if (result.existed && (createError == EACCES || createError == EPERM))
            return writeInPlace(bytes, name, seen, result);
        return fail(Error::CreateFailed, createError);
    }
    // A replaced list keeps its permissions.
    int writeError = result.existed && ::fchmod(fd, seen.st_mode & 07777) != 0 ? errno : 0;
    qint64 written = 0;
    if (writeError == 0)
        writeError = writeAll(fd, bytes, written);
    if (::close(fd) != 0 && writeError == 0)
        writeError = errno;
    if (writeError != 0) {
        ::unlink(copy.constData());
        return fail(Error::WriteFailed, writeError);
    }
    if (::rename(copy.constData(), name.constData()) != 0) {
        const int renameError = errno;
        ::unlink(copy.constData());
        return fail(result.existed ? Error::ReplaceFailed : Error::CreateFailed, renameError);
    }
    return result;
}

GrlistResult loadListFile(Vyber &flags, const QString &fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    struct stat seen = {};
    if (::stat(name.constData(), &seen) != 0)
        return failure(Error::OpenFailed, 0, errno);
    // A device or a pipe is never opened: opening alone acts on some of them.
    if (!S_ISREG(seen.st_mode))
        return notRegularFile(seen.st_mode);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(Error::OpenFailed, 0, errno);
    if (std::optional<GrlistResult> refused = notTheFileSeen(fd, seen))
        return *refused;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failure(Error::OpenFailed);
    }
    return readList(flags, file);
}

namespace {

// The cause of a failed system call, in the user's words.
QString systemReason(int systemError)
{
    switch (systemError) {
    case ENOENT:
    case ENOTDIR: return QStringLiteral("soubor nebo složka neexistuje");
    case EACCES:
    case EPERM: return QStringLiteral("chybí oprávnění k souboru nebo ke složce");
    case EROFS: return QStringLiteral("disk je jen pro čtení");
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return QStringLiteral("na disku není dost místa");
    case ENAMETOOLONG: return QStringLiteral("název souboru je příliš dlouhý");
    case EISDIR: return QStringLiteral("nejde o obyčejný soubor");
    default: return QStringLiteral("chyba čtení nebo zápisu na disku");
    }
}

// What stands at a name instead of a regular file.
QString fileKind(unsigned fileType)
{
    switch (fileType) {
    case S_IFDIR: return QStringLiteral("složku");
    case S_IFIFO: return QStringLiteral("pojmenovanou rouru");
    case S_IFSOCK: return QStringLiteral("soket");
    case S_IFCHR:
    case S_IFBLK: return QStringLiteral("zařízení");
    default: return QStringLiteral("zvláštní soubor");
    }
}

// Enough of a line to recognise it.
QString shownLine(const QByteArray &line)
{
    constexpr qsizetype kShown = 40;
    const QString text = QString::fromUtf8(line);
    return text.size() <= kShown ? text : text.left(kShown) + QChar(u'…');
}

} // namespace

QString failureText(const GrlistResult &result, bool saving)
{
    // What became of the flags, or of the file at that name.
    const QString after = !saving                 ? QStringLiteral(" Výběr zůstal beze změny.")
                          : result.heldBytes == 0 ? QStringLiteral(" Soubor je teď prázdný.")
                          : result.heldBytes > 0 && result.heldBytes < kListBytes
                              ? QStringLiteral(" Soubor teď obsahuje jen část nového seznamu.")
                          : result.heldBytes > 0 ? QStringLiteral(" Soubor může být neúplný.")
                          : result.existed       ? QStringLiteral(" Soubor zůstal, jak byl.")
                          : result.error == Error::WriteFailed
                              ? QStringLiteral(" Žádný soubor nevznikl.")
                              : QString();
    const QString reason = systemReason(result.systemError);
    switch (result.error) {
    case Error::None: return {};
    case Error::OpenFailed:
        return (saving ? QStringLiteral("Soubor nelze otevřít pro zápis: %1.")
                       : QStringLiteral("Soubor nelze otevřít: %1."))
                   .arg(reason) +
               after;
    case Error::CreateFailed:
        return (result.existed ? QStringLiteral("Novou verzi souboru nelze vytvořit: %1.")
                               : QStringLiteral("Soubor nelze vytvořit: %1."))
                   .arg(reason) +
               after;
    case Error::WriteFailed: return QStringLiteral("Soubor nelze zapsat: %1.").arg(reason) + after;
    case Error::ReplaceFailed:
        return QStringLiteral("Soubor nelze nahradit novou verzí: %1.").arg(reason) + after;
    case Error::Swapped:
        return QStringLiteral("Soubor byl mezi prohlédnutím a otevřením nahrazen jiným.") + after;
    case Error::ReadFailed:
        return QStringLiteral("Čtení selhalo na řádku %1: %2.")
                   .arg(result.line)
                   .arg(systemReason(EIO)) +
               after;
    case Error::NotRegularFile:
        return QStringLiteral("Nejde o obyčejný soubor, ale o %1.").arg(fileKind(result.fileType)) +
               after;
    case Error::TooLarge:
        return QStringLiteral("Nejde o seznam řeckých znaků: soubor je větší než 64 KiB.") + after;
    case Error::WrongEncoding:
        return QStringLiteral("Nejde o seznam řeckých znaků: soubor obsahuje nulový bajt, "
                              "nejspíš je v jiném kódování (například UTF-16). Seznam je "
                              "prostý text.") +
               after;
    case Error::RowOutOfRange:
        return QStringLiteral("Řádek %1 („%2“) uvádí číslo mimo rozsah 0 až 30. "
                              "Řádky před ním se načetly.")
            .arg(result.line)
            .arg(shownLine(result.lineText));
    }
    Q_UNREACHABLE();
}

} // namespace kelmora
