#pragma once

#include "UI/Kit/PlainTextLabel.h"
#include "UI/Models/TextTint.h"

class Theme;

// A plain-text label drawn in a tint, which follows the appearance: its colour is resolved
// again against the application's text colour whenever the appearance changes.
class TintedLabel final : public PlainTextLabel {
    Q_OBJECT
public:
    TintedLabel(Theme& theme, const QFont& font, TextTint tint = TextTint::primary(), QWidget* parent = nullptr);

    void setTint(TextTint tint);
    // Sets both, repainting once.
    void setValue(const QString& text, TextTint tint);

private:
    void applyTint();

    Theme& m_theme;
    TextTint m_tint;
};
