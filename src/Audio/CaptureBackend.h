#pragma once

#include "Audio/AudioBuffer.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// Where captured audio comes from: the sound system, or a file in tests. Every call but
// hasInputDevice() is made from one set-up thread, never the GUI thread, and may block.
class CaptureBackend {
public:
    // Interleaved 32-bit float frames in the format capture was started with, in periods of
    // any length, on a capture thread of the backend's own.
    using FramesHandler = std::function<void(const float* interleaved, std::int64_t frameCount)>;

    virtual ~CaptureBackend() = default;

    virtual bool hasInputDevice() const = 0;
    // Binds capture to a device by id ("" for the system default). A device that refuses
    // gives the sound system's status code.
    virtual std::optional<int> selectDevice(const QString& deviceId) = 0;
    // The selected device's own rate and channel count (zeros when it has none).
    virtual AudioFormat deviceFormat() const = 0;
    // Starts delivering frames to `handler`; the failure's text when it cannot.
    virtual std::optional<QString> start(const AudioFormat& format, FramesHandler handler) = 0;
    // Stops capture. On return the handler is not running and will not run again.
    virtual void stop() = 0;
};
