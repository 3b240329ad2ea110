#pragma once

#include "UI/Models/ThemePalette.h"

#include <QColor>

// The colour a text or symbol takes: the text's own colour (primary), the palette's quieter
// text colour (secondary), the window's accent, or one of the named colours, the last two
// made dark or light enough to read (ThemePalette::text). Models decide it; widgets resolve
// it against their palette and the appearance when they paint.
class TextTint {
public:
    static constexpr TextTint primary() { return TextTint(Kind::primary); }
    static constexpr TextTint secondary() { return TextTint(Kind::secondary); }
    static constexpr TextTint accent() { return TextTint(Kind::accent); }
    constexpr TextTint(ThemePalette::Named named)
        : m_kind(Kind::named), m_named(named) {}  // NOLINT: a colour is a tint

    // `text` is the palette's text colour where the tint is drawn.
    QColor resolve(const QColor& text, bool dark) const;

    bool operator==(const TextTint&) const = default;

private:
    enum class Kind { primary, secondary, accent, named };
    constexpr explicit TextTint(Kind kind) : m_kind(kind) {}

    Kind m_kind;
    ThemePalette::Named m_named = ThemePalette::Named::gray;
};
