#pragma once

#include "Endpointing/GazeState.h"
#include "Endpointing/GazeStateMachine.h"
#include "Endpointing/VoiceActivity.h"
#include "Support/Scheduler.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Decides when the user has finished speaking. A turn ends by a silence wait predicted
// from the user's own pauses and last word, by a transcript that stopped changing, by a
// fast fire when the user looks away from the screen after looking at it, or by hand.
// Each turn is delivered once, after the detector has reset itself for the next one. The
// silence wait counts from the end of speech, and the recognizer finishing its text during it
// (without a new onset) neither delays nor refuses the turn.
// GUI thread only; every wait runs on the scheduler.
class AdaptiveTurnDetector {
public:
    struct Tuning {
        int minSilenceMs = 700;
        int maxSilenceMs = 6000;
        int initialSilenceMs = 1500;  // the silence wait before any pause was measured
        int transcriptDwellMs = 6000;  // an unchanged transcript for this long ends the turn
        int minTranscriptChars = 1;  // fewest trimmed characters a timer or fast fire accepts
        int fastFireMs = 0;  // from a look-away decision to the fast-fire check
        int fastFireGraceMs = 350;  // lets trailing words arrive before a fast fire delivers
        // The longest a silence fire waits for the recognizer's final text; 0: the turn ends
        // on the partial, and the final comes after it.
        int finalTextWaitMs = 1000;
        double silenceMicThreshold = 0.05;  // a level that counts as the user's voice
    };

    explicit AdaptiveTurnDetector(Scheduler& scheduler);
    AdaptiveTurnDetector(const AdaptiveTurnDetector&) = delete;
    AdaptiveTurnDetector& operator=(const AdaptiveTurnDetector&) = delete;

    // The finished turn: trimmed transcript and the reason it ended.
    std::function<void(const QString& transcript, const QString& reason)> onTurnEnded;
    // The first level at or above the threshold in this turn, once per turn.
    std::function<void(const QDateTime& at)> onMicActivityFirstDetected;
    std::function<void(const QString& message)> onDiagnostic;
    // Whether the recognizer is still finishing what it heard (its final text is to come).
    std::function<bool()> isTranscriptFinishing;

    void handle(const VoiceActivity& activity);
    // The whole transcript so far.
    void handle(const QString& transcript);
    void updateMicLevel(double level);
    void updateGaze(const GazeState& estimate);
    // Ends the turn now with whatever transcript there is; needs no speech.
    void forceFire(const QString& reason);
    void reset();

    void trimPauseSamples(int keepLatest);
    int pauseSamplesCount() const { return static_cast<int>(m_pauseSamplesMs.size()); }
    int predictedSilenceMs() const;

    const Tuning& tuning() const { return m_tuning; }
    void setTuning(const Tuning& tuning) { m_tuning = tuning; }

    bool hasStartedSpeakingByMic() const { return m_firstMicActivityAt.has_value(); }
    bool hasStartedSpeaking() const { return m_hasReceivedSpeech || hasStartedSpeakingByMic(); }
    bool isInSilence() const;
    const QString& currentTranscript() const { return m_currentTranscript; }
    GazeMachineState gazeMachineState() const { return m_gazeMachine.state(); }
    bool isHandoffLatched() const { return m_handoffLatched; }

private:
    void recordPause(Scheduler::TimePoint now);
    // `alreadySilentMs` of the wait have passed before the call.
    void scheduleSilenceFire(int alreadySilentMs = 0);
    void scheduleDwellFire();
    void scheduleFastFire(const QString& reason, int alreadySilentMs = 0);
    // `snapshot`: the transcript that must not have changed.
    void readyCheck(const QString& reason, const std::optional<QString>& snapshot);
    // A silence fire that found the recognizer still finishing waits for its final text.
    void holdForFinalText(const QString& reason);
    void releaseHeldFire();
    bool recognizerIsFinishing() const;
    void fastFireCheck(const QString& reason);
    void deliver(const QString& transcript, const QString& reason);
    void diagnose(const QString& message) const;

    Scheduler& m_scheduler;
    Tuning m_tuning;

    QString m_currentTranscript;
    bool m_hasReceivedSpeech = false;
    std::optional<Scheduler::TimePoint> m_lastSpeechEndedAt;
    std::optional<Scheduler::TimePoint> m_lastSpeechStartedAt;
    std::optional<Scheduler::TimePoint> m_turnStartedAt;
    std::optional<Scheduler::TimePoint> m_firstMicActivityAt;  // the mic latch
    std::vector<int> m_pauseSamplesMs;
    double m_currentMicLevel = 0.0;
    GazeState m_currentGaze;
    GazeStateMachine m_gazeMachine;
    bool m_handoffLatched = false;

    SingleShot m_silenceTask;  // the silence fire, or the fast fire that replaced it
    SingleShot m_dwellTask;
    SingleShot m_graceFireTask;
    SingleShot m_finalTextTask;  // a held silence fire's longest wait
    std::optional<QString> m_heldFireReason;
    Scheduler::TimePoint m_heldSince{};
};
