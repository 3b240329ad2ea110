#include "UI/Diagnostics/TimelineRowDelegate.h"

#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/ItemWidth.h"
#include "UI/Diagnostics/WrappedText.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/LogViewText.h"
#include "UI/Models/PipelineLogModel.h"
#include "UI/Models/TimelineText.h"

#include <QPainter>

namespace {
constexpr int timeColumn = 130;
constexpr int timePad = 8;
constexpr int railWidth = 14;
constexpr int railPad = 4;
constexpr int dotSize = 9;
constexpr int messageLeft = timeColumn + timePad + railPad + railWidth + railPad;
constexpr int bottomPad = 6;
}  // namespace

TimelineRowDelegate::TimelineRowDelegate(Theme& theme, QObject* parent)
    : QStyledItemDelegate(parent), m_theme(theme), m_timeFont(DiagnosticsFonts::mono(9)),
      m_deltaFont(DiagnosticsFonts::mono(9, QFont::DemiBold)), m_categoryFont(DiagnosticsFonts::mono(9, QFont::Bold)),
      m_messageFont(DiagnosticsFonts::mono(10))
{
}

int TimelineRowDelegate::messageWidth(const QStyleOptionViewItem& option) const
{
    return std::max(1, ItemWidth::of(option) - messageLeft);
}

QSize TimelineRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const PipelineLog::Entry& entry = static_cast<const PipelineLogModel*>(index.model())->entry(index.row());
    const int width = ItemWidth::of(option);
    return QSize(width, m_heights.height(entry.id, width, [&] {
        const int timeHeight = QFontMetrics(m_timeFont).height() + 2 + QFontMetrics(m_deltaFont).height();
        const int messageHeight = QFontMetrics(m_categoryFont).height() + 1 +
                                  WrappedText::height(m_messageFont, entry.message, messageWidth(option)) + bottomPad;
        return std::max(timeHeight, messageHeight);
    }));
}

void TimelineRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* model = static_cast<const PipelineLogModel*>(index.model());
    const PipelineLog::Entry& entry = model->entry(index.row());
    const TimelineText::Delta delta = TimelineText::delta(model->previous(index.row()), entry);
    const QColor text = option.palette.color(QPalette::Text);
    const bool dark = m_theme.isDark();
    const QColor categoryColour = TimelineText::categoryTint(entry.category).resolve(text, dark);
    const QRect row = option.rect;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(m_theme.color(ThemePalette::Token::accent));
        painter->drawRect(QRectF(row).adjusted(0.5, 0.5, -0.5, -0.5));
    }

    const int timeHeight = QFontMetrics(m_timeFont).height();
    const QRect time(row.left(), row.top(), timeColumn, timeHeight);
    painter->setFont(m_timeFont);
    painter->setPen(TextTint::secondary().resolve(text, dark));
    painter->drawText(time, Qt::AlignRight | Qt::AlignTop, PipelineLog::timeOfDay(entry.timestamp));
    painter->setFont(m_deltaFont);
    painter->setPen(delta.tint.resolve(text, dark));
    painter->drawText(time.translated(0, timeHeight + 2), Qt::AlignRight | Qt::AlignTop, delta.text);

    const qreal railCentre = row.left() + timeColumn + timePad + railPad + railWidth / 2.0;
    QColor rail = text;
    rail.setAlphaF(0.55f * 0.3f);
    painter->fillRect(QRectF(railCentre - 1, row.top(), 2, row.height()), rail);
    const QRectF dot(railCentre - dotSize / 2.0, row.top() + (row.height() - dotSize) / 2.0, dotSize, dotSize);
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::white);
    painter->drawEllipse(dot);
    painter->setBrush(categoryColour);
    painter->drawEllipse(dot.adjusted(1, 1, -1, -1));

    const int categoryHeight = QFontMetrics(m_categoryFont).height();
    painter->setFont(m_categoryFont);
    painter->setPen(categoryColour);
    painter->drawText(QRect(row.left() + messageLeft, row.top(), messageWidth(option), categoryHeight),
                      Qt::AlignLeft | Qt::AlignTop, QLatin1Char('[') + entry.category + QLatin1Char(']'));
    WrappedText::paint(*painter, m_messageFont, entry.message,
                       QPointF(row.left() + messageLeft, row.top() + categoryHeight + 1), messageWidth(option),
                       LogViewText::messageTint(entry.category).resolve(text, dark));
    painter->restore();
}
