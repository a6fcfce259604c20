#pragma once

#include "form1.h"

#include <QLabel>
#include <QTest>

// Shows a new main window, as at the program's start.
inline bool showForm(std::unique_ptr<kelmora::Form1> &form,
                     std::unique_ptr<kelmora::RandomSource> random,
                     const QString &pictureFolder = {})
{
    form = std::make_unique<kelmora::Form1>(std::move(random), pictureFolder);
    form->show();
    return QTest::qWaitForWindowExposed(form.get());
}

// Finds the main window's controls by their design names and drives them with real events.
class FormDriver
{
public:
    explicit FormDriver(kelmora::Form1 &form)
        : m_form(form)
    {}

    // The window's own controls come before those inside frames and the board, so that
    // "obrazek1" is the typed-name picture, not box 1 of the board.
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
        return control(QStringLiteral("obrazek"))
            ->findChild<QLabel *>(QStringLiteral("obrazek%1").arg(slot));
    }

    bool boxShown(int slot) const { return !box(slot)->isHidden(); }

    QString caption(const QString &name) const { return control<QLabel>(name)->text(); }
    bool isShown(const QString &name) const { return !control(name)->isHidden(); }

    void click(const QString &name) const
    {
        QWidget *widget = control(name);
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }

    void clickBox(int slot) const
    {
        QLabel *target = box(slot);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }

    // Types like a keyboard would, letters with diacritics included.
    void type(const QString &text) const
    {
        QWidget *box = control(QStringLiteral("zadano"));
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(box, char(c.unicode()));
            } else {
                QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, QString(c), {});
                QTest::sendKeyEvent(QTest::Release, box, Qt::Key_unknown, QString(c), {});
            }
        }
    }

    void pressEnter() const { QTest::keyClick(control(QStringLiteral("zadano")), Qt::Key_Return); }

    void selectPictureChoice() const { click(QStringLiteral("Option13")); }
    void selectTypedNames() const { click(QStringLiteral("Option10")); }

    QString score() const
    {
        QStringList parts;
        for (int i = 1; i <= 5; ++i)
            parts << caption(QStringLiteral("popis%1").arg(i));
        parts << caption(QStringLiteral("zbpopis")) << caption(QStringLiteral("cormis"));
        return parts.join(QLatin1Char('|'));
    }

private:
    kelmora::Form1 &m_form;
};
