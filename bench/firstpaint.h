// SPDX-License-Identifier: MIT
#pragma once

#include "peakmemory.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>

// Milliseconds since the exec of this process, stamped by the harness in KELMORA_EXEC_TIME as
// seconds of the real-time clock with six decimals (bash's $EPOCHREALTIME under LC_ALL=C);
// negative without the stamp.
inline double msSinceExec()
{
    const QByteArray stamp = qgetenv("KELMORA_EXEC_TIME");
    const qsizetype point = stamp.indexOf('.');
    if (point < 0)
        return -1;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const qint64 execUs =
        stamp.left(point).toLongLong() * 1000000 + stamp.mid(point + 1).toLongLong();
    const qint64 nowUs = qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
    return double(nowUs - execUs) / 1000.0;
}

// Shows the window and runs the event loop until its first frame is on screen, then prints
// "first_paint_ms=… vmhwm_kib=…" and returns.
inline int showUntilFirstPaint(QWidget &window)
{
    class FirstPaint : public QObject
    {
    public:
        explicit FirstPaint(QWidget &window)
            : m_window(window)
        {}

        bool eventFilter(QObject *watched, QEvent *event) override
        {
            // The first paint event of the window opens the repaint that also paints its
            // children and flushes the frame; a queued call runs once all of that is done.
            if (watched == &m_window && event->type() == QEvent::Paint && !m_seen) {
                m_seen = true;
                QMetaObject::invokeMethod(this, &FirstPaint::report, Qt::QueuedConnection);
            }
            return false;
        }

    private:
        void report()
        {
            std::printf("first_paint_ms=%.3f vmhwm_kib=%lld\n", msSinceExec(),
                        static_cast<long long>(peakResidentKib()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }

        QWidget &m_window;
        bool m_seen = false;
    };

    FirstPaint probe(window);
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
