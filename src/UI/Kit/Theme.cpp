#include "UI/Kit/Theme.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

Theme::Theme(QObject* parent) : QObject(parent), m_dark(ThemePalette::isDark(QGuiApplication::palette()))
{
    qApp->installEventFilter(this);
}

Theme::~Theme()
{
    qApp->removeEventFilter(this);
}

void Theme::paint(QWidget& window) const
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, color(ThemePalette::Token::canvas));
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::Link})
        palette.setColor(role, color(ThemePalette::Token::accent));
    window.setPalette(palette);
}

bool Theme::eventFilter(QObject* watched, QEvent* event)
{
    // The application object hears of a new palette; windows hear of a new platform theme.
    const bool paletteChange = event->type() == QEvent::ApplicationPaletteChange && watched == qApp;
    if (paletteChange || event->type() == QEvent::ThemeChange) {
        const bool dark = ThemePalette::isDark(QGuiApplication::palette());
        if (dark != m_dark) {
            m_dark = dark;
            emit appearanceChanged();
        }
    }
    return QObject::eventFilter(watched, event);
}
