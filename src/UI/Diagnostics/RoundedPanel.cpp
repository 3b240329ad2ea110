#include "UI/Diagnostics/RoundedPanel.h"

#include "UI/Kit/Theme.h"

#include <QPainter>
#include <QPainterPath>

RoundedPanel::RoundedPanel(Theme& theme, Fill fill, qreal radius, bool outlined, QWidget* parent)
    : QWidget(parent), m_theme(theme), m_fill(fill), m_radius(radius), m_outlined(outlined)
{
    connect(&theme, &Theme::appearanceChanged, this, qOverload<>(&QWidget::update));
}

void RoundedPanel::paintEvent(QPaintEvent*)
{
    QColor fill = palette().color(QPalette::WindowText);
    switch (m_fill) {
    case Fill::muted:
        fill = m_theme.color(ThemePalette::Token::muted);
        break;
    case Fill::faint:
        fill.setAlphaF(0.06f);
        break;
    case Fill::tinted:
        fill.setAlphaF(0.1f);
        break;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The outline is stroked inside the shape's edge.
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, m_radius, m_radius);
    painter.fillPath(shape, fill);
    if (m_outlined)
        painter.strokePath(shape, QPen(m_theme.color(ThemePalette::Token::border), 1));
}
