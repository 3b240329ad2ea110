#pragma once

#include "Endpointing/VoiceActivity.h"
#include "Support/Scheduler.h"

#include <QString>

#include <functional>

// The plain end-of-turn detector: a fixed wait after each speech end and a fixed dwell
// after each transcript change, without pause learning, word tables, gaze or manual fire.
// GUI thread only; every wait runs on the scheduler.
class HeuristicTurnDetector {
public:
    struct Tuning {
        int silenceTimeoutMs = 1200;  // wait after a speech end
        int transcriptDwellMs = 4000;  // wait after a transcript change
        int minTranscriptChars = 1;  // fewest trimmed characters that may be delivered
    };

    explicit HeuristicTurnDetector(Scheduler& scheduler);
    HeuristicTurnDetector(const HeuristicTurnDetector&) = delete;
    HeuristicTurnDetector& operator=(const HeuristicTurnDetector&) = delete;

    // The finished turn's trimmed transcript, once per turn, after the reset.
    std::function<void(const QString& transcript)> onTurnEnded;

    void handle(const VoiceActivity& activity);
    void handle(const QString& transcript);
    void reset();

    const Tuning& tuning() const { return m_tuning; }
    void setTuning(const Tuning& tuning) { m_tuning = tuning; }

private:
    void readyCheck(const QString& reason, const QString& snapshot);

    Tuning m_tuning;
    QString m_currentTranscript;
    bool m_hasReceivedSpeech = false;
    SingleShot m_silenceTask;
    SingleShot m_dwellTask;
};
