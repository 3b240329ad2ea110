#pragma once

#include "UI/Diagnostics/RowHeightCache.h"

#include <QStyledItemDelegate>

class Theme;

// Draws one event of the pipeline timeline: its time with the gap to the event above in the
// gap's colour, a dot in the category's colour on a thin rail, then the category and the
// message wrapped to the width (red for errors).
class TimelineRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TimelineRowDelegate(Theme& theme, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int messageWidth(const QStyleOptionViewItem& option) const;

    Theme& m_theme;
    QFont m_timeFont;
    QFont m_deltaFont;
    QFont m_categoryFont;
    QFont m_messageFont;
    mutable RowHeightCache m_heights;
};
