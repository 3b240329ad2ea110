#pragma once

#include <QPushButton>

// A push button filled with exactly one colour, with white text and symbol: the prominent
// button of a choice. The style would lighten the colour into a gradient and pale it, which
// leaves white text unreadable; here the colour given is the colour drawn (pass one that
// reads at 4.5:1 under white, such as ThemePalette::filled), a little darker while pressed.
// Focused, it shows a white ring inside its edge.
class FilledButton final : public QPushButton {
    Q_OBJECT
public:
    explicit FilledButton(QWidget* parent = nullptr);

    void setFill(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
};
