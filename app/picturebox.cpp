// SPDX-License-Identifier: MIT
#include "picturebox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <utility>

namespace kelmora {

PictureBox::PictureBox(QWidget *parent)
    : QLabel(parent)
{}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool endsDoubleClick = std::exchange(m_doubleClicked, false);
    if (!endsDoubleClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second half of a double-click is no second click.
    m_doubleClicked = true;
    QLabel::mouseDoubleClickEvent(event);
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    // A focused picture is pressed like a button, for keyboard users; the window that holds
    // it takes the arrows.
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: emit clicked(); return;
    default: QLabel::keyPressEvent(event);
    }
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace kelmora
