#pragma once

#include "form1.h"
#include "vyber.h"

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
        if (!widget)
            widget = m_form.findChild<T *>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QLabel *box(int slot) const
    {
        return control(u"obrazek"_s)->findChild<QLabel *>(u"obrazek%1"_s.arg(slot));
    }
    QString caption(const QString &name) const { return control<QLabel>(name)->text(); }
    bool isShown(const QString &name) const { return !control(name)->isHidden(); }
    bool isEnabled(const QString &name) const { return control(name)->isEnabled(); }
    void click(const QString &name) const { QTest::mouseClick(control(name), Qt::LeftButton); }
    void clickBox(int slot) const { QTest::mouseClick(box(slot), Qt::LeftButton); }
    void pressEnter() const { QTest::keyClick(control(u"zadano"_s), Qt::Key_Return); }

    // Types like a keyboard would, letters with diacritics included.
    void type(const QString &text) const
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, control(u"zadano"_s),
                                c == QLatin1Char(' ') ? Qt::Key_Space : Qt::Key_unknown, QString(c),
                                {});
    }

    QString score() const
    {
        QStringList parts;
        for (const char *name :
             {"popis1", "popis2", "popis3", "popis4", "popis5", "zbpopis", "cormis"})
            parts << caption(QLatin1String(name));
        return parts.join(QLatin1Char('|'));
    }

private:
    kelmora::Form1 &m_form;
};

inline bool showForm(std::unique_ptr<kelmora::Form1> &form, quint64 seed,
                     const QString &folder = {})
{
    form = std::make_unique<kelmora::Form1>(std::make_unique<kelmora::SeededRandom>(seed), folder);
    form->show();
    return QTest::qWaitForWindowExposed(form.get());
}

// Leaves exactly the given character rows selected.
inline void selectOnly(const QList<int> &rows)
{
    kelmora::vyber().clear();
    kelmora::vyber().markUnusedCells();
    for (int row = 1; row <= 51; ++row)
        kelmora::vyber().setCell(row > 27 ? row - 27 : row, row > 27 ? 2 : 1,
                                 rows.contains(row) ? u"z"_s : u"n"_s);
}

// The marks and counts a run must show, kept by the test itself from its own answers.
struct AnswerKey {
    QMap<int, int> marks; // row: 0 pending, 1..5 marks A..E
    int right = 0;
    int wrong = 0;

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
        int count[6] = {};
        for (int m : marks)
            ++count[m];
        return u"A - %1|B - %2|C - %3|D - %4|E - %5|Zbývá znaků - %6|%7 / %8"_s.arg(count[1])
            .arg(count[2])
            .arg(count[3])
            .arg(count[4])
            .arg(count[5])
            .arg(count[0])
            .arg(right)
            .arg(wrong);
    }
};
