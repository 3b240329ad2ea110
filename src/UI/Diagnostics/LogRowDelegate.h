#pragma once

#include "UI/Diagnostics/RowHeightCache.h"

#include <QStyledItemDelegate>

class Theme;

// Draws one line of the raw pipeline log: time, category in its colour, and the message
// wrapped to the width (red for errors). The row under the pointer is shaded and offers a
// copy button at its end, which asks for that row's line to be copied.
class LogRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit LogRowDelegate(Theme& theme, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    static QString copyButtonTip();

signals:
    void copyRequested(int row);

private:
    struct Columns {
        QRect time;
        QRect category;
        QRect message;
        QRect copyButton;
    };
    Columns columns(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    Theme& m_theme;
    QFont m_font;
    QFont m_categoryFont;
    mutable RowHeightCache m_heights;
};
