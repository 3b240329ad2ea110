#include "Audio/AudioChunker.h"

#include <algorithm>

AudioChunker::AudioChunker(AudioFormat format, std::int64_t framesPerBuffer)
    : m_format(format), m_framesPerBuffer(framesPerBuffer),
      m_pending(static_cast<std::size_t>(framesPerBuffer * format.channels))
{
}

std::vector<AudioBufferPtr> AudioChunker::append(const float* interleaved, std::int64_t frameCount,
                                                 std::chrono::steady_clock::time_point arrival)
{
    std::vector<AudioBufferPtr> completed;
    const int channels = m_format.channels;
    std::int64_t consumed = 0;
    while (consumed < frameCount) {
        const std::int64_t take = std::min(frameCount - consumed, m_framesPerBuffer - m_filled);
        for (int channel = 0; channel < channels; ++channel) {
            float* destination = m_pending.data() + channel * m_framesPerBuffer + m_filled;
            const float* source = interleaved + consumed * channels + channel;
            for (std::int64_t frame = 0; frame < take; ++frame)
                destination[frame] = source[frame * channels];
        }
        m_filled += take;
        consumed += take;
        if (m_filled == m_framesPerBuffer) {
            // Subscribers share buffers across threads, so each one is new and never reused.
            completed.push_back(std::make_shared<const AudioBuffer>(m_format, m_pending, m_position, arrival));
            m_position += m_framesPerBuffer;
            m_filled = 0;
        }
    }
    return completed;
}
