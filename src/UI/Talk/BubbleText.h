#pragma once

#include "UI/Kit/PlainTextLabel.h"

// The text of one chat bubble on its rounded colour, selectable, at most 480 points wide.
class BubbleText final : public PlainTextLabel {
    Q_OBJECT
public:
    static constexpr int widest = 480;

    explicit BubbleText(QWidget* parent = nullptr);

    void setColours(const QColor& background, const QColor& text);

    // As wide as the text's longest line (at most the widest), as tall as it then wraps; the
    // minimum is one line, so a list of bubbles is never sized for squeezed text.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Laid out beside free room, the bubble is never wider than its text: its height is
    // that of the text at the width it really gets.
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int naturalWidth() const;

    QColor m_background;
};
