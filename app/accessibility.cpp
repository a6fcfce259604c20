// SPDX-License-Identifier: MIT
#include "accessibility.h"

#include "picturebox.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kelmora {

namespace {

// What a user could press now: shown, enabled (a help page disables what it covers) and in no
// window a modal one blocks.
bool reachable(QWidget *widget)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return widget->isVisible() && widget->isEnabled() && (!modal || modal == widget->window());
}

// Qt's own button interface presses hidden buttons and buttons behind a modal window; this one
// acts only where a user could.
class ButtonAccessible : public QAccessibleWidget
{
public:
    ButtonAccessible(QAbstractButton *button, QAccessible::Role role)
        : QAccessibleWidget(button, role)
    {}

    QString text(QAccessible::Text t) const override
    {
        // Its own caption, not the title of the frame around it.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text().remove(QLatin1Char('&'));
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(button()->isCheckable() ? toggleAction() : pressAction());
        return names;
    }

    void doAction(const QString &actionName) override
    {
        QAbstractButton *b = button();
        if (actionName != pressAction() && actionName != toggleAction()) {
            if (reachable(b))
                QAccessibleWidget::doAction(actionName);
            return;
        }
        // Clicked once the tool has its answer, since the click may open a modal window; and
        // only if a user could press it then.
        QTimer::singleShot(0, b, [b] {
            if (reachable(b))
                b->click();
        });
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox *box)
        : QAccessibleWidget(box, QAccessible::Button)
    {}

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() && reachable(widget()))
            emit static_cast<PictureBox *>(widget())->clicked();
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("kelmora::PictureBox"))
        return new PictureBoxAccessible(static_cast<PictureBox *>(object));
    if (className == QLatin1String("kelmora::Form1"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (className == QLatin1String("QPushButton"))
        return new ButtonAccessible(static_cast<QPushButton *>(object), QAccessible::Button);
    if (className == QLatin1String("QRadioButton"))
        return new ButtonAccessible(static_cast<QRadioButton *>(object), QAccessible::RadioButton);
    if (className == QLatin1String("QCheckBox"))
        return new ButtonAccessible(static_cast<QCheckBox *>(object), QAccessible::CheckBox);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

} // namespace kelmora
