#pragma once

#include "Endpointing/GazeStatus.h"

#include <QColor>
#include <QRectF>
#include <QString>

// The camera card's decisions: the gaze badge's text key and colour (also the border's),
// and which part of a camera picture fills the card without letter-boxing.
namespace CameraCard {

QString statusKey(GazeStatus status);
QColor statusColour(GazeStatus status, bool dark);

// The centred part of a picture of `picture` size that has the target's aspect ratio, so
// the picture fills the target and is cropped; empty when either size is empty.
QRectF fillSource(const QSizeF& picture, const QSizeF& target);

}  // namespace CameraCard
