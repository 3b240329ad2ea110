#pragma once

#include "Audio/AudioInputDevice.h"

#include <QList>
#include <QString>

#include <optional>

class AudioDeviceSource;
class CaptureBackend;

// A capture backend refused the chosen device.
struct AudioDeviceError {
    int status = 0;
    QString description() const;
};

// The microphones the settings offer, read from the device source each time they are asked for.
class AudioDeviceManager {
public:
    explicit AudioDeviceManager(const AudioDeviceSource& source) : m_source(source) {}

    // Devices with a name and a unique id, monitors of outputs left out, sorted by name in
    // the user's collation; devices named alike keep the sound system's order.
    QList<AudioInputDevice> listInputDevices() const;
    // The listed device whose uid equals `uid` exactly.
    std::optional<AudioInputDevice> device(const QString& uid) const;
    // What to show for a stored microphone setting ("" is the system default).
    QString displayInputName(const QString& uid) const;
    QString displayDefaultOutputName() const;
    // Points capture at `device`.
    static std::optional<AudioDeviceError> applyDevice(const AudioInputDevice& device, CaptureBackend& backend);

private:
    const AudioDeviceSource& m_source;
};
