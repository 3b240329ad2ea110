#pragma once

#include "Audio/AudioBuffer.h"
#include "Audio/AudioDeviceError.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// Where captured audio comes from: the sound system, or a file in tests. Every call is made
// from one set-up thread, never the GUI thread, and may block.
class CaptureBackend {
public:
    // Interleaved 32-bit float frames in the format capture was started with, in periods of
    // any length, on a capture thread of the backend's own.
    using FramesHandler = std::function<void(const float* interleaved, std::int64_t frameCount)>;
    // The device went away while capturing (unplugged, or the sound system ended); called
    // once, on the capture thread, and no frames follow.
    using LostHandler = std::function<void()>;

    virtual ~CaptureBackend() = default;

    // Binds capture to the device with that id, or, for "", to the sound system's default
    // microphone as it is now, never the monitor of an output. The error when it cannot; the
    // backend logs the sound system's own words for it.
    virtual std::optional<AudioDeviceError> selectDevice(const QString& deviceId) = 0;
    // The bound device's name as the sound system shows it.
    virtual QString deviceName() const = 0;
    // The bound device's own rate and channel count (zeros when it has none).
    virtual AudioFormat deviceFormat() const = 0;
    // Starts delivering frames to `frames`; the failure's text when it cannot.
    virtual std::optional<QString> start(const AudioFormat& format, FramesHandler frames, LostHandler lost) = 0;
    // Stops capture. On return the handlers are not running and will not run again.
    virtual void stop() = 0;
};
