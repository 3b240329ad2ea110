#pragma once

#include "Audio/AudioBuffer.h"

#include <QString>

#include <functional>

// Plays one block of audio at a time on the owner's thread. Reports arrive from the event
// loop, never from inside play() or stop(), and only about the block playing now.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Starts playing; whatever still plays is dropped without a report.
    virtual void play(AudioBufferPtr audio) = 0;
    // Drops what plays without a report.
    virtual void stop() = 0;

    std::function<void()> onStarted;
    std::function<void()> onFinished;  // every sample has been handed to the device
    std::function<void(const QString& reason)> onFailed;
};
