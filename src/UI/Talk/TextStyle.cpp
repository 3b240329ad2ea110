#include "UI/Talk/TextStyle.h"

#include <QApplication>
#include <QWidget>

namespace TextStyle {

namespace {
double scale(Size size)
{
    switch (size) {
    case Size::title2:
        return 1.35;
    case Size::body:
        return 1.0;
    case Size::callout:
        return 0.94;
    case Size::caption:
        return 0.86;
    case Size::caption2:
        return 0.8;
    case Size::tiny:
        return 0.72;
    }
    return 1.0;
}
}  // namespace

QFont font(Size size, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * scale(size));
    font.setWeight(weight);
    return font;
}

void apply(QWidget& widget, Size size, QFont::Weight weight)
{
    widget.setFont(font(size, weight));
}

}  // namespace TextStyle
