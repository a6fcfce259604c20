// SPDX-License-Identifier: MIT
#pragma once

#include "form1.h"
#include "vyber.h"

#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;

// Drives the main window's controls, found by their design names, with real events.
class FormDriver
{
public:
    explicit FormDriver(kelmora::Form1 &form)
        : m_form(form)
    {}

    // The window's own controls first: "obrazek1" is the typed-name picture, not board box 1.
    template <typename T = QWidget> T *control(const QString &name) const
    {
        T *widget = m_form.findChild<T *>(name, Qt::FindDirectChildrenOnly);
        return widget ? widget : m_form.findChild<T *>(name);
    }
    QLabel *box(int slot) const
    {
        return control(u"obrazek"_s)->findChild<QLabel *>(u"obrazek%1"_s.arg(slot));
    }
    QString caption(const QString &name) const { return control<QLabel>(name)->text(); }
    // Clicks at a control's centre as the window system would; false, pressing nothing, where
    // no user could: a control hidden, disabled, covered or behind a modal window.
    bool click(const QString &name) const { return press(control(name)); }
    static bool press(QWidget *widget)
    {
        QWidget *window = widget->window();
        const QPoint at = widget->mapTo(window, widget->rect().center());
        const QWidget *modal = QApplication::activeModalWidget();
        const QWidget *top = window->childAt(at);
        if (!widget->isVisible() || !widget->isEnabled() || (modal && modal != window) ||
            !(top == widget || widget->isAncestorOf(top)))
            return false;
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
        return true;
    }
    QString score() const
    {
        QStringList parts;
        for (const char *name :
             {"popis1", "popis2", "popis3", "popis4", "popis5", "zbpopis", "cormis"})
            parts << caption(QLatin1String(name));
        return parts.join(u'|');
    }

private:
    kelmora::Form1 &m_form;
};

// A double-click as the window system delivers it: each half lands on what is under the pointer.
inline void doubleClick(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {},
                       widget->mapTo(window, widget->rect().center()));
}

inline bool showForm(std::unique_ptr<kelmora::Form1> &form,
                     std::unique_ptr<kelmora::RandomSource> random, const QString &folder = {})
{
    form = std::make_unique<kelmora::Form1>(std::move(random), folder);
    form->show();
    return QTest::qWaitForWindowExposed(form.get());
}

// The marks and counts a run must show, kept by the test from its own answers.
struct AnswerKey {
    QMap<int, int> marks; // selected row: 0 pending, 1..5 marks A..E
    int right = 0, wrong = 0;

    void judge(int row, bool ok)
    {
        int &m = marks[row];
        m = ok ? (m == 0 ? 2 : qMax(1, m - 1)) : (m == 0 ? 4 : qMin(5, m + 1));
        ++(ok ? right : wrong);
    }
    bool over() const
    {
        return std::all_of(marks.begin(), marks.end(), [](int m) { return m == 1 || m == 2; });
    }
    QString score() const
    {
        int n[6] = {};
        for (int m : marks)
            ++n[m];
        return QString::asprintf("A - %d|B - %d|C - %d|D - %d|E - %d|Zbývá znaků - %d|%d / %d",
                                 n[1], n[2], n[3], n[4], n[5], n[0], right, wrong);
    }
};
