#pragma once

#include "Audio/AudioBuffer.h"
#include "Endpointing/VoiceActivity.h"

#include <QVarLengthArray>

#include <chrono>
#include <optional>

// Turns each microphone buffer into voice-activity events by its energy alone: a level
// for every buffer, an onset after a few loud buffers in a row and an end after a quiet
// hang-over. Time is audio time (frames ÷ rate of the buffers themselves), so a backlog
// processed in one burst ends speech exactly where it would have live. Within a loud buffer
// the speech is taken to last until its last loud 10 ms, so the hang-over and the end's
// reported silence count from there rather than from the end of the buffer. It has no timers.
// GUI thread only.
class EnergyVAD {
public:
    // The level first, then at most one onset or end; never allocates.
    using Events = QVarLengthArray<VoiceActivity, 2>;

    EnergyVAD(double speechRMSThreshold, int onsetFrames, int hangoverMs);

    Events process(const AudioBuffer& buffer);
    // Forgets the current segment without reporting its end.
    void reset();

    bool isSpeaking() const { return m_isSpeaking; }

    // Root mean square of the first channel, 0 for an empty or formatless buffer.
    static double rms(const AudioBuffer& buffer);

private:
    using AudioTime = std::chrono::microseconds;

    AudioTime endTimeOf(const AudioBuffer& buffer);
    // How much of the buffer's end is quiet: from its last loud 10 ms to its end.
    AudioTime quietTail(const AudioBuffer& buffer) const;

    double m_speechRMSThreshold;
    int m_onsetFrames;  // loud buffers in a row
    int m_hangoverMs;

    int m_consecutiveSpeechFrames = 0;
    std::optional<AudioTime> m_lastSpeechAt;
    bool m_isSpeaking = false;
    std::optional<AudioTime> m_speechStartedAt;
    // The audio clock: a capture that starts again at frame 0 continues where the last ended.
    std::optional<AudioTime> m_lastBufferEnd;
    AudioTime m_timelineOffset{0};
};
