#include "UI/Diagnostics/SymbolLabel.h"

#include "UI/Kit/Icons.h"
#include "UI/Kit/Theme.h"

#include <QApplication>

SymbolLabel::SymbolLabel(Theme& theme, int pixels, QWidget* parent) : QLabel(parent), m_theme(theme), m_pixels(pixels)
{
    setFixedSize(pixels, pixels);
    connect(&theme, &Theme::appearanceChanged, this, &SymbolLabel::repaintSymbol);
}

void SymbolLabel::setSymbol(const QString& symbolName, TextTint tint)
{
    if (symbolName == m_symbol && tint == m_tint)
        return;
    m_symbol = symbolName;
    m_tint = tint;
    repaintSymbol();
}

void SymbolLabel::repaintSymbol()
{
    const QColor colour = m_tint.resolve(QApplication::palette().color(QPalette::WindowText), m_theme.isDark());
    setPixmap(Icons::symbol(m_symbol, colour).pixmap(m_pixels, m_pixels));
}
