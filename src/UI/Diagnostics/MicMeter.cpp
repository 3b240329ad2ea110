#include "UI/Diagnostics/MicMeter.h"

#include "UI/Kit/Theme.h"

#include <QPainter>

MicMeter::MicMeter(Theme& theme, QWidget* parent) : QWidget(parent), m_theme(theme)
{
    setFixedSize(50, 6);
    connect(&theme, &Theme::appearanceChanged, this, qOverload<>(&QWidget::update));
}

void MicMeter::setLevel(double fraction, TextTint fill)
{
    if (fraction == m_fraction && fill == m_fill)
        return;
    m_fraction = fraction;
    m_fill = fill;
    update();
}

void MicMeter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor track = palette().color(QPalette::WindowText);
    track.setAlphaF(0.25f);
    painter.setBrush(track);
    painter.drawRoundedRect(QRectF(rect()), 2, 2);
    if (m_fraction <= 0)
        return;
    painter.setBrush(m_fill.resolve(palette().color(QPalette::WindowText), m_theme.isDark()));
    painter.drawRoundedRect(QRectF(0, 0, width() * m_fraction, height()), 2, 2);
}
