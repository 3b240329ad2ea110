#pragma once

// How the user's head is turned, as face tracking last saw it, in radians; all 0 with no face.
struct HeadPose {
    double yaw = 0.0;
    double pitch = 0.0;
    double roll = 0.0;

    bool operator==(const HeadPose&) const = default;
};
