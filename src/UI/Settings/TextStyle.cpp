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

QColor toneColor(Tone tone, const Theme& theme)
{
    switch (tone) {
    case Tone::secondary: {
        QColor text = QApplication::palette().color(QPalette::WindowText);
        text.setAlphaF(0.62f);
        return text;
    }
    case Tone::tertiary:
        return theme.color(ThemePalette::Token::tertiary);
    case Tone::accent:
        return theme.color(ThemePalette::Token::accent);
    case Tone::orange:
        return theme.named(ThemePalette::Named::orange);
    case Tone::red:
        return theme.named(ThemePalette::Named::red);
    }
    return {};
}

void paintTone(QWidget& widget, Tone tone, const Theme& theme)
{
    QPalette palette = widget.palette();
    const QColor color = toneColor(tone, theme);
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
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

void setTone(QWidget& widget, Tone tone, const Theme& theme)
{
    paintTone(widget, tone, theme);
    QObject::connect(&theme, &Theme::appearanceChanged, &widget,
                     [&widget, tone, &theme] { paintTone(widget, tone, theme); });
}

PlainTextLabel* makeLabel(Size size, std::optional<Tone> tone, const Theme& theme)
{
    auto* label = new PlainTextLabel;
    label->setWordWrap(true);
    setSize(*label, size);
    if (tone)
        setTone(*label, *tone, theme);
    return label;
}

}  // namespace TextStyle
