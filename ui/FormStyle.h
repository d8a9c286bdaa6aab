#pragma once

#include <QProxyStyle>

namespace orvj {

// The look every window shares on top of the platform style:
// - option and check-box indicators sized from the font, with a white face, a ring or box in
//   the text colour and a black dot or tick, so they read on the blue areas as on grey ones;
// - group frames drawn in the text colour;
// - a cyan band with a black edge inside a plain button that holds the focus, and a cyan
//   panel behind an option or check box that holds it (menu choices show their own panel);
// - scroll bars and the drop-down button of combo boxes that widen with the font.
class FormStyle : public QProxyStyle {
public:
    FormStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
};

// Makes FormStyle the application's style, once; later calls change nothing.
void installFormStyle();

// The width of the focus band drawn inside a focused plain button, from its font.
int focusBandWidth(const QFontMetrics& fm);

} // namespace orvj
