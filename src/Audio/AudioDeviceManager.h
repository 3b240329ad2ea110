#pragma once

#include "Audio/AudioInputDevice.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class AudioDeviceSource;
class CaptureBackend;

// A capture backend refused the chosen device.
struct AudioDeviceError {
    int status = 0;
    QString description() const;
};

// The microphones the settings offer, read from the sound system each time they are asked for.
class AudioDeviceManager {
public:
    // Devices with a name and a unique id, monitors of outputs left out, sorted by name in
    // the user's collation; devices named alike keep the sound system's order.
    static QList<AudioInputDevice> listInputDevices();
    // The listed device whose uid equals `uid` exactly.
    static std::optional<AudioInputDevice> device(const QString& uid);
    // What to show for a stored microphone setting ("" is the system default).
    static QString displayInputName(const QString& uid);
    static QString displayDefaultOutputName();
    // Points capture at `device`.
    static std::optional<AudioDeviceError> applyDevice(const AudioInputDevice& device, CaptureBackend& backend);

    // Replaces the sound system as the source of devices (tests); nullptr goes back to it.
    static void setDeviceSource(std::shared_ptr<const AudioDeviceSource> source);

private:
    static std::shared_ptr<const AudioDeviceSource> source();
};
