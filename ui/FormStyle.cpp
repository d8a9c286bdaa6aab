#include "ui/FormStyle.h"

#include "ui/FormConventions.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

#include <algorithm>

namespace orvj {

namespace {

QFontMetrics metricsFor(const QStyleOption* option, const QWidget* widget) {
    if (widget != nullptr) {
        return widget->fontMetrics();
    }
    if (option != nullptr) {
        return option->fontMetrics;
    }
    return QFontMetrics(QApplication::font());
}

// Menu choices show the focus by their cyan panel; a band inside them would say it twice.
bool isMenuChoice(const QWidget* widget) {
    return widget != nullptr && widget->objectName().startsWith(QLatin1String("cmdMenuChoice"));
}

// By luminance: pure blue has the lightness of a mid grey but reads as a dark area.
bool isDark(const QColor& c) {
    return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF() < 0.4;
}

struct IndicatorColours {
    QColor face;
    QColor edge;
    QColor mark;
};

IndicatorColours indicatorColours(const QStyleOption* option) {
    if (!(option->state & QStyle::State_Enabled)) {
        return {QColor(224, 224, 224), QColor(128, 128, 128), QColor(128, 128, 128)};
    }
    return {Colors::white, option->palette.color(QPalette::WindowText), Colors::black};
}

// A cyan ring `width` pixels wide along the inside of `r`.
void drawCyanRing(QPainter* painter, const QRect& r, int width) {
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(Colors::cyan);
    QPainterPath ring;
    ring.addRect(r);
    ring.addRect(r.adjusted(width, width, -width, -width));
    painter->drawPath(ring);
    painter->restore();
}

// The platform draws a small fixed arrow: this one is drawn over it, sized from the font.
void drawComboArrow(QPainter* painter, const QStyleOption* option, const QRect& button,
                    const QFontMetrics& fm) {
    const QRect face = button.adjusted(2, 2, -2, -2);
    const qreal half = std::max(3.0, fm.height() * 0.22);
    if (face.width() < 2 * half + 2 || face.height() < half + 2) {
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(face, option->palette.color(QPalette::Button));
    const QPointF c = QRectF(face).center();
    QPainterPath arrow(c + QPointF(-half, -half / 2));
    arrow.lineTo(c + QPointF(half, -half / 2));
    arrow.lineTo(c + QPointF(0, half / 2));
    arrow.closeSubpath();
    painter->setPen(Qt::NoPen);
    const bool enabled = (option->state & QStyle::State_Enabled) != 0;
    painter->setBrush(option->palette.color(enabled ? QPalette::Active : QPalette::Disabled,
                                            QPalette::ButtonText));
    painter->drawPath(arrow);
    painter->restore();
}

bool holdsFocus(const QStyleOption* option) {
    return (option->state & QStyle::State_HasFocus) && (option->state & QStyle::State_Enabled);
}

} // namespace

FormStyle::FormStyle() = default;

int focusBandWidth(const QFontMetrics& fm) {
    return std::max(2, fm.height() / 7);
}

int FormStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                           const QWidget* widget) const {
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
        return std::max(QProxyStyle::pixelMetric(metric, option, widget),
                        metricsFor(option, widget).height() * 4 / 5);
    case PM_ScrollBarExtent:
        return std::max(QProxyStyle::pixelMetric(metric, option, widget),
                        metricsFor(option, widget).height() * 4 / 5);
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void FormStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    // A text field holding the focus turns cyan, as the fields the forms colour themselves do.
    if (element == PE_PanelLineEdit && holdsFocus(option)) {
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option)) {
            QStyleOptionFrame cyan = *frame;
            cyan.palette.setColor(QPalette::Base, Colors::cyan);
            QProxyStyle::drawPrimitive(element, &cyan, painter, widget);
            return;
        }
    }
    if (element != PE_IndicatorRadioButton && element != PE_IndicatorCheckBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const IndicatorColours colours = indicatorColours(option);
    const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal edge = std::max(1.0, box.width() / 9.0);
    const QRectF inner = box.adjusted(edge / 2, edge / 2, -edge / 2, -edge / 2);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(colours.edge, edge));
    painter->setBrush(colours.face);
    if (element == PE_IndicatorRadioButton) {
        painter->drawEllipse(inner);
        if (option->state & State_On) {
            const qreal r = inner.width() * 0.27;
            painter->setPen(Qt::NoPen);
            painter->setBrush(colours.mark);
            painter->drawEllipse(inner.center(), r, r);
        }
    } else {
        painter->drawRect(inner);
        const qreal w = inner.width();
        const qreal h = inner.height();
        const QPointF o = inner.topLeft();
        painter->setPen(
            QPen(colours.mark, std::max(2.0, w / 7.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        if (option->state & State_NoChange) {
            painter->drawLine(o + QPointF(w * 0.25, h * 0.5), o + QPointF(w * 0.75, h * 0.5));
        } else if (option->state & State_On) {
            QPainterPath tick(o + QPointF(w * 0.22, h * 0.52));
            tick.lineTo(o + QPointF(w * 0.42, h * 0.72));
            tick.lineTo(o + QPointF(w * 0.78, h * 0.28));
            painter->drawPath(tick);
        }
    }
    painter->restore();
}

void FormStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const {
    const bool focused = holdsFocus(option);
    switch (element) {
    case CE_ShapedFrame:
        // Lists, grids and text panes keep their white page: their frame turns cyan.
        QProxyStyle::drawControl(element, option, painter, widget);
        if (focused && qobject_cast<const QAbstractScrollArea*>(widget) != nullptr) {
            drawCyanRing(painter, option->rect,
                         std::max(2, pixelMetric(PM_DefaultFrameWidth, option, widget)));
        }
        return;
    case CE_PushButton:
        QProxyStyle::drawControl(element, option, painter, widget);
        if (focused && !isMenuChoice(widget)) {
            const int band = focusBandWidth(metricsFor(option, widget));
            const QRect outer = option->rect.adjusted(1, 1, -1, -1);
            drawCyanRing(painter, outer, band);
            painter->save();
            painter->setPen(QPen(Colors::black, 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(outer.adjusted(band, band, -band - 1, -band - 1));
            painter->restore();
        }
        return;
    case CE_RadioButton:
    case CE_CheckBox:
        if (focused) {
            painter->fillRect(option->rect, Colors::cyan);
            if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
                QStyleOptionButton onCyan = *button;
                onCyan.palette.setColor(QPalette::WindowText, Colors::black);
                onCyan.palette.setColor(QPalette::ButtonText, Colors::black);
                onCyan.palette.setColor(QPalette::Text, Colors::black);
                onCyan.palette.setColor(QPalette::Window, Colors::cyan);
                QProxyStyle::drawControl(element, &onCyan, painter, widget);
                return;
            }
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QSize FormStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                  const QWidget* widget) const {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (type != CT_ComboBox || combo == nullptr) {
        return s;
    }
    // Room for the drop-down button widened in subControlRect.
    QStyleOptionComboBox sized = *combo;
    sized.rect = QRect(QPoint(0, 0), s);
    const int arrow =
        QProxyStyle::subControlRect(CC_ComboBox, &sized, SC_ComboBoxArrow, widget).width();
    s.rwidth() += std::max(0, metricsFor(option, widget).height() - arrow);
    return s;
}

QRect FormStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                SubControl sub, const QWidget* widget) const {
    QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control != CC_ComboBox || (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField &&
                                   sub != SC_ComboBoxListBoxPopup)) {
        return r;
    }
    // The drop-down button is as wide as a line of the font is high, so it grows with the scale.
    const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
    const int grow = metricsFor(option, widget).height() - arrow.width();
    if (grow <= 0) {
        return r;
    }
    const bool rightToLeft = option->direction == Qt::RightToLeft;
    if (sub == SC_ComboBoxArrow) {
        return rightToLeft ? r.adjusted(0, 0, grow, 0) : r.adjusted(-grow, 0, 0, 0);
    }
    if (sub == SC_ComboBoxEditField) {
        return rightToLeft ? r.adjusted(grow, 0, 0, 0) : r.adjusted(0, 0, -grow, 0);
    }
    return r;
}

void FormStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (control == CC_ComboBox) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        drawComboArrow(painter, option, subControlRect(control, option, SC_ComboBoxArrow, widget),
                       metricsFor(option, widget));
        if (holdsFocus(option)) {
            drawCyanRing(painter, option->rect.adjusted(1, 1, -1, -1),
                         std::max(2, pixelMetric(PM_DefaultFrameWidth, option, widget)));
        }
        return;
    }
    // On a dark area the platform's faint group frame vanishes: the frame takes the text colour.
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || group == nullptr || !(option->subControls & SC_GroupBoxFrame) ||
        !isDark(option->palette.color(QPalette::Window))) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
    const QRect label = subControlRect(control, option, SC_GroupBoxLabel, widget);
    const int line = std::max(1, metricsFor(option, widget).height() / 14);
    // The title stands above the frame, as the platform style places it.
    if (!group->text.isEmpty() && label.intersects(frame)) {
        frame.setTop(label.bottom() + 1 + line);
    }
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(option->palette.color(QPalette::WindowText));
    QPainterPath ring;
    ring.addRect(frame);
    ring.addRect(frame.adjusted(line, line, -line, -line));
    painter->drawPath(ring);
    painter->restore();
    QStyleOptionGroupBox rest = *group;
    rest.subControls &= ~SC_GroupBoxFrame;
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);
}

void installFormStyle() {
    if (dynamic_cast<FormStyle*>(QApplication::style()) != nullptr) {
        return;
    }
    QApplication::setStyle(new FormStyle);
}

} // namespace orvj
