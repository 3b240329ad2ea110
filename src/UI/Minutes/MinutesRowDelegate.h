#pragma once

#include <QStyledItemDelegate>

class Theme;

// Draws one minutes line: the time, the speaker's whole name on a capsule of the speaker's
// colour, and the text, wrapped to the list's width (the row grows with it), as
// MinutesRowLayout places them.
class MinutesRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MinutesRowDelegate(const Theme& theme, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const Theme& m_theme;
};
