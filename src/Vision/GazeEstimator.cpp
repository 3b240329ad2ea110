#include "Vision/GazeEstimator.h"

#include <algorithm>
#include <cmath>

GazeState GazeEstimator::estimate(const std::optional<FaceObservation>& observation) const
{
    if (!observation)
        return {GazeStatus::noFace, 0.0};
    const double yaw = std::abs(observation->yaw);
    const double pitch = std::abs(observation->pitch);
    if (yaw <= yawThreshold && pitch <= pitchThreshold) {
        const double margin =
            (std::max(0.0, 1.0 - yaw / yawThreshold) + std::max(0.0, 1.0 - pitch / pitchThreshold)) / 2.0;
        return {GazeStatus::lookingAtScreen, margin};
    }
    return {GazeStatus::lookingAway, 0.6};
}
