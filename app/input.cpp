// SPDX-License-Identifier: MIT
#include "input.h"

#include "picturebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

namespace kelmora {

namespace {

class InputRules : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->isAutoRepeat() && pressing(key->key()))
                return true;
            // As desktop programs do, keyboard use shows the focus frame: a key that moves the
            // focus moves it where it is seen.
            if (event->type() == QEvent::KeyPress && watched->isWidgetType())
                static_cast<QWidget *>(watched)->window()->setAttribute(Qt::WA_KeyboardFocusChange);
            break;
        }
        case QEvent::MouseButtonDblClick:
            // Nothing clicks on it: neither a control that shows where the first half clicked
            // (Pokračovat over Enter) nor one a help page covered until the first half closed it.
            if (qobject_cast<QAbstractButton *>(watched) || qobject_cast<PictureBox *>(watched))
                return true;
            break;
        default: break;
        }
        return false;
    }

private:
    static bool pressing(int key)
    {
        return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
               key == Qt::Key_Escape;
    }
};

} // namespace

void installInputRules()
{
    static const bool installed = (qApp->installEventFilter(new InputRules(qApp)), true);
    Q_UNUSED(installed);
}

} // namespace kelmora
