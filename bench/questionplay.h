// SPDX-License-Identifier: MIT
#pragma once

#include "formdriver.h"
#include "names.h"

#include <QCoreApplication>

// The main window's controls, and the few steps the benchmarks repeat.
struct BenchDriver : FormDriver {
    using FormDriver::FormDriver;
    bool isShown(const QString &name) const { return !control(name)->isHidden(); }
    void clickBox(int slot) const { press(box(slot)); }
    void pressEnter() const { QTest::keyClick(control(QStringLiteral("zadano")), Qt::Key_Return); }
    void selectPictureChoice() const { click(QStringLiteral("Option13")); }
    // Types like a keyboard would, letters with diacritics included.
    void type(const QString &text) const
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, control(QStringLiteral("zadano")), Qt::Key_unknown, c,
                                {});
    }
};

// One question answered right through the window's real event handling, the same way in
// every benchmark; a finished run is started again first. Each action is followed by the
// event loop's work a user would wait for (repaints, deferred deletes), so nothing piles up
// unprocessed as it would in a loop that never returns to the event loop.
inline void playPictureQuestion(const BenchDriver &form, const kelmora::Form1 &window)
{
    if (form.isShown(QStringLiteral("start"))) {
        form.click(QStringLiteral("start"));
        QCoreApplication::processEvents();
    }
    form.clickBox(window.rightSlot()); // the verdict
    QCoreApplication::processEvents();
    form.clickBox(window.rightSlot()); // the next board
    QCoreApplication::processEvents();
}

inline void playTypedQuestion(const BenchDriver &form, const kelmora::Form1 &window)
{
    if (form.isShown(QStringLiteral("start"))) {
        form.click(QStringLiteral("start"));
        QCoreApplication::processEvents();
    }
    form.type(kelmora::splitNames(window.table().names[window.shownRow()])[1]);
    form.pressEnter(); // the verdict
    QCoreApplication::processEvents();
    form.pressEnter(); // the next character
    QCoreApplication::processEvents();
}
