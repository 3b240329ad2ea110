#include "Vision/CameraError.h"

QString CameraError::description() const
{
    switch (kind) {
    case Kind::configurationFailed:
        return QStringLiteral("Camera configuration failed: ") + detail;
    case Kind::noDevice:
        return QStringLiteral("no camera device found");
    case Kind::authorizationDenied:
        return QStringLiteral("camera busy or not permitted: ") + detail;
    case Kind::timedOut:
        return QStringLiteral("the camera did not open in time");
    }
    return {};
}
