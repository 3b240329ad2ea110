#pragma once

#include "UI/Models/TextTint.h"

#include <QWidget>

class Theme;

// The tracking panel's microphone bar: a 50 × 6 track and a fill of the level's share.
class MicMeter final : public QWidget {
    Q_OBJECT
public:
    explicit MicMeter(Theme& theme, QWidget* parent = nullptr);

    void setLevel(double fraction, TextTint fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Theme& m_theme;
    double m_fraction = 0;
    TextTint m_fill = TextTint::secondary();
};
