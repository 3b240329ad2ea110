#pragma once

#include <QString>

// Why the camera could not start.
struct CameraError {
    enum class Kind {
        configurationFailed,  // the camera offers nothing we can use
        noDevice,
        authorizationDenied,  // the camera may not be opened by this user
        deviceFailed,  // the device refused or failed: its own reason, unchanged
        timedOut,
    };
    Kind kind = Kind::noDevice;
    QString detail;  // configurationFailed and deviceFailed: the reason

    QString description() const;
};
