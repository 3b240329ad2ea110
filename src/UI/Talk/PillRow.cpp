#include "UI/Talk/PillRow.h"

#include "UI/Talk/PillButton.h"

#include <QEvent>
#include <QStyle>

namespace {
constexpr int lineGap = 4;
}

PillRow::PillRow(int spacing, Lines lines, QWidget* parent) : QWidget(parent), m_spacing(spacing), m_lines(lines)
{
    // A row that wraps takes the whole width it is given, so a partner beside it, given as
    // much, is judged at that same width.
    QSizePolicy policy(lines == Lines::wrap ? QSizePolicy::Preferred : QSizePolicy::Maximum,
                       lines == Lines::wrap ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    policy.setHeightForWidth(lines == Lines::wrap);
    setSizePolicy(policy);
}

void PillRow::setLeading(QWidget* leading, int gap)
{
    leading->setParent(this);
    m_leading = leading;
    m_leadingGap = gap;
    updateGeometry();
}

void PillRow::add(PillButton* button)
{
    button->setParent(this);
    m_buttons << button;
    updateGeometry();
}

void PillRow::pairWith(PillRow& other)
{
    m_partner = &other;
    other.m_partner = this;
    updateGeometry();
    other.updateGeometry();
}

QList<QWidget*> PillRow::items() const
{
    QList<QWidget*> items;
    if (m_leading && !m_leading->isHidden())
        items << m_leading;
    for (PillButton* button : m_buttons)
        if (!button->isHidden())
            items << button;
    return items;
}

QList<SegmentWidths::Segment> PillRow::segments(const QList<QWidget*>& items) const
{
    QList<SegmentWidths::Segment> segments;
    for (const QWidget* item : items) {
        if (const auto* button = qobject_cast<const PillButton*>(item)) {
            segments << button->widths();
        } else {
            // The label's wider gap stands inside its segment; it gives way only in a row
            // narrower than itself.
            const int gap = m_leadingGap - m_spacing;
            const int width = item->sizeHint().width() + gap;
            segments << SegmentWidths::Segment{width, width, width,
                                               std::min(width, item->minimumSizeHint().width() + gap)};
        }
    }
    return segments;
}

QList<qsizetype> PillRow::lineStarts(const QList<SegmentWidths::Segment>& segments, int width) const
{
    if (m_lines == Lines::one || segments.isEmpty())
        return {0};
    return SegmentWidths::lineStarts(segments, m_spacing, width);
}

int PillRow::lineHeight() const
{
    int height = 0;
    for (const QWidget* item : items())
        height = std::max(height, item->sizeHint().height());
    return height;
}

int PillRow::ownHeight(int width) const
{
    const int lines = int(lineStarts(segments(items()), width).size());
    return lines * lineHeight() + (lines - 1) * lineGap;
}

QSize PillRow::sizeHint() const
{
    const QList<SegmentWidths::Segment> wanted = segments(items());
    int width = m_spacing * std::max(0, int(wanted.size()) - 1);
    for (const SegmentWidths::Segment& segment : wanted)
        width += segment.full;
    const int height = m_partner ? std::max(lineHeight(), m_partner->lineHeight()) : lineHeight();
    return {width, height};
}

QSize PillRow::minimumSizeHint() const
{
    const QList<SegmentWidths::Segment> wanted = segments(items());
    int width = 0;
    for (const SegmentWidths::Segment& segment : wanted)
        width = m_lines == Lines::wrap ? std::max(width, segment.least) : width + segment.least;
    if (m_lines == Lines::one)
        width += m_spacing * std::max(0, int(wanted.size()) - 1);
    return {width, sizeHint().height()};
}

int PillRow::heightForWidth(int width) const
{
    // Paired rows share a line in equal halves, so the partner is judged at this width too:
    // not at its present one, which may not have been laid out yet.
    return m_partner ? std::max(ownHeight(width), m_partner->ownHeight(width)) : ownHeight(width);
}

void PillRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

bool PillRow::event(QEvent* event)
{
    // A button with a new caption, or one shown or hidden, asks for the row to be laid out
    // again, and its partner, whose height follows.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
        if (m_partner)
            m_partner->updateGeometry();
    }
    return QWidget::event(event);
}

void PillRow::place()
{
    const QList<QWidget*> shown = items();
    if (shown.isEmpty())
        return;
    const QList<SegmentWidths::Segment> wanted = segments(shown);
    QList<qsizetype> starts = lineStarts(wanted, width());
    starts << shown.size();
    const int line = lineHeight();
    const int lines = int(starts.size()) - 1;
    // The lines are centred in the row's height, which a partner may have made taller.
    int top = (height() - (lines * line + (lines - 1) * lineGap)) / 2;
    for (int l = 0; l < lines; ++l) {
        const QList<SegmentWidths::Segment> onLine = wanted.mid(starts[l], starts[l + 1] - starts[l]);
        const QList<int> widths = SegmentWidths::fit(onLine, width() - m_spacing * int(onLine.size() - 1));
        int leading = 0;
        for (qsizetype i = 0; i < onLine.size(); ++i) {
            QWidget* item = shown[starts[l] + i];
            const int itemHeight = item->sizeHint().height();
            const int itemWidth = item == m_leading ? widths[i] - (m_leadingGap - m_spacing) : widths[i];
            const QRect box(leading, top + (line - itemHeight) / 2, itemWidth, itemHeight);
            item->setGeometry(QStyle::visualRect(layoutDirection(), rect(), box));
            leading += widths[i] + m_spacing;
        }
        top += line + lineGap;
    }
}
