#pragma once

#include "UI/Models/TextTint.h"

#include <QLabel>

class Theme;

// A symbol drawn in a tint at a fixed size, drawn again when the appearance changes.
class SymbolLabel final : public QLabel {
    Q_OBJECT
public:
    SymbolLabel(Theme& theme, int pixels, QWidget* parent = nullptr);

    void setSymbol(const QString& symbolName, TextTint tint);

private:
    void repaintSymbol();

    Theme& m_theme;
    const int m_pixels;
    QString m_symbol;
    TextTint m_tint = TextTint::primary();
};
