#include "Audio/AudioDeviceManager.h"

#include "Audio/AudioDeviceSource.h"

#include <QCollator>

#include <algorithm>

QList<AudioInputDevice> AudioDeviceManager::listInputDevices() const
{
    QList<AudioInputDevice> devices;
    const QList<AudioDeviceSource::Device> inputs = m_source.inputs();
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const AudioDeviceSource::Device& input = inputs[i];
        if (input.id.isEmpty() || input.name.isEmpty() || input.monitor)
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
        if (defaultInput && !defaultInput->monitor && !defaultInput->name.isEmpty())
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
