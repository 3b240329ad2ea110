#include "UI/Kit/Theme.h"

#include "UI/App/MainWindow.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStyle>

#include <gtest/gtest.h>

namespace {
QPalette paletteWithWindow(const QColor& window)
{
    QPalette palette = QApplication::style()->standardPalette();
    palette.setColor(QPalette::Window, window);
    return palette;
}

TEST(Theme, followsTheApplicationPaletteAtOnce)
{
    QApplication::setPalette(paletteWithWindow(QColor(0xee, 0xee, 0xee)));
    UiTestContext ui;
    MainWindow window(ui.context);
    QSignalSpy changes(&ui.theme, &Theme::appearanceChanged);
    struct Step {
        QColor window;
        bool dark;
        int announcements;
    };
    const Step steps[] = {
        {QColor(0x20, 0x20, 0x20), true, 1},  {QColor(0x30, 0x30, 0x30), true, 1},  // still dark: nothing to announce
        {QColor(0xf0, 0xf0, 0xf0), false, 2}, {QColor(127, 127, 127), true, 3},  // lightness 127 is the darkest light
        {QColor(128, 128, 128), false, 4},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.window.name().toStdString());
        QApplication::setPalette(paletteWithWindow(step.window));
        EXPECT_EQ(ui.theme.isDark(), step.dark);
        EXPECT_EQ(changes.count(), step.announcements);
        const QColor canvas = ThemePalette::color(ThemePalette::Token::canvas, step.dark);
        EXPECT_EQ(ui.theme.color(ThemePalette::Token::canvas), canvas);
        EXPECT_EQ(window.palette().color(QPalette::Window), canvas) << "the window is recoloured";
        EXPECT_EQ(window.palette().color(QPalette::Highlight),
                  ThemePalette::filled(ThemePalette::Token::accent, step.dark));
        EXPECT_EQ(window.palette().color(QPalette::Mid), ThemePalette::color(ThemePalette::Token::outline, step.dark))
            << "the outline of check boxes follows too";
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

}  // namespace
