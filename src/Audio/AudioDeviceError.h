#pragma once

#include <QString>

#include <cstdint>

// Why capture could not be bound to a microphone: the sound system refused the device (its
// error code), or there is nothing underneath to bind one to (no sound server). The caller
// falls back to the system default, or has no microphone at all.
struct AudioDeviceError {
    enum class Kind { setDeviceFailed, noAudioUnit };
    Kind kind = Kind::setDeviceFailed;
    std::int32_t status = 0;  // setDeviceFailed: the sound system's error code

    QString description() const;
    bool operator==(const AudioDeviceError&) const = default;
};
