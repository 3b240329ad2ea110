#pragma once

#include "Persistence/ConversationPhase.h"

#include <QColor>

class QPalette;

// Every colour the window chooses itself, each with a light and a dark value: the warm,
// paper-like palette of the application's own surfaces, and the platform's named colours
// that views share (the phase colours among them). Which value applies is the caller's
// choice; Theme makes it from the system's appearance.
namespace ThemePalette {

enum class Token {
    canvas,  // window and talk-tab background
    surface,  // chat list, face card
    muted,  // transcript strip
    accentSoft,  // assistant bubble
    userBubble,  // stays dark in both appearances
    primary,  // text on the own surfaces
    tertiary,  // captions, footers
    onUserBubble,  // text on the user bubble
    accent,  // the window's tint
    border,
};

enum class Named { gray, green, orange, blue, purple, red };

QColor color(Token token, bool dark);
QColor named(Named colour, bool dark);

// idle gray, listening green, thinking orange, speaking blue, interrupted purple, error red.
QColor phaseColor(ConversationPhase phase, bool dark);

// Whether a palette is a dark appearance: its window colour is dark. Qt 6.4 reports no colour
// scheme of its own, and the palette is what the desktop hands over.
bool isDark(const QPalette& palette);

}  // namespace ThemePalette
