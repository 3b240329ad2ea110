#pragma once

// One voice-activity event of the energy detector: the user started speaking, a speech
// segment ended (with its length), or the level of one audio buffer.
class VoiceActivity {
public:
    enum class Kind { speechStarted, speechEnded, level };

    // A level of 0: silence.
    constexpr VoiceActivity() = default;

    static constexpr VoiceActivity speechStarted() { return {Kind::speechStarted, 0, 0.0, 0}; }
    // From the onset decision to the end decision, the hang-over included; `silentForMs` is how
    // long the speech had already been over when its end was decided (the hang-over and the
    // rest of the buffer that showed it), so waits for silence can count from the real end.
    static constexpr VoiceActivity speechEnded(int durationMs, int silentForMs = 0)
    {
        return {Kind::speechEnded, durationMs, 0.0, silentForMs};
    }
    // The microphone level, 0.0 to 1.0.
    static constexpr VoiceActivity level(double value) { return {Kind::level, 0, value, 0}; }

    constexpr Kind kind() const { return m_kind; }
    constexpr int durationMs() const { return m_durationMs; }
    constexpr int silentForMs() const { return m_silentForMs; }
    constexpr double levelValue() const { return m_level; }

    // The same case with the same payload.
    constexpr bool operator==(const VoiceActivity&) const = default;

private:
    constexpr VoiceActivity(Kind kind, int durationMs, double level, int silentForMs)
        : m_kind(kind), m_durationMs(durationMs), m_level(level), m_silentForMs(silentForMs)
    {
    }

    Kind m_kind = Kind::level;
    int m_durationMs = 0;  // speechEnded only
    double m_level = 0.0;  // level only
    int m_silentForMs = 0;  // speechEnded only
};
