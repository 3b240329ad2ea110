#include "Platform/QtAudioDeviceSource.h"

#include <QMediaDevices>

QList<QAudioDevice> QtAudioDeviceSource::inputDevices()
{
    QList<QAudioDevice> devices = QMediaDevices::audioInputs();
    devices.removeIf([](const QAudioDevice& device) { return isMonitor(QString::fromUtf8(device.id())); });
    return devices;
}

QAudioDevice QtAudioDeviceSource::defaultInputDevice()
{
    const QList<QAudioDevice> devices = inputDevices();
    for (const QAudioDevice& device : devices)
        if (device.isDefault())
            return device;
    return devices.isEmpty() ? QAudioDevice() : devices.first();
}

QList<AudioDeviceSource::Device> QtAudioDeviceSource::inputs() const
{
    QList<Device> devices;
    for (const QAudioDevice& device : QMediaDevices::audioInputs())
        devices.append({QString::fromUtf8(device.id()), device.description()});
    return devices;
}

std::optional<AudioDeviceSource::Device> QtAudioDeviceSource::defaultInput() const
{
    const QAudioDevice device = defaultInputDevice();
    if (device.isNull())
        return std::nullopt;
    return Device{QString::fromUtf8(device.id()), device.description()};
}

std::optional<QString> QtAudioDeviceSource::defaultOutputName() const
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return std::nullopt;
    return device.description();
}
