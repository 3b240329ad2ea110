#include "UI/Kit/Theme.h"

#include "UI/Kit/ThemeStyle.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

Theme::Theme(QObject* parent) : QObject(parent), m_dark(ThemePalette::isDark(QGuiApplication::palette()))
{
    if (!qobject_cast<ThemeStyle*>(QApplication::style()))
        QApplication::setStyle(new ThemeStyle(QApplication::style()->name()));
    qApp->installEventFilter(this);
}

Theme::~Theme()
{
    qApp->removeEventFilter(this);
}

void Theme::paint(QWidget& window) const
{
    window.setPalette(ThemePalette::palette(m_dark));
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
