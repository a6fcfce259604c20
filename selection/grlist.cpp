// SPDX-License-Identifier: MIT
#include "grlist.h"

#include "catalogue.h"
#include "vyber.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QList>
#include <QSaveFile>

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

// Up to n characters of a line from pos on; empty beyond its end.
QByteArrayView part(QByteArrayView line, qsizetype pos, qsizetype n)
{
    if (pos >= line.size())
        return {};
    return line.sliced(pos, std::min(n, line.size() - pos));
}

} // namespace

bool writeList(const Vyber &flags, QIODevice &device)
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

GrlistResult saveListFile(const Vyber &flags, const QString &fileName)
{
    GrlistResult result;
    struct stat before = {};
    if (::stat(QFile::encodeName(fileName).constData(), &before) == 0) {
        if (!S_ISREG(before.st_mode))
            return notRegularFile(before.st_mode);
        result.existed = true;
    }
    QSaveFile file(fileName);
    // A list the user may write, in a folder they may not, is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = Error::OpenFailed;
        result.systemError = errno;
        return result;
    }
    struct stat opened = {};
    result.inPlace = result.existed && ::fstat(file.handle(), &opened) == 0 &&
                     opened.st_dev == before.st_dev && opened.st_ino == before.st_ino;
    // commit() in Qt 6.4 overlooks a failed flush of its buffer and would rename a
    // truncated file into place; flushing first catches the full disk.
    if (!writeList(flags, file) || !file.flush() || !file.commit()) {
        result.error = Error::WriteFailed;
        result.systemError = errno;
    }
    return result;
}

GrlistResult loadListFile(Vyber &flags, const QString &fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int openError = errno;
    // What was opened is what is read; a socket cannot be opened, so its name tells.
    struct stat info = {};
    if ((fd >= 0 ? ::fstat(fd, &info) : ::stat(name.constData(), &info)) == 0 &&
        !S_ISREG(info.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return notRegularFile(info.st_mode);
    }
    if (fd < 0)
        return failure(Error::OpenFailed, 0, openError);
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
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
    const QString unchanged = !saving          ? QStringLiteral(" Výběr zůstal beze změny.")
                              : result.inPlace ? QStringLiteral(" Soubor může být neúplný.")
                              : result.existed ? QStringLiteral(" Soubor zůstal, jak byl.")
                                               : QString();
    switch (result.error) {
    case Error::None: return {};
    case Error::OpenFailed:
        return (!saving          ? QStringLiteral("Soubor nelze otevřít: %1.")
                : result.existed ? QStringLiteral("Soubor nelze uložit: %1.")
                                 : QStringLiteral("Soubor nelze vytvořit: %1."))
                   .arg(systemReason(result.systemError)) +
               unchanged;
    case Error::ReadFailed:
        return QStringLiteral("Čtení selhalo na řádku %1: %2.")
                   .arg(result.line)
                   .arg(systemReason(EIO)) +
               unchanged;
    case Error::WriteFailed:
        return QStringLiteral("Soubor se nepodařilo celý zapsat: %1.")
                   .arg(systemReason(result.systemError)) +
               unchanged;
    case Error::NotRegularFile:
        return QStringLiteral("Nejde o obyčejný soubor, ale o %1.").arg(fileKind(result.fileType)) +
               unchanged;
    case Error::TooLarge:
        return QStringLiteral("Nejde o seznam řeckých znaků: soubor je větší než 64 KiB.") +
               unchanged;
    case Error::WrongEncoding:
        return QStringLiteral("Nejde o seznam řeckých znaků: soubor obsahuje nulový bajt, "
                              "nejspíš je v jiném kódování (například UTF-16). Seznam je "
                              "prostý text.") +
               unchanged;
    case Error::RowOutOfRange:
        return QStringLiteral("Řádek %1 („%2“) uvádí číslo mimo rozsah 0 až 30. "
                              "Řádky před ním se načetly.")
            .arg(result.line)
            .arg(shownLine(result.lineText));
    }
    Q_UNREACHABLE();
}

} // namespace kelmora
