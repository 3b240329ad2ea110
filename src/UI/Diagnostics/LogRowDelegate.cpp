#include "UI/Diagnostics/LogRowDelegate.h"

#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/ItemWidth.h"
#include "UI/Diagnostics/WrappedText.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/LogViewText.h"
#include "UI/Models/PipelineLogModel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr int padX = 4;
constexpr int padY = 1;
constexpr int gap = 8;
constexpr int buttonSize = 12;

const PipelineLog::Entry& entryAt(const QModelIndex& index)
{
    return static_cast<const PipelineLogModel*>(index.model())->entry(index.row());
}
}  // namespace

LogRowDelegate::LogRowDelegate(Theme& theme, QObject* parent)
    : QStyledItemDelegate(parent), m_theme(theme), m_font(DiagnosticsFonts::mono(10)),
      m_categoryFont(DiagnosticsFonts::mono(10, QFont::DemiBold))
{
}

QString LogRowDelegate::copyButtonTip()
{
    return QStringLiteral("Copy this line");
}

LogRowDelegate::Columns LogRowDelegate::columns(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const PipelineLog::Entry& entry = entryAt(index);
    const QFontMetrics metrics(m_font);
    const int lineHeight = metrics.height();
    const int width = ItemWidth::of(option);
    const int left = option.rect.left() + padX;
    const int top = option.rect.top() + padY;
    const int timeWidth = metrics.horizontalAdvance(PipelineLog::timeOfDay(entry.timestamp));
    const int categoryWidth =
        QFontMetrics(m_categoryFont).horizontalAdvance(QLatin1Char('[') + entry.category + QLatin1Char(']'));
    Columns columns;
    columns.time = QRect(left, top, timeWidth, lineHeight);
    columns.category = QRect(columns.time.right() + 1 + gap, top, categoryWidth, lineHeight);
    const int messageLeft = columns.category.right() + 1 + gap;
    // The button's place is kept on every row, so a row does not re-wrap under the pointer.
    const int messageWidth = std::max(1, option.rect.left() + width - padX - buttonSize - gap - messageLeft);
    columns.message = QRect(messageLeft, top, messageWidth, WrappedText::height(m_font, entry.message, messageWidth));
    columns.copyButton =
        QRect(columns.message.right() + 1 + gap, top + (lineHeight - buttonSize) / 2, buttonSize, buttonSize);
    return columns;
}

QSize LogRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int width = ItemWidth::of(option);
    return QSize(width, m_heights.height(entryAt(index).id, width, [&] {
        const Columns parts = columns(option, index);
        return std::max(parts.message.height(), parts.time.height()) + 2 * padY;
    }));
}

void LogRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const PipelineLog::Entry& entry = entryAt(index);
    const Columns parts = columns(option, index);
    const QColor text = option.palette.color(QPalette::Text);
    const bool dark = m_theme.isDark();
    const bool hovered = option.state & QStyle::State_MouseOver;

    painter->save();
    if (hovered || (option.state & QStyle::State_Selected)) {
        QColor shade = text;
        shade.setAlphaF(0.1f);
        painter->fillRect(option.rect, shade);
    }
    if (option.state & QStyle::State_HasFocus) {
        QColor ring = m_theme.color(ThemePalette::Token::accent);
        painter->setPen(ring);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->setFont(m_font);
    painter->setPen(TextTint::secondary().resolve(text, dark));
    painter->drawText(parts.time, Qt::AlignLeft | Qt::AlignTop, PipelineLog::timeOfDay(entry.timestamp));
    painter->setFont(m_categoryFont);
    painter->setPen(LogViewText::categoryTint(entry.category).resolve(text, dark));
    painter->drawText(parts.category, Qt::AlignLeft | Qt::AlignTop,
                      QLatin1Char('[') + entry.category + QLatin1Char(']'));
    WrappedText::paint(*painter, m_font, entry.message, parts.message.topLeft(), parts.message.width(),
                       LogViewText::messageTint(entry.category).resolve(text, dark));
    if (hovered)
        Icons::symbol(QStringLiteral("doc.on.doc"), TextTint::secondary().resolve(text, dark))
            .paint(painter, parts.copyButton);
    painter->restore();
}

bool LogRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (click->button() == Qt::LeftButton &&
            columns(option, index).copyButton.contains(click->position().toPoint())) {
            emit copyRequested(index.row());
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool LogRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                               const QModelIndex& index)
{
    if (event->type() == QEvent::ToolTip && columns(option, index).copyButton.contains(event->pos())) {
        QToolTip::showText(event->globalPos(), copyButtonTip(), view);
        return true;
    }
    QToolTip::hideText();
    return true;
}
