#include "UI/Talk/CardFrame.h"

#include <QPainter>

CardFrame::CardFrame(qreal radius, QWidget* parent) : QWidget(parent), m_radius(radius)
{
}

void CardFrame::setColours(const QColor& fill, const QColor& border)
{
    m_fill = fill;
    m_border = border;
    update();
}

void CardFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inside = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(m_border.isValid() ? QPen(m_border, 1) : QPen(Qt::NoPen));
    painter.setBrush(m_fill.isValid() ? QBrush(m_fill) : QBrush(Qt::NoBrush));
    const qreal radius = m_radius < 0 ? inside.height() / 2 : m_radius;
    painter.drawRoundedRect(inside, radius, radius);
}
