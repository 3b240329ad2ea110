#include "UI/Kit/FilledButton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

FilledButton::FilledButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
}

void FilledButton::setFill(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::ButtonText, Qt::white);
    setPalette(palette);
}

void FilledButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = 4;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isDown() ? option.palette.color(QPalette::Button).darker(115)
                              : option.palette.color(QPalette::Button));
    if (!isEnabled())
        painter.setOpacity(0.5);  // dimmed; a disabled button need not be read
    painter.drawRoundedRect(box, radius, radius);
    if (hasFocus()) {
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(2, 2, -2, -2), radius - 1, radius - 1);
    }
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}
