#include "UI/Models/TextTint.h"

QColor TextTint::resolve(const QColor& text, bool dark) const
{
    switch (m_kind) {
    case Kind::primary:
        return text;
    case Kind::secondary: {
        // Mixed with the canvas rather than made transparent: glyphs from a fallback font
        // (Hangul in a Latin face) would otherwise be drawn at full strength.
        const QColor canvas = ThemePalette::color(ThemePalette::Token::canvas, dark);
        constexpr float strength = 0.55f;
        return QColor::fromRgbF(text.redF() * strength + canvas.redF() * (1 - strength),
                                text.greenF() * strength + canvas.greenF() * (1 - strength),
                                text.blueF() * strength + canvas.blueF() * (1 - strength));
    }
    case Kind::accent:
        return ThemePalette::color(ThemePalette::Token::accent, dark);
    case Kind::named:
        return ThemePalette::named(m_named, dark);
    }
    return text;
}
