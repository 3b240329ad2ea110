#pragma once

#include "Audio/AudioDeviceSource.h"

// A machine's device list as the test sets it.
struct FakeDeviceSource final : AudioDeviceSource {
    QList<Device> devices;
    std::optional<Device> defaultDevice;
    std::optional<QString> outputName;

    QList<Device> inputs() const override { return devices; }
    std::optional<Device> defaultInput() const override { return defaultDevice; }
    std::optional<QString> defaultOutputName() const override { return outputName; }
};
