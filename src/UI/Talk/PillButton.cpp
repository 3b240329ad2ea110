#include "UI/Talk/PillButton.h"

#include "UI/Kit/Caption.h"
#include "UI/Kit/Icons.h"
#include "UI/Talk/TextStyle.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int symbolSize = 13;
constexpr int gap = 4;

QFont hintFont()
{
    return TextStyle::font(TextStyle::Size::tiny);
}
}  // namespace

PillButton::PillButton(int horizontalPadding, int verticalPadding, qreal radius, QWidget* parent)
    : QAbstractButton(parent), m_horizontalPadding(horizontalPadding), m_verticalPadding(verticalPadding),
      m_radius(radius)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setFont(TextStyle::font(TextStyle::Size::caption, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void PillButton::setLook(const Look& look)
{
    // A new icon would draw its picture afresh: kept while the symbol and its colour stay.
    if (m_symbol.isNull() || look.symbol != m_look.symbol || look.foreground != m_look.foreground)
        m_symbol = Icons::symbol(look.symbol, look.foreground);
    m_look = look;
    m_captionWidth = m_shortWidth = m_hintWidth = -1;
    setText(look.caption);
    renameForShown();
    updateGeometry();
    update();
}

void PillButton::setRingColour(const QColor& colour)
{
    m_ring = colour;
    update();
}

int PillButton::textWidth(const QString& text) const
{
    // A pixel of slack: text measured in fractions would otherwise be elided by rounding.
    return text.isEmpty() ? 0 : gap + fontMetrics().horizontalAdvance(text) + 1;
}

int PillButton::hintWidth() const
{
    if (m_hintWidth < 0)
        m_hintWidth = m_look.hint.isEmpty() ? 0 : gap + QFontMetrics(hintFont()).horizontalAdvance(m_look.hint) + 1;
    return m_hintWidth;
}

// The padding, the symbol and a hint that stays.
int PillButton::chrome() const
{
    return 2 * m_horizontalPadding + symbolSize + (m_look.keepHint ? hintWidth() : 0);
}

SegmentWidths::Segment PillButton::widths() const
{
    if (m_captionWidth < 0) {
        m_captionWidth = textWidth(m_look.caption);
        m_shortWidth = m_look.shortCaption.isEmpty() ? m_captionWidth : textWidth(m_look.shortCaption);
        m_leastWidth = m_look.caption.isEmpty() ? 0 : textWidth(QStringLiteral("…"));
    }
    return {chrome() + m_captionWidth + (m_look.keepHint ? 0 : hintWidth()), chrome() + m_captionWidth,
            chrome() + std::min(m_captionWidth, m_shortWidth), chrome() + m_leastWidth};
}

PillButton::Shown PillButton::shown() const
{
    const SegmentWidths::Segment fits = widths();
    if (width() >= fits.whole)
        return Shown::whole;
    return !m_look.shortCaption.isEmpty() && width() >= fits.shortened ? Shown::shortened : Shown::cut;
}

QSize PillButton::sizeHint() const
{
    return {widths().full, std::max(fontMetrics().height(), symbolSize) + 2 * m_verticalPadding};
}

QSize PillButton::minimumSizeHint() const
{
    return {widths().least, sizeHint().height()};
}

void PillButton::renameForShown()
{
    Caption::name(*this, m_look.caption, m_look.help, shown() == Shown::whole);
}

void PillButton::resizeEvent(QResizeEvent* event)
{
    QAbstractButton::resizeEvent(event);
    renameForShown();
}

void PillButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_captionWidth = m_shortWidth = m_hintWidth = -1;
        updateGeometry();
    }
    QAbstractButton::changeEvent(event);
}

void PillButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = m_radius < 0 ? box.height() / 2 : m_radius;
    QPainterPath shape;
    shape.addRoundedRect(box, radius, radius);
    painter.fillPath(shape, m_look.background);
    if (hasFocus()) {
        painter.setPen(QPen(m_ring.isValid() ? m_ring : palette().color(QPalette::Highlight), 2));
        painter.drawPath(shape);
    }

    const Shown form = shown();
    const QString caption =
        form == Shown::whole || m_look.shortCaption.isEmpty() ? m_look.caption : m_look.shortCaption;
    const bool withHint = !m_look.hint.isEmpty() && (m_look.keepHint || width() >= widths().full);
    const int contentWidth = symbolSize + textWidth(caption) + (withHint ? hintWidth() : 0);
    const int room = width() - 2 * m_horizontalPadding;
    // Centred when wider than needed (an icon-only button), else from the left.
    int left = m_horizontalPadding + std::max(0, (room - contentWidth) / 2);
    const QRect symbolBox(left, (height() - symbolSize) / 2, symbolSize, symbolSize);
    m_symbol.paint(&painter, symbolBox);
    left = symbolBox.right() + 1 + gap;
    int right = width() - m_horizontalPadding;

    painter.setPen(m_look.foreground);
    if (withHint) {
        const int hintLeft = right - hintWidth() + gap;
        painter.setFont(hintFont());
        painter.setOpacity(0.85);
        painter.drawText(QRect(hintLeft, 0, right - hintLeft, height()), Qt::AlignVCenter | Qt::AlignLeft, m_look.hint);
        painter.setOpacity(1.0);
        right = hintLeft - gap;
    }
    if (caption.isEmpty())
        return;
    painter.setFont(font());
    const QRect captionBox(left, 0, right - left, height());
    painter.drawText(captionBox, Qt::AlignVCenter | Qt::AlignLeft,
                     form == Shown::cut ? fontMetrics().elidedText(caption, Qt::ElideRight, captionBox.width())
                                        : caption);
}
