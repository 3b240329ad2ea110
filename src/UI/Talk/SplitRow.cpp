#include "UI/Talk/SplitRow.h"

#include <QEvent>

SplitRow::SplitRow(QWidget* leading, QWidget* trailing, QWidget* parent)
    : QWidget(parent), m_leading(leading), m_trailing(trailing)
{
    leading->setParent(this);
    trailing->setParent(this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void SplitRow::pairWith(SplitRow& other)
{
    m_partner = &other;
    other.m_partner = this;
    updateGeometry();
    other.updateGeometry();
}

bool SplitRow::fits(int width) const
{
    return m_leading->sizeHint().width() + spacing + m_trailing->sizeHint().width() <= width;
}

bool SplitRow::breaks(int width) const
{
    // Paired rows share a line in equal halves, so the partner is judged at this width too:
    // not at its present one, which may not have been laid out yet.
    return !fits(width) || (m_partner && !m_partner->fits(width));
}

int SplitRow::ownHeight(bool split) const
{
    const int leading = m_leading->sizeHint().height();
    const int trailing = m_trailing->sizeHint().height();
    return split ? leading + spacing + trailing : std::max(leading, trailing);
}

QSize SplitRow::sizeHint() const
{
    const QSize leading = m_leading->sizeHint();
    const QSize trailing = m_trailing->sizeHint();
    return {leading.width() + spacing + trailing.width(), std::max(leading.height(), trailing.height())};
}

QSize SplitRow::minimumSizeHint() const
{
    const QSize leading = m_leading->minimumSizeHint();
    const QSize trailing = m_trailing->minimumSizeHint();
    return {std::max(leading.width(), trailing.width()), std::max(leading.height(), trailing.height())};
}

int SplitRow::heightForWidth(int width) const
{
    const bool split = breaks(width);
    return m_partner ? std::max(ownHeight(split), m_partner->ownHeight(split)) : ownHeight(split);
}

void SplitRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

bool SplitRow::event(QEvent* event)
{
    // A part that asks for a new size (a longer label) may no longer fit beside the other.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
        if (m_partner)
            m_partner->updateGeometry();
    }
    return QWidget::event(event);
}

void SplitRow::place()
{
    m_split = breaks(width());
    const QSize leading = m_leading->sizeHint();
    const int trailingWidth = std::min(m_trailing->sizeHint().width(), width());
    const int trailingHeight = m_trailing->sizeHint().height();
    if (m_split) {
        m_leading->setGeometry(0, 0, std::min(leading.width(), width()), leading.height());
        m_trailing->setGeometry(width() - trailingWidth, leading.height() + spacing, trailingWidth, trailingHeight);
    } else {
        // Centred in the row, which a partner may have made taller than its own line.
        m_leading->setGeometry(0, (height() - leading.height()) / 2, leading.width(), leading.height());
        m_trailing->setGeometry(width() - trailingWidth, (height() - trailingHeight) / 2, trailingWidth,
                                trailingHeight);
    }
}
