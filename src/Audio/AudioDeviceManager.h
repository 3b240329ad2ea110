#pragma once

#include "Audio/AudioInputDevice.h"

#include <QList>
#include <QString>

#include <optional>

class AudioDeviceSource;

// The microphones the settings offer, read from the device source each time they are asked
// for; the source announces every change with AudioDeviceSource::devicesChanged().
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

    const AudioDeviceSource& source() const { return m_source; }

private:
    const AudioDeviceSource& m_source;
};
