#pragma once

#include "Persistence/ConversationPhase.h"

#include <QColor>

class QPalette;

// Every colour the window chooses itself, each with a light and a dark value: the warm,
// paper-like palette of the application's own surfaces, and the platform's named colours
// that views share (the phase colours among them). Which value applies is the caller's
// choice; Theme makes it from the system's appearance. Text colours read at 4.5:1 or more on
// every own surface, control outlines at 3:1; a named colour used for text or behind white
// text is first made dark or light enough (text(), filled()).
namespace ThemePalette {

enum class Token {
    canvas,  // window and talk-tab background
    surface,  // chat list, face card
    muted,  // transcript strip
    accentSoft,  // assistant bubble
    userBubble,  // stays dark in both appearances
    primary,  // text on the own surfaces
    secondary,  // quieter text: titles of lists, hints, help
    tertiary,  // captions, footers
    outline,  // the edges of check boxes, fields and buttons
    onUserBubble,  // text on the user bubble
    accent,  // the window's tint
    border,
};

enum class Named {
    gray,
    green,
    orange,
    blue,
    purple,
    red,
    yellow,
    pink,
    cyan,
    teal,
    indigo,
    brown,
    warm,  // level bar between quiet and loud, the beta badge
    clockIn,  // the work-state buttons' tints
    rest,
    clockOut,
};

QColor color(Token token, bool dark);
QColor named(Named colour, bool dark);

// A colour for text on the own surfaces: made dark (light, in the dark appearance) enough to
// read on every one of them.
QColor text(const QColor& colour, bool dark);
QColor text(Named colour, bool dark);
// A named colour as the fill of a control with white text on it.
QColor filled(Named colour, bool dark);
QColor filled(Token colour, bool dark);

// The whole palette of the window's controls: text, fields, buttons, the outlines and
// indicators of check boxes, selection and links.
QPalette palette(bool dark);

// The colour at an opacity (0…1).
QColor withAlpha(QColor colour, double alpha);

// idle gray, listening green, thinking orange, speaking blue, interrupted purple, error red.
QColor phaseColor(ConversationPhase phase, bool dark);

// Whether a palette is a dark appearance: its window colour is dark. Qt 6.4 reports no colour
// scheme of its own, and the palette is what the desktop hands over.
bool isDark(const QPalette& palette);

}  // namespace ThemePalette
