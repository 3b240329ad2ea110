#pragma once

#include "Audio/AudioDeviceSource.h"

#include <QAudioDevice>

// The devices Qt Multimedia sees (PulseAudio on Linux). Qt 6.4 marks no input as the
// default, so the default is the one marked, when any is, and otherwise the first listed.
class QtAudioDeviceSource final : public AudioDeviceSource {
public:
    QList<Device> inputs() const override;
    std::optional<Device> defaultInput() const override;
    std::optional<QString> defaultOutputName() const override;

    // The capture devices, monitors left out, and the one to use when none is chosen.
    static QList<QAudioDevice> inputDevices();
    static QAudioDevice defaultInputDevice();
};
