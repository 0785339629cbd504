#include "core/screens/focusstyle.h"

#include <QPainter>
#include <QStyleOption>

namespace {

const QColor kFocusColour(0x0A, 0x4F, 0xB4);
constexpr int kFocusWidth = 2;

bool hasFocus(const QStyleOption* option) {
    return option->state.testFlag(QStyle::State_HasFocus) &&
           option->state.testFlag(QStyle::State_Enabled);
}

void drawFocusFrame(QPainter* painter, const QRect& rect) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(kFocusColour, kFocusWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter->setBrush(Qt::NoBrush);
    // The pen is centred on the path: keep the whole frame inside the rect.
    painter->drawRect(rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

} // namespace

void FocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameFocusRect) {
        drawFocusFrame(painter, option->rect);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_PanelLineEdit && hasFocus(option) && !option->rect.isEmpty())
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
            frame && frame->lineWidth > 0)
            drawFocusFrame(painter, option->rect);
}

void FocusStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && hasFocus(option))
        drawFocusFrame(painter, option->rect.adjusted(1, 1, -1, -1));
}

void FocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ComboBox && hasFocus(option))
        drawFocusFrame(painter, option->rect);
}
