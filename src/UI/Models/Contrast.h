#pragma once

#include <QColor>

// Contrast between colours as the web's accessibility guidelines measure it: from 1 (the
// same) to 21 (black on white). Text wants 4.5 against what it is drawn on, the outline of
// a control 3.
namespace Contrast {

inline constexpr double kText = 4.5;
inline constexpr double kOutline = 3.0;

// Relative luminance of an opaque sRGB colour, 0…1.
double luminance(const QColor& colour);
double ratio(const QColor& a, const QColor& b);

// `top` drawn with its opacity over the opaque `bottom`.
QColor over(const QColor& top, const QColor& bottom);

// `colour`, made darker or lighter (away from `background`) by the least that gives at
// least `minimum` against it; its hue kept. A colour that already contrasts enough is returned
// as it is.
QColor readable(const QColor& colour, const QColor& background, double minimum = kText);

}  // namespace Contrast
