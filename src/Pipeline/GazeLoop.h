#pragma once

#include "Vision/CameraStream.h"

#include <QString>

#include <functional>
#include <memory>

// The camera side of the engine: during a session the camera runs around the user's speech and
// tells the turn detector where the user looks; at any time it can take a still picture for
// the describe pass. GUI thread only.
class GazeLoop {
public:
    virtual ~GazeLoop() = default;

    // Starts the camera paused for a new session; `done` runs later, also when it failed.
    virtual void startForSession(std::function<void()> done) = 0;
    // Stops the camera and forgets the gaze (session end, or the setting turned off).
    virtual void stop() = 0;
    // Follows the setting while a session runs (`sessionRunning`) or not.
    virtual void setEnabled(bool on, bool sessionRunning) = 0;
    virtual bool isRunning() const = 0;
    // The turn is over: capture pauses. The user started speaking: capture resumes.
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void setGrayscale(bool on) = 0;
    // Frames seen since the last call, and the age of the last face ("never", "<n>ms").
    virtual int takeFrameCount() = 0;
    virtual QString faceAge() const = 0;
    // The camera's frames for the preview, while it captures.
    virtual std::shared_ptr<FrameChannel> subscribePreview() = 0;
    // One picture as a PNG at `path`, the camera started for it when needed.
    virtual void captureStill(const QString& path, CameraStream::StillCompletion done) = 0;
};
