#pragma once

#include <QString>

// Why the camera could not start.
struct CameraError {
    enum class Kind { configurationFailed, noDevice, authorizationDenied, timedOut };
    Kind kind = Kind::noDevice;
    QString detail;  // configurationFailed and authorizationDenied: the reason

    QString description() const;
};
