#pragma once

#include <QWidget>

// A line of two parts: the leading part on the left and the trailing part on the right when
// both fit, else the trailing part on a line of its own below, so long labels (German,
// Russian) never push buttons out of a narrow tile. Two rows side by side can be paired:
// then both break when either must, and both take the taller one's height, so what stands
// above them stays level.
class SplitRow final : public QWidget {
    Q_OBJECT
public:
    SplitRow(QWidget* leading, QWidget* trailing, QWidget* parent = nullptr);

    void pairWith(SplitRow& other);

    bool isSplit() const { return m_split; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool fits(int width) const;
    // Whether this row breaks at the width: when it does not fit, or its partner would not.
    bool breaks(int width) const;
    int ownHeight(bool split) const;
    void place();

    static constexpr int spacing = 6;
    QWidget* m_leading;
    QWidget* m_trailing;
    SplitRow* m_partner = nullptr;
    bool m_split = false;
};
