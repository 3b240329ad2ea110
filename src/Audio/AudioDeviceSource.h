#pragma once

#include <QList>
#include <QString>

#include <optional>

// The machine's audio devices as the sound system reports them. The device list of the
// settings reads them through this, so tests can stand in a machine of their own.
class AudioDeviceSource {
public:
    struct Device {
        QString id;  // persistent: the PulseAudio source name
        QString name;  // what the sound system calls it
    };

    virtual ~AudioDeviceSource() = default;

    // Capture devices in the sound system's own order.
    virtual QList<Device> inputs() const = 0;
    virtual std::optional<Device> defaultInput() const = 0;
    virtual std::optional<QString> defaultOutputName() const = 0;

    // A monitor records what a sink plays; it is not a microphone.
    static bool isMonitor(const QString& id) { return id.endsWith(QLatin1String(".monitor")); }
};
