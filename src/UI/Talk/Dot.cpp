#include "UI/Talk/Dot.h"

#include <QPainter>

Dot::Dot(int diameter, QWidget* parent) : QWidget(parent)
{
    setFixedSize(diameter, diameter);
}

void Dot::setColour(const QColor& colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void Dot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_colour);
    painter.drawEllipse(QRectF(rect()));
}
