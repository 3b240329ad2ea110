#pragma once

#include "Persistence/AvatarGender.h"

#include <QColor>

// The colours of the face: the fixed palette of the drawn face, and the frosted surfaces,
// which follow the light or dark appearance (the phase colours are the window's, ThemePalette).
namespace FacePalette {

// `base` moved component-wise toward `other` by `fraction` (clamped to [0, 1], NaN counting
// as 1), opaque: the alpha of both inputs is ignored. An invalid base counts as black, an
// invalid other as white.
QColor blended(const QColor& base, const QColor& other, double fraction);

// The translucent frosted disc and bubble behind a picture, an emoji or a caption.
QColor material(bool dark);
QColor primaryText(bool dark);

QColor skin();
QColor skinShade();
QColor blush();
QColor iris();
QColor mouthOpening();
QColor hair(AvatarGender gender);
QColor hairGloss(AvatarGender gender);
QColor lip(AvatarGender gender);

// A colour with its alpha multiplied by `opacity`.
QColor faded(QColor color, double opacity);

}  // namespace FacePalette
