#pragma once

#include "Endpointing/GazeState.h"
#include "Vision/FaceObservation.h"

#include <optional>

// Whether a face looks at the screen, from its yaw and pitch against two thresholds.
struct GazeEstimator {
    double yawThreshold = 0.13;  // radians, inclusive
    double pitchThreshold = 0.18;  // radians, inclusive

    // No face: noFace with confidence 0. Both angles within their thresholds: lookingAtScreen,
    // confident by the mean margin left inside them. Otherwise (an angle not a number
    // included): lookingAway with a fixed 0.6.
    GazeState estimate(const std::optional<FaceObservation>& observation) const;
};
