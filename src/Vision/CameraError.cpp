#include "Vision/CameraError.h"

QString CameraError::description() const
{
    switch (kind) {
    case Kind::configurationFailed:
        return QStringLiteral("Camera configuration failed: ") + detail;
    case Kind::noDevice:
        return QStringLiteral("No video capture device available.");
    case Kind::authorizationDenied:
        return QStringLiteral("Camera access was denied.");
    case Kind::deviceFailed:
        return detail;
    case Kind::timedOut:
        return QStringLiteral("the camera did not open in time");
    }
    return {};
}
