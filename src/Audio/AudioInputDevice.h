#pragma once

#include <QString>

#include <cstdint>

// One microphone of the machine. Lists identify it by `uid`; equal only when all three match.
struct AudioInputDevice {
    std::uint32_t deviceID = 0;  // its place in the sound system's list, valid while attached
    QString uid;  // persistent: what the settings store
    QString name;

    bool operator==(const AudioInputDevice&) const = default;
};
