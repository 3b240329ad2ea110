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

bool SplitRow::fits(int width) const
{
    return m_leading->sizeHint().width() + spacing + m_trailing->sizeHint().width() <= width;
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
    const int leading = m_leading->sizeHint().height();
    const int trailing = m_trailing->sizeHint().height();
    return fits(width) ? std::max(leading, trailing) : leading + spacing + trailing;
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
    }
    return QWidget::event(event);
}

void SplitRow::place()
{
    m_split = !fits(width());
    const QSize leading = m_leading->sizeHint();
    const int trailingWidth = std::min(m_trailing->sizeHint().width(), width());
    const int trailingHeight = m_trailing->sizeHint().height();
    if (m_split) {
        m_leading->setGeometry(0, 0, std::min(leading.width(), width()), leading.height());
        m_trailing->setGeometry(width() - trailingWidth, leading.height() + spacing, trailingWidth, trailingHeight);
    } else {
        const int line = std::max(leading.height(), trailingHeight);
        m_leading->setGeometry(0, (line - leading.height()) / 2, leading.width(), leading.height());
        m_trailing->setGeometry(width() - trailingWidth, (line - trailingHeight) / 2, trailingWidth, trailingHeight);
    }
}
