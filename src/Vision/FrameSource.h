#pragma once

#include "Vision/CameraError.h"
#include "Vision/CameraFrame.h"

#include <functional>
#include <optional>

// Where camera frames come from: a camera device, or picture files in tests and previews.
// start() and stop() are called from one session thread, never the GUI thread, and may block.
class FrameSource {
public:
    // Called on a capture thread of the source's own, one frame at a time.
    using FrameHandler = std::function<void(const CameraFrame&)>;

    virtual ~FrameSource() = default;

    // Opens the camera and starts delivering frames to `handler`; returns once frames flow
    // or with the reason they cannot.
    virtual std::optional<CameraError> start(FrameHandler handler) = 0;
    // Stops delivery and releases the camera. On return the handler is not running and will
    // not run again. Stopping a stopped source does nothing.
    virtual void stop() = 0;
};
