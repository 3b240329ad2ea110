#pragma once

#include <QWidget>

class Theme;

// A box of the diagnostics tab: a rounded rectangle filled behind its children, optionally
// outlined, repainted in the new colours when the appearance changes.
class RoundedPanel : public QWidget {
    Q_OBJECT
public:
    enum class Fill {
        muted,  // the palette's muted surface
        faint,  // the text colour at 6 %
        tinted,  // the text colour at 10 %
    };

    RoundedPanel(Theme& theme, Fill fill, qreal radius, bool outlined, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Theme& m_theme;
    const Fill m_fill;
    const qreal m_radius;
    const bool m_outlined;
};
