// SPDX-License-Identifier: MIT
#include "look.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace kelmora {

namespace {

// Fusion, with command buttons drawn plain and square: a face in the
// button's colour, a raised edge that sinks when pressed, a frame and a dotted rectangle
// for the focus.
class KelmoraStyle : public QProxyStyle
{
public:
    KelmoraStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_PanelButtonCommand) {
            const bool down = option->state & (State_Sunken | State_On);
            const bool focus = option->state & State_HasFocus;
            const QColor face = option->palette.color(QPalette::Button);
            const QBrush fill(down ? face.darker(112) : face);
            const QRect edge = focus ? option->rect.adjusted(1, 1, -1, -1) : option->rect;
            qDrawWinButton(painter, edge, option->palette, down, &fill);
            if (focus) {
                painter->setPen(option->palette.color(QPalette::WindowText));
                painter->setBrush(Qt::NoBrush);
                painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            }
            return;
        }
        if (element == PE_FrameFocusRect && qobject_cast<const QPushButton *>(widget)) {
            painter->setPen(QPen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

QFont uiFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QColor colourFromNumber(int value)
{
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void useKelmoraLook()
{
    auto *style = new KelmoraStyle;
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());
    // Qt's own dialogs and message boxes take the family of Kelmora's windows at the desktop's
    // size: the generic sans-serif of a minimal system may be a typewriter face.
    QFont font = QApplication::font();
    font.setFamily(uiFont(font.pointSizeF(), false).family());
    QApplication::setFont(font);
}

} // namespace kelmora
