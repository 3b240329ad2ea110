#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

struct AudioFormat {
    double sampleRate = 0;  // frames per second
    int channels = 0;

    bool isValid() const { return sampleRate > 0 && channels > 0; }
    bool operator==(const AudioFormat&) const = default;
};

// One immutable block of captured audio, float samples stored channel after channel
// (planar). It carries its own format, its place in the capture (frames since the capture
// started) and when it was captured, so durations are computed in audio time, never from
// when a thread happened to process it.
class AudioBuffer {
public:
    AudioBuffer(AudioFormat format, std::vector<float> planarSamples, std::int64_t framePosition,
                std::chrono::steady_clock::time_point captureTime);

    const AudioFormat& format() const { return m_format; }
    std::int64_t frameCount() const { return m_frameCount; }
    std::int64_t framePosition() const { return m_framePosition; }
    std::chrono::steady_clock::time_point captureTime() const { return m_captureTime; }
    const float* channelData(int channel) const { return m_samples.data() + channel * m_frameCount; }
    const std::vector<float>& planarSamples() const { return m_samples; }

    double durationSeconds() const { return static_cast<double>(m_frameCount) / m_format.sampleRate; }
    // Audio time of the buffer's first frame and of the frame just after its last one.
    double startSeconds() const { return static_cast<double>(m_framePosition) / m_format.sampleRate; }
    double endSeconds() const { return startSeconds() + durationSeconds(); }

private:
    AudioFormat m_format;
    std::vector<float> m_samples;
    std::int64_t m_frameCount;
    std::int64_t m_framePosition;
    std::chrono::steady_clock::time_point m_captureTime;
};

using AudioBufferPtr = std::shared_ptr<const AudioBuffer>;
