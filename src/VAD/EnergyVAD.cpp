#include "VAD/EnergyVAD.h"

#include <algorithm>
#include <cmath>

namespace {

// Level meters and the turn detector read RMS × 30: ordinary speech fills the scale.
constexpr double kLevelScale = 30.0;

std::chrono::microseconds framesToTime(std::int64_t frames, double sampleRate)
{
    return std::chrono::microseconds(std::llround(static_cast<long double>(frames) * 1'000'000.0L / sampleRate));
}

int wholeMilliseconds(std::chrono::microseconds duration)
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
}

}  // namespace

EnergyVAD::EnergyVAD(double speechRMSThreshold, int onsetFrames, int hangoverMs)
    : m_speechRMSThreshold(speechRMSThreshold), m_onsetFrames(onsetFrames), m_hangoverMs(hangoverMs)
{
}

double EnergyVAD::rms(const AudioBuffer& buffer)
{
    const auto frames = buffer.frameCount();
    if (!buffer.format().isValid() || frames == 0)
        return 0.0;
    const float* samples = buffer.channelData(0);
    // Sixteen independent partial sums let the compiler vectorise the loop.
    float partial[16] = {};
    std::int64_t i = 0;
    for (; i + 16 <= frames; i += 16) {
        for (int lane = 0; lane < 16; ++lane)
            partial[lane] += samples[i + lane] * samples[i + lane];
    }
    float sum = 0.0f;
    for (const float p : partial)
        sum += p;
    for (; i < frames; ++i)
        sum += samples[i] * samples[i];
    return static_cast<double>(std::sqrt(sum / static_cast<float>(frames)));
}

EnergyVAD::Events EnergyVAD::process(const AudioBuffer& buffer)
{
    const double rmsValue = rms(buffer);
    Events events;
    events.append(VoiceActivity::level(std::clamp(rmsValue * kLevelScale, 0.0, 1.0)));

    const AudioTime now = endTimeOf(buffer);
    if (rmsValue >= m_speechRMSThreshold) {
        ++m_consecutiveSpeechFrames;
        m_lastSpeechAt = now - quietTail(buffer);
        if (!m_isSpeaking && m_consecutiveSpeechFrames >= m_onsetFrames) {
            m_isSpeaking = true;
            m_speechStartedAt = now;
            events.append(VoiceActivity::speechStarted());
        }
        return events;
    }

    m_consecutiveSpeechFrames = 0;
    if (!m_isSpeaking)
        return events;
    // The end comes with the first quiet buffer a whole hang-over after the last loud one,
    // and the segment counts from the onset decision, hang-over included.
    const int quietMs = m_lastSpeechAt ? wholeMilliseconds(now - *m_lastSpeechAt) : 0;
    if (quietMs >= m_hangoverMs) {
        const int durationMs = m_speechStartedAt ? wholeMilliseconds(now - *m_speechStartedAt) : 0;
        m_isSpeaking = false;
        m_speechStartedAt.reset();
        events.append(VoiceActivity::speechEnded(durationMs, quietMs));
    }
    return events;
}

EnergyVAD::AudioTime EnergyVAD::quietTail(const AudioBuffer& buffer) const
{
    const double rate = buffer.format().sampleRate;
    const std::int64_t frames = buffer.frameCount();
    const std::int64_t block = std::max<std::int64_t>(1, std::llround(rate / 100.0));
    const float* samples = buffer.channelData(0);
    const double threshold = m_speechRMSThreshold * m_speechRMSThreshold;
    for (std::int64_t end = frames; end > 0; end -= block) {
        const std::int64_t begin = std::max<std::int64_t>(0, end - block);
        double sum = 0.0;
        for (std::int64_t i = begin; i < end; ++i)
            sum += double(samples[i]) * samples[i];
        if (sum / double(end - begin) >= threshold)
            return framesToTime(frames - end, rate);
    }
    return AudioTime{0};
}

void EnergyVAD::reset()
{
    m_consecutiveSpeechFrames = 0;
    m_lastSpeechAt.reset();
    m_isSpeaking = false;
    m_speechStartedAt.reset();
    m_lastBufferEnd.reset();
    m_timelineOffset = AudioTime{0};
}

// The audio time at the end of the buffer. Dropped buffers leave a gap in the frame
// positions and so still count as time passed; a buffer without a format carries none.
EnergyVAD::AudioTime EnergyVAD::endTimeOf(const AudioBuffer& buffer)
{
    if (!buffer.format().isValid())
        return m_lastBufferEnd.value_or(AudioTime{0});
    const double rate = buffer.format().sampleRate;
    const AudioTime start = framesToTime(buffer.framePosition(), rate) + m_timelineOffset;
    if (m_lastBufferEnd && start < *m_lastBufferEnd)
        m_timelineOffset += *m_lastBufferEnd - start;
    m_lastBufferEnd = framesToTime(buffer.framePosition() + buffer.frameCount(), rate) + m_timelineOffset;
    return *m_lastBufferEnd;
}
