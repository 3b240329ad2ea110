#pragma once

#include <QRectF>

// One head pose, in radians, in the picture as analysed (mirrored, as the user sees
// themselves), with x to the right and y downwards: yaw > 0 when the face turns towards +x,
// pitch > 0 when it tilts towards +y (down), roll > 0 when it leans clockwise. No face is an
// absent observation, never a special value.
struct FaceObservation {
    double yaw = 0.0;
    double pitch = 0.0;
    double roll = 0.0;
    QRectF bbox;  // normalized to the analysed picture (0 to 1), origin top left
};
