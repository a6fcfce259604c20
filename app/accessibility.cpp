// SPDX-License-Identifier: MIT
#include "accessibility.h"

#include "picturebox.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace kelmora {

namespace {

// What a user could press now: shown, enabled (a help page disables what it covers) and in no
// window a modal one blocks.
bool reachable(QWidget *widget)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return widget->isVisible() && widget->isEnabled() && (!modal || modal == widget->window());
}

// Qt's own interfaces press hidden buttons, type into hidden boxes and act behind a modal
// window. Kelmora's drive a control through this one guard, whatever the tool asks: an action
// or text to edit.
class GuardedAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    void doAction(const QString &actionName) override
    {
        drive([this, actionName] { act(actionName); });
    }

protected:
    // Done once the tool has its answer, since it may open a modal window; and only if a user
    // could reach the control then.
    void drive(const std::function<void()> &change) const
    {
        QWidget *w = widget();
        QTimer::singleShot(0, w, [w, change] {
            if (reachable(w))
                change();
        });
    }
    virtual void act(const QString &actionName) { QAccessibleWidget::doAction(actionName); }
};

// Any button: its own caption as its name, its checked, pressed and default state, its
// shortcut.
class ButtonAccessible : public GuardedAccessible
{
public:
    explicit ButtonAccessible(QAbstractButton *button)
        : GuardedAccessible(button, !button->isCheckable()    ? QAccessible::Button
                                    : button->autoExclusive() ? QAccessible::RadioButton
                                                              : QAccessible::CheckBox)
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
        const auto *push = qobject_cast<QPushButton *>(button());
        state.defaultButton = push && push->isDefault();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(ownAction());
        return names;
    }

    QStringList keyBindingsForAction(const QString &actionName) const override
    {
        const QKeySequence shortcut = button()->shortcut();
        if (actionName != ownAction() || shortcut.isEmpty())
            return QAccessibleWidget::keyBindingsForAction(actionName);
        return {shortcut.toString(QKeySequence::NativeText)};
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
    QString ownAction() const { return button()->isCheckable() ? toggleAction() : pressAction(); }
    void act(const QString &actionName) override
    {
        actionName == ownAction() ? button()->click() : QAccessibleWidget::doAction(actionName);
    }
};

class PictureBoxAccessible : public GuardedAccessible
{
public:
    explicit PictureBoxAccessible(PictureBox *box)
        : GuardedAccessible(box, QAccessible::Button)
    {}

    QStringList actionNames() const override { return {pressAction()}; }

private:
    void act(const QString &actionName) override
    {
        if (actionName == pressAction())
            emit static_cast<PictureBox *>(widget())->clicked();
    }
};

// A text box: read as Qt reads it, edited only where a user could type.
class TextBoxAccessible : public GuardedAccessible,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface
{
public:
    explicit TextBoxAccessible(QLineEdit *box)
        : GuardedAccessible(box, QAccessible::EditableText)
    {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !box()->isReadOnly();
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? box()->text() : QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            setBoxText(text);
    }

    // Reading, the caret and the selection.
    QString text(int start, int end) const override
    {
        return box()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(box()->text().size()); }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int, int *start, int *end) const override
    {
        *start = qMax(0, box()->selectionStart());
        *end = *start + box()->selectionLength();
    }
    void setSelection(int, int start, int end) override { box()->setSelection(start, end - start); }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { box()->deselect(); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { box()->setCursorPosition(start); }
    QString attributes(int, int *start, int *end) const override
    {
        std::tie(*start, *end) = std::tuple(0, characterCount());
        return {};
    }

    // Editing.
    void deleteText(int start, int end) override
    {
        setBoxText(box()->text().remove(start, end - start));
    }
    void insertText(int offset, const QString &text) override
    {
        setBoxText(box()->text().insert(offset, text));
    }
    void replaceText(int start, int end, const QString &text) override
    {
        setBoxText(box()->text().replace(start, end - start, text));
    }

private:
    QLineEdit *box() const { return static_cast<QLineEdit *>(widget()); }
    void setBoxText(const QString &text)
    {
        QLineEdit *b = box();
        drive([b, text] { b->setText(text); });
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("kelmora::Form1"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (auto *box = qobject_cast<PictureBox *>(object))
        return new PictureBoxAccessible(box);
    if (auto *button = qobject_cast<QAbstractButton *>(object))
        return new ButtonAccessible(button);
    if (auto *box = qobject_cast<QLineEdit *>(object))
        return new TextBoxAccessible(box);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

} // namespace kelmora
