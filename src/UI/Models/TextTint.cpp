#include "UI/Models/TextTint.h"

QColor TextTint::resolve(const QColor& text, bool dark) const
{
    switch (m_kind) {
    case Kind::primary:
        return text;
    case Kind::secondary:
        // Opaque rather than the text made transparent: glyphs from a fallback font (Hangul in
        // a Latin face) would otherwise be drawn at full strength.
        return ThemePalette::color(ThemePalette::Token::secondary, dark);
    case Kind::accent:
        return ThemePalette::text(ThemePalette::color(ThemePalette::Token::accent, dark), dark);
    case Kind::named:
        return ThemePalette::text(m_named, dark);
    }
    return text;
}
