#include "UI/Kit/FlowLayout.h"

#include "UI/Models/SegmentWidths.h"

#include <QStyle>
#include <QWidget>

FlowLayout::FlowLayout(int horizontalSpacing, int verticalSpacing, QWidget* parent)
    : QLayout(parent), m_horizontalSpacing(horizontalSpacing), m_verticalSpacing(verticalSpacing)
{
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void FlowLayout::addLayout(QLayout* layout)
{
    addChildLayout(layout);
    addItem(layout);
}

void FlowLayout::addItem(QLayoutItem* item)
{
    m_items << item;
    invalidate();
}

QLayoutItem* FlowLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items[index] : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    invalidate();
    return m_items.takeAt(index);
}

int FlowLayout::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    return arrange(QRect(0, 0, width - margins.left() - margins.right(), 0), false) + margins.top() + margins.bottom();
}

QSize FlowLayout::sizeHint() const
{
    // Everything on one line.
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        width += (width > 0 ? m_horizontalSpacing : 0) + item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

QSize FlowLayout::minimumSize() const
{
    // One item a line.
    QSize least;
    for (const QLayoutItem* item : m_items)
        if (!item->isEmpty())
            least = least.expandedTo(item->sizeHint());
    const QMargins margins = contentsMargins();
    return least + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

void FlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect.marginsRemoved(contentsMargins()), true);
}

int FlowLayout::arrange(const QRect& rect, bool place) const
{
    QList<QLayoutItem*> shown;
    QList<SegmentWidths::Segment> widths;
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        const int width = item->sizeHint().width();
        shown << item;
        widths << SegmentWidths::Segment{width, width, width, width};
    }
    QList<qsizetype> starts = SegmentWidths::lineStarts(widths, m_horizontalSpacing, rect.width());
    starts << shown.size();
    int top = rect.top();
    for (qsizetype line = 0; line + 1 < starts.size(); ++line) {
        int lineHeight = 0;
        for (qsizetype i = starts[line]; i < starts[line + 1]; ++i)
            lineHeight = std::max(lineHeight, shown[i]->sizeHint().height());
        int left = rect.left();
        for (qsizetype i = starts[line]; i < starts[line + 1]; ++i) {
            const QSize hint = shown[i]->sizeHint();
            if (place) {
                const QRect box(left, top, std::min(hint.width(), rect.width()), lineHeight);
                shown[i]->setGeometry(QStyle::visualRect(parentWidget()->layoutDirection(), rect, box));
            }
            left += hint.width() + m_horizontalSpacing;
        }
        top += lineHeight + m_verticalSpacing;
    }
    return shown.isEmpty() ? 0 : top - m_verticalSpacing - rect.top();
}
