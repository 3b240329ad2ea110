#pragma once

#include "UI/Models/ThemePalette.h"

#include <QObject>

class QWidget;

// The palette as the window draws it now. It follows the system's light or dark appearance
// at once: whenever the application palette or the platform theme changes it reads the
// appearance again and, when that changed, announces it so views recolour without being
// rebuilt. The first one made puts ThemeStyle over the application's style, so controls'
// edges are drawn in the palette's outline colour. GUI thread; one per application, owned by
// the entry and handed to views.
class Theme final : public QObject {
    Q_OBJECT
public:
    explicit Theme(QObject* parent = nullptr);
    ~Theme() override;

    bool isDark() const { return m_dark; }
    QColor color(ThemePalette::Token token) const { return ThemePalette::color(token, m_dark); }
    QColor named(ThemePalette::Named colour) const { return ThemePalette::named(colour, m_dark); }

    // Gives a window the whole palette of the appearance (ThemePalette::palette).
    void paint(QWidget& window) const;

signals:
    void appearanceChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_dark;
};
