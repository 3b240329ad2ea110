#include "UI/Minutes/MinutesRowDelegate.h"

#include "UI/Kit/Theme.h"
#include "UI/Models/MinutesListModel.h"
#include "UI/Talk/TextStyle.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QPainter>

namespace {
constexpr int timeWidth = 64;
constexpr int gap = 8;
constexpr int margin = 8;
constexpr int lineGap = 2;

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

constexpr int textFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
}  // namespace

MinutesRowDelegate::MinutesRowDelegate(const Theme& theme, QObject* parent)
    : QStyledItemDelegate(parent), m_theme(theme)
{
}

MinutesRowDelegate::Layout MinutesRowDelegate::layout(const QStyleOptionViewItem& option, const QModelIndex& index,
                                                      int width) const
{
    const QFontMetrics label(labelFont());
    const QString speaker = index.data(MinutesListModel::speakerRole).toString();
    Layout parts;
    parts.time = QRect(margin, lineGap, timeWidth, QFontMetrics(timeFont()).height());
    const int capsuleWidth = std::min(label.horizontalAdvance(speaker) + 12, width / 3);
    parts.capsule = QRect(parts.time.right() + 1 + gap, lineGap, capsuleWidth, label.height() + 4);
    const int textLeft = parts.capsule.right() + 1 + gap;
    const int textWidth = std::max(width - textLeft - margin, 40);
    const QRect wrapped = option.fontMetrics.boundingRect(QRect(0, 0, textWidth, 100000), textFlags,
                                                          index.data(Qt::DisplayRole).toString());
    parts.text = QRect(textLeft, lineGap, textWidth, wrapped.height());
    return parts;
}

QSize MinutesRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const int width = view ? view->viewport()->width() : option.rect.width();
    const Layout parts = layout(option, index, width);
    return {width, std::max({parts.time.bottom(), parts.capsule.bottom(), parts.text.bottom()}) + 1 + 2 * lineGap};
}

void MinutesRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const Layout parts = layout(option, index, option.rect.width());
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
    const qreal radius = parts.capsule.height() / 2.0;
    painter->drawRoundedRect(QRectF(parts.capsule), radius, radius);
    painter->setFont(labelFont());
    painter->setPen(Qt::white);
    const QFontMetrics label(labelFont());
    painter->drawText(parts.capsule, Qt::AlignCenter,
                      label.elidedText(index.data(MinutesListModel::speakerRole).toString(), Qt::ElideRight,
                                       parts.capsule.width() - 12));

    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(parts.text, textFlags, index.data(Qt::DisplayRole).toString());
    painter->restore();
}
