#pragma once

#include "Endpointing/GazeStatus.h"

// One gaze estimate. With no face (or the camera off or paused) the confidence is 0.
struct GazeState {
    GazeStatus status = GazeStatus::noFace;
    double confidence = 0.0;  // 0.0 to 1.0

    bool operator==(const GazeState&) const = default;
};
