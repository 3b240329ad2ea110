#pragma once

#include <QStyledItemDelegate>

class Theme;

// Draws one minutes line: the time, the speaker's name on a capsule of the speaker's colour,
// and the text, wrapped to the list's width (the row grows with it).
class MinutesRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MinutesRowDelegate(const Theme& theme, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    struct Layout {
        QRect time;
        QRect capsule;
        QRect text;
    };
    Layout layout(const QStyleOptionViewItem& option, const QModelIndex& index, int width) const;

    const Theme& m_theme;
};
