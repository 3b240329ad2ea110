#pragma once

#include <QProxyStyle>

// The application's style with the edges of check boxes, radio buttons, fields and buttons
// drawn in the palette's Mid colour (the theme's outline, which reads at 3:1 on the window's
// surfaces), where the platform style derives them from the window colour and, on a dark
// canvas, all but hides them. A focused control keeps the style's focus edge. The overflow
// arrows of menu and tool bars are the theme's symbols: the base style's picture files would
// make Qt try every image plug-in while the first window is being built.
class ThemeStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // Over the style of that name (the one the application uses).
    explicit ThemeStyle(const QString& baseStyle);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
