// SPDX-License-Identifier: MIT
#pragma once

#include "form1.h"
#include "vyber.h"

#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

// Drives the main window's controls, found by their object names, with real events.
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
    // Clicks where a user sees the control; false, pressing nothing, where no user could.
    bool click(const QString &name) const { return press(control(name)); }
    static bool press(QWidget *widget)
    {
        const std::optional<QPoint> at = shownAt(widget);
        if (at)
            QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, *at);
        return at.has_value();
    }
    // A point of the window where a user could press the widget now: its centre or a corner that
    // shows; none if it is hidden, disabled, covered or behind a modal window.
    static std::optional<QPoint> shownAt(QWidget *widget)
    {
        QWidget *window = widget->window();
        const QWidget *modal = QApplication::activeModalWidget();
        if (!widget->isVisible() || !widget->isEnabled() || (modal && modal != window))
            return {};
        const QRect r = widget->rect().adjusted(1, 1, -1, -1);
        for (const QPoint p :
             {r.center(), r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
            const QWidget *top = window->childAt(widget->mapTo(window, p));
            if (top == widget || widget->isAncestorOf(top))
                return widget->mapTo(window, p);
        }
        return {};
    }
    QString score() const
    {
        QStringList parts;
        for (const char *name :
             {"popis1", "popis2", "popis3", "popis4", "popis5", "zbpopis", "cormis"})
            parts << control<QLabel>(QLatin1String(name))->text();
        return parts.join(u'|');
    }

private:
    kelmora::Form1 &m_form;
};

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
