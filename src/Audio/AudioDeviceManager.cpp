#include "Audio/AudioDeviceManager.h"

#include "Audio/AudioDeviceSource.h"
#include "Audio/CaptureBackend.h"

#include <QCollator>
#include <QLoggingCategory>

#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcDevices, "app.parlivox.audio.devices")

}  // namespace

QString AudioDeviceError::description() const
{
    return QStringLiteral("Failed to set audio device (status %1).").arg(status);
}

QList<AudioInputDevice> AudioDeviceManager::listInputDevices() const
{
    QList<AudioInputDevice> devices;
    const QList<AudioDeviceSource::Device> inputs = m_source.inputs();
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const AudioDeviceSource::Device& input = inputs[i];
        if (input.id.isEmpty() || input.name.isEmpty() || AudioDeviceSource::isMonitor(input.id))
            continue;
        devices.append({std::uint32_t(i), input.id, input.name});
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(devices.begin(), devices.end(), [&collator](const AudioInputDevice& a, const AudioInputDevice& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return devices;
}

std::optional<AudioInputDevice> AudioDeviceManager::device(const QString& uid) const
{
    for (const AudioInputDevice& device : listInputDevices())
        if (device.uid == uid)
            return device;
    return std::nullopt;
}

QString AudioDeviceManager::displayInputName(const QString& uid) const
{
    if (uid.isEmpty()) {
        const auto defaultInput = m_source.defaultInput();
        if (defaultInput && !defaultInput->name.isEmpty())
            return defaultInput->name + QStringLiteral(" (system default)");
        return QStringLiteral("System default");
    }
    const auto found = device(uid);
    return found ? found->name : QStringLiteral("Unknown");
}

QString AudioDeviceManager::displayDefaultOutputName() const
{
    return m_source.defaultOutputName().value_or(QStringLiteral("Unknown"));
}

std::optional<AudioDeviceError> AudioDeviceManager::applyDevice(const AudioInputDevice& device, CaptureBackend& backend)
{
    if (const auto status = backend.selectDevice(device.uid))
        return AudioDeviceError{*status};
    qCInfo(lcDevices, "input device set to %s (%s)", qPrintable(device.name), qPrintable(device.uid));
    return std::nullopt;
}
