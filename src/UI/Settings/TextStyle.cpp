#include "UI/Settings/TextStyle.h"

#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"

#include <QApplication>
#include <QFontDatabase>
#include <QWidget>

namespace TextStyle {

namespace {
double scale(Size size)
{
    switch (size) {
    case Size::title:
        return 1.6;
    case Size::header:
        return 1.05;
    case Size::body:
        return 1.0;
    case Size::callout:
        return 0.95;
    case Size::caption:
        return 0.88;
    case Size::caption2:
        return 0.82;
    }
    return 1.0;
}

void paintTint(QWidget& widget, TextTint tint, const Theme& theme)
{
    const QColor color = tint.resolve(QApplication::palette().color(QPalette::WindowText), theme.isDark());
    QPalette palette = widget.palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, color);
    widget.setPalette(palette);
}
}  // namespace

void setSize(QWidget& widget, Size size, bool semibold)
{
    QFont font = widget.font();
    font.setPointSizeF(QApplication::font().pointSizeF() * scale(size));
    if (semibold || size == Size::title || size == Size::header)
        font.setWeight(size == Size::title ? QFont::Bold : QFont::DemiBold);
    widget.setFont(font);
}

void setMonospace(QWidget& widget)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(widget.font().pointSizeF());
    widget.setFont(font);
}

void setTint(QWidget& widget, TextTint tint, const Theme& theme)
{
    paintTint(widget, tint, theme);
    QObject::connect(&theme, &Theme::appearanceChanged, &widget,
                     [&widget, tint, &theme] { paintTint(widget, tint, theme); });
}

PlainTextLabel* makeLabel(Size size, std::optional<TextTint> tint, const Theme& theme)
{
    auto* label = new PlainTextLabel;
    label->setWordWrap(true);
    setSize(*label, size);
    if (tint)
        setTint(*label, *tint, theme);
    return label;
}

}  // namespace TextStyle
