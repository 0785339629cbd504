#pragma once

#include <QProxyStyle>

// The application's style with a focus mark a clerk sees at a glance: a
// keyboard-first program must show plainly which box or button Enter and
// Space act on. Boxes, combo boxes and buttons get a thick dark-blue frame,
// check boxes and option buttons a solid one around their caption.
class FocusStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};
