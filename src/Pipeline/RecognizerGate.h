#pragma once

#include "Audio/AudioBuffer.h"

#include <chrono>
#include <deque>
#include <functional>
#include <optional>

// Which captured buffers the recognizer hears. Decoding a silent room costs more than the
// rest of listening together, so buffers below a faint level are held back while the room has
// been quiet for a while, the newest of them kept as a lead-in. The first buffer above it
// brings the lead-in with it, and after the last one the quiet goes on to the recognizer for a
// hold, long enough for the decoder to hear the speech end. Times are audio time (frame
// position ÷ sample rate), so a backlog handled in one burst is judged as it was heard.
class RecognizerGate {
public:
    // On the level meter's scale (RMS × 30): about -54 dBFS, under a quiet voice and above
    // the noise of a quiet room.
    static constexpr double kOpenLevel = 0.06;
    static constexpr std::chrono::milliseconds kLeadIn{1000};
    static constexpr std::chrono::milliseconds kHold{3000};

    // Hands `hear` the buffers to feed now, oldest first: `buffer` (of that `level`) while the
    // gate is open, after the lead-in when it opens, none while it is closed.
    void pass(const AudioBufferPtr& buffer, double level, const std::function<void(const AudioBufferPtr&)>& hear);

private:
    std::deque<AudioBufferPtr> m_leadIn;
    std::optional<double> m_lastSoundEnd;  // seconds of audio time
};
