// SPDX-License-Identifier: MIT
#include "names.h"

namespace kelmora {

namespace {

const QString &from()
{
    static const QString text = QStringLiteral("ŘÍŠŽŤČÝŮŇÚĚĎÁÉÓříšžťčýůňúěďáéó");
    return text;
}

const QString &to()
{
    static const QString text = QStringLiteral("RISZTCYUNUEDAEOrisztcyunuedaeo");
    return text;
}

const QString kCrLf = QStringLiteral("\r\n");

// Strips spaces (and only spaces) from both ends.
QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QString orez(const QString &retezec)
{
    QString result = retezec;
    for (QChar &c : result) {
        const qsizetype i = from().indexOf(c);
        if (i >= 0)
            c = to()[i];
    }
    return result;
}

QString rozloz(const QString &retezec)
{
    QString result;
    result.reserve(retezec.size() + 8);
    for (const QChar c : retezec) {
        if (c == QLatin1Char(';'))
            result += kCrLf;
        else
            result += c;
    }
    return result;
}

Nazvy splitNames(const QString &accepted)
{
    Nazvy nazvy;
    qsizetype start = 0;
    for (int i = 1; i <= 5 && start <= accepted.size(); ++i) {
        qsizetype end = accepted.indexOf(QLatin1Char(';'), start);
        if (end < 0)
            end = accepted.size();
        nazvy[i] = accepted.mid(start, end - start);
        start = end + 1;
    }
    return nazvy;
}

bool isRightAnswer(const QString &typed, const Nazvy &nazvy)
{
    const QString answer = trimSpaces(orez(typed).toLower());
    if (answer.isEmpty())
        return false;
    for (int i = 1; i <= 5; ++i) {
        if (answer == orez(nazvy[i]))
            return true;
    }
    return false;
}

QString nameLines(const Nazvy &nazvy)
{
    QString lines;
    for (int i = 1; i <= 5; ++i)
        lines += nazvy[i] + kCrLf;
    return lines;
}

} // namespace kelmora
