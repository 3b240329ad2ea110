#include "UI/Minutes/MinutesRowDelegate.h"

#include "UI/Kit/Theme.h"
#include "UI/Models/MinutesListModel.h"
#include "UI/Models/MinutesRowLayout.h"
#include "UI/Talk/TextStyle.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QPainter>

namespace {
QFont timeFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(TextStyle::font(TextStyle::Size::caption2).pointSizeF());
    return font;
}

QFont labelFont()
{
    return TextStyle::font(TextStyle::Size::caption, QFont::DemiBold);
}

MinutesRowLayout layout(const QStyleOptionViewItem& option, const QModelIndex& index, int width)
{
    return MinutesRowLayout::of(width, QFontMetrics(timeFont()), QFontMetrics(labelFont()),
                                index.data(MinutesListModel::speakerRole).toString(), option.fontMetrics,
                                index.data(Qt::DisplayRole).toString());
}
}  // namespace

MinutesRowDelegate::MinutesRowDelegate(const Theme& theme, QObject* parent)
    : QStyledItemDelegate(parent), m_theme(theme)
{
}

QSize MinutesRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const int width = view ? view->viewport()->width() : option.rect.width();
    return {width, layout(option, index, width).height()};
}

void MinutesRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const MinutesRowLayout parts = layout(option, index, option.rect.width());
    painter->save();
    painter->translate(option.rect.topLeft());
    painter->setRenderHint(QPainter::Antialiasing);

    painter->setFont(timeFont());
    painter->setPen(m_theme.named(ThemePalette::Named::gray));
    painter->drawText(parts.time, Qt::AlignLeft | Qt::AlignVCenter, index.data(MinutesListModel::timeRole).toString());

    // Deepened where the speaker's colour would leave the white name hard to read.
    const QColor colour = ThemePalette::filled(
        MinutesListModel::speakerColour(index.data(MinutesListModel::speakerIDRole).toInt()), m_theme.isDark());
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    // Round ends on one line; a name wrapped to more keeps the ends of one.
    const qreal radius = std::min(parts.capsule.height(), QFontMetrics(labelFont()).height() + 4) / 2.0;
    painter->drawRoundedRect(QRectF(parts.capsule), radius, radius);
    painter->setFont(labelFont());
    painter->setPen(Qt::white);
    painter->drawText(parts.name, MinutesRowLayout::nameFlags, index.data(MinutesListModel::speakerRole).toString());

    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(parts.text, MinutesRowLayout::textFlags, index.data(Qt::DisplayRole).toString());
    painter->restore();
}
