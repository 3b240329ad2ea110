#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// The machine's audio devices as the sound system reports them. The device list of the
// settings reads them through this, so tests can stand in a machine of their own.
class AudioDeviceSource : public QObject {
    Q_OBJECT
public:
    struct Device {
        QString id;  // persistent: the PulseAudio source name
        QString name;  // what the sound system calls it
        bool monitor = false;  // records what an output plays: not a microphone
        bool operator==(const Device&) const = default;
    };

    using QObject::QObject;

    // Capture devices in the sound system's own order.
    virtual QList<Device> inputs() const = 0;
    virtual std::optional<Device> defaultInput() const = 0;
    virtual std::optional<QString> defaultOutputName() const = 0;

signals:
    // A device came or went, or a default changed.
    void devicesChanged();
};
