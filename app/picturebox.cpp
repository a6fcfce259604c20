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

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_down = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (std::exchange(m_down, false) && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    // A focused picture is pressed like a button, for keyboard users; the window that holds
    // it takes the arrows.
    switch (event->key()) {
    case Qt::Key_Space: m_down = true; return;
    case Qt::Key_Return:
    case Qt::Key_Enter: emit clicked(); return;
    default: QLabel::keyPressEvent(event);
    }
}

void PictureBox::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && std::exchange(m_down, false))
        emit clicked();
    else
        QLabel::keyReleaseEvent(event);
}

void PictureBox::focusOutEvent(QFocusEvent *event)
{
    m_down = false;
    QLabel::focusOutEvent(event);
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
