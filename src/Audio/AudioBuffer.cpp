#include "Audio/AudioBuffer.h"

AudioBuffer::AudioBuffer(AudioFormat format, std::vector<float> planarSamples, std::int64_t framePosition,
                         std::chrono::steady_clock::time_point captureTime)
    : m_format(format), m_samples(std::move(planarSamples)),
      m_frameCount(format.channels > 0 ? static_cast<std::int64_t>(m_samples.size()) / format.channels : 0),
      m_framePosition(framePosition), m_captureTime(captureTime)
{
}
