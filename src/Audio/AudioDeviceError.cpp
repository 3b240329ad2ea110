#include "Audio/AudioDeviceError.h"

QString AudioDeviceError::description() const
{
    switch (kind) {
    case Kind::setDeviceFailed:
        return QStringLiteral("Failed to set audio device (status %1).").arg(status);
    case Kind::noAudioUnit:
        return QStringLiteral("Audio input has no underlying sound server connection.");
    }
    return {};
}
