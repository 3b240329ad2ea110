#pragma once

#include "Persistence/ConversationPhase.h"

#include <QString>

class EventSoundPlayer;

// A short sound whenever the conversation enters listening, thinking, interrupted or error.
class PhaseSoundPlayer final {
public:
    explicit PhaseSoundPlayer(EventSoundPlayer& sounds) : m_sounds(sounds) {}

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // Plays the phase's sound when enabled; idle and speaking have none.
    void play(ConversationPhase phase);
    // The desktop sound-theme event of a phase, empty when it has none.
    static QString soundName(ConversationPhase phase);

private:
    EventSoundPlayer& m_sounds;
    bool m_enabled = true;
};
