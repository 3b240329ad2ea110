#include "UI/Diagnostics/TintedLabel.h"

#include "UI/Kit/Theme.h"

#include <QApplication>

TintedLabel::TintedLabel(Theme& theme, const QFont& font, TextTint tint, QWidget* parent)
    : PlainTextLabel(QString(), parent), m_theme(theme), m_tint(tint)
{
    setFont(font);
    applyTint();
    connect(&theme, &Theme::appearanceChanged, this, &TintedLabel::applyTint);
}

void TintedLabel::setTint(TextTint tint)
{
    if (tint == m_tint)
        return;
    m_tint = tint;
    applyTint();
}

void TintedLabel::setValue(const QString& text, TextTint tint)
{
    setText(text);
    setTint(tint);
}

void TintedLabel::applyTint()
{
    QPalette tinted = palette();
    tinted.setColor(QPalette::WindowText,
                    m_tint.resolve(QApplication::palette().color(QPalette::WindowText), m_theme.isDark()));
    setPalette(tinted);
}
