#pragma once

#include "UI/Models/SegmentWidths.h"

#include <QAbstractButton>
#include <QColor>
#include <QIcon>

// The talk view's small painted buttons (work-state and talk buttons): a symbol, a caption
// and an optional shortcut hint on a coloured capsule or rounded rectangle. Reached by Tab,
// with a ring in the accent colour while focused; its accessible name is the caption, its
// tooltip the help (an icon-only button, with no caption, is named by its owner). When
// narrower than it would like, it drops the hint first (unless told to keep it), then shows
// its short caption, if it has one, and only then cuts the caption with "…"; while shortened,
// the whole caption heads its tooltip.
class PillButton final : public QAbstractButton {
    Q_OBJECT
public:
    struct Look {
        QString symbol;
        QString caption;
        QString hint;
        QString help;
        QColor background;
        QColor foreground;
        bool keepHint = false;  // the hint matters more than the caption (a countdown)
        QString shortCaption = {};  // says the same in fewer letters; none when empty
    };

    enum class Shown { whole, shortened, cut };

    // `radius` < 0 rounds the ends fully.
    PillButton(int horizontalPadding, int verticalPadding, qreal radius, QWidget* parent = nullptr);

    void setLook(const Look& look);
    void setRingColour(const QColor& colour);
    const Look& look() const { return m_look; }

    // The widths it can take, as a row shares them out.
    SegmentWidths::Segment widths() const;
    // How the caption shows at the present width.
    Shown shown() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int textWidth(const QString& text) const;
    int hintWidth() const;
    int chrome() const;
    void renameForShown();

    int m_horizontalPadding;
    int m_verticalPadding;
    qreal m_radius;
    Look m_look;
    QIcon m_symbol;
    QColor m_ring;
    // Measured once per look and font: layouts ask for the size hints many times.
    mutable int m_captionWidth = -1;
    mutable int m_shortWidth = -1;
    mutable int m_leastWidth = -1;
    mutable int m_hintWidth = -1;
};
