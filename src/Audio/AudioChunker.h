#pragma once

#include "Audio/AudioBuffer.h"

#include <cstdint>
#include <vector>

// Cuts captured audio, delivered in periods of any length, into fresh buffers of a fixed
// number of frames, each numbered by its first frame's place in the capture.
class AudioChunker {
public:
    AudioChunker(AudioFormat format, std::int64_t framesPerBuffer);

    // Adds interleaved frames; returns the buffers they complete, oldest first. A buffer's
    // capture time is when its last frame arrived.
    std::vector<AudioBufferPtr> append(const float* interleaved, std::int64_t frameCount,
                                       std::chrono::steady_clock::time_point arrival);

private:
    AudioFormat m_format;
    std::int64_t m_framesPerBuffer;
    std::vector<float> m_pending;  // planar, one buffer's worth
    std::int64_t m_filled = 0;
    std::int64_t m_position = 0;
};
