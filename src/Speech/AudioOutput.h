#pragma once

#include "Audio/AudioBuffer.h"

#include <QString>

#include <functional>

// Plays one stream of audio at a time on the owner's thread: its first block starts it, the
// next blocks follow as they are made, and its end is announced, so playing starts before the
// whole stream exists. Reports arrive from the event loop, never from inside a call, and only
// about the stream playing now.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Starts a stream with its first block; whatever still plays is dropped without a report.
    virtual void play(AudioBufferPtr audio) = 0;
    // Adds the next block, in the first one's format, to the stream playing now.
    virtual void append(AudioBufferPtr audio) = 0;
    // No block follows: onFinished comes once every sample has been handed to the device.
    virtual void endStream() = 0;
    // Drops what plays without a report.
    virtual void stop() = 0;

    std::function<void()> onStarted;
    std::function<void()> onFinished;
    std::function<void(const QString& reason)> onFailed;
};
