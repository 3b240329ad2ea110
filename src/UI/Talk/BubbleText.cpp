#include "UI/Talk/BubbleText.h"

#include <QPainter>

BubbleText::BubbleText(QWidget* parent) : PlainTextLabel(QString(), parent)
{
    setObjectName(QStringLiteral("bubbleText"));
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setContentsMargins(12, 8, 12, 8);
    setMaximumWidth(widest);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

int BubbleText::naturalWidth() const
{
    const QMargins margins = contentsMargins();
    // A few pixels of slack, or rounding would wrap the last word of a line that just fits.
    return std::min(fontMetrics().size(0, text()).width() + margins.left() + margins.right() + 4, widest);
}

QSize BubbleText::sizeHint() const
{
    const int width = naturalWidth();
    return {width, PlainTextLabel::heightForWidth(width)};
}

int BubbleText::heightForWidth(int width) const
{
    return PlainTextLabel::heightForWidth(std::min(width, naturalWidth()));
}

QSize BubbleText::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    return {std::min(sizeHint().width(), 60), fontMetrics().height() + margins.top() + margins.bottom()};
}

void BubbleText::setColours(const QColor& background, const QColor& text)
{
    m_background = background;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, text);
    setPalette(colours);
    update();
}

void BubbleText::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_background);
        painter.drawRoundedRect(QRectF(rect()), 14, 14);
    }
    PlainTextLabel::paintEvent(event);
}
