#include "ui/FormStyle.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

namespace {

// The drop-down button of a combo box and the arrow drawn on it at a font `scale` times the
// application's: the button's width and the count of dark pixels inside it.
struct DropDown {
    int lineHeight = 0;
    int buttonWidth = 0;
    int darkPixels = 0;
};

DropDown dropDownAt(double scale) {
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * scale);
    QComboBox box;
    box.setFont(font);
    box.addItems({QStringLiteral("High School Graduate"), QStringLiteral("Female")});
    box.resize(box.sizeHint());
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = false;
    option.subControls = QStyle::SC_All;
    const QRect button =
        box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &box);
    const QImage picture = box.grab().toImage();
    DropDown d{box.fontMetrics().height(), button.width(), 0};
    for (int y = button.top(); y <= button.bottom(); ++y) {
        for (int x = button.left(); x <= button.right(); ++x) {
            if (qGray(picture.pixel(x, y)) < 80) {
                ++d.darkPixels;
            }
        }
    }
    return d;
}

TEST(FormStyle, ComboBoxDropDownButtonAndArrowGrowWithTheFont) {
    const DropDown normal = dropDownAt(1.0);
    const DropDown large = dropDownAt(2.0);
    EXPECT_GE(large.buttonWidth, large.lineHeight);
    EXPECT_GT(large.buttonWidth, normal.buttonWidth);
    // The arrow is a triangle about a fifth of a line high: its area grows with the square of
    // the font, not a fixed glyph of a few pixels.
    const int half = large.lineHeight * 22 / 100;
    EXPECT_GE(large.darkPixels, half * half / 2);
    EXPECT_GT(large.darkPixels, normal.darkPixels * 2);
}

} // namespace
