#pragma once

#include <QLayout>
#include <QList>

// Items side by side in their order, each at its preferred width, a line below taking those
// that do not fit beside the others; each line as tall as its tallest item. A read-out of many
// small columns stays whole in a narrow window rather than pushing out of it.
class FlowLayout final : public QLayout {
public:
    FlowLayout(int horizontalSpacing, int verticalSpacing, QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addLayout(QLayout* layout);

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the items out in `rect` (or only measures), and gives the height they take.
    int arrange(const QRect& rect, bool place) const;

    int m_horizontalSpacing;
    int m_verticalSpacing;
    QList<QLayoutItem*> m_items;
};
