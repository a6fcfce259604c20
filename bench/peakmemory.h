// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>

// The process's peak resident set size (VmHWM) in KiB, or -1 where /proc has none.
inline qint64 peakResidentKib()
{
    // Files in /proc tell no size, so read them whole rather than line by line.
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}
