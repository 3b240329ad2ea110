#pragma once

#include "Audio/AudioInputStream.h"
#include "Audio/AudioSubscription.h"
#include "Pipeline/RecognizerGate.h"

#include <QString>

#include <functional>
#include <memory>

class AdaptiveTurnDetector;
class AppSettings;
class BargeInDetector;
class EnergyVAD;
class MicLevelMonitor;
class PhaseStateMachine;
class PipelineLog;
class StreamingSpeechRecognizer;

// The microphone side of one session: every captured buffer goes to the recognizer through
// its gate (not while the reply is spoken with barge-in off), to the session's other
// listeners (minutes), and
// through the energy detector, whose level and speech events move the level meter, the
// turn detector and the barge-in detector. While resting (a rest window is set) the turn and
// barge-in detectors hear nothing. GUI thread only; destroying the loop unsubscribes it, and
// nothing reaches it afterwards.
class ListeningLoop {
public:
    struct Parts {
        const AppSettings& settings;
        const PhaseStateMachine& fsm;
        PipelineLog& log;
        EnergyVAD& vad;
        AdaptiveTurnDetector& turnDetector;
        BargeInDetector& bargeIn;
        MicLevelMonitor& micLevel;
    };
    // Listeners a later part may add; unset ones are skipped.
    struct Taps {
        std::function<void(const AudioBufferPtr&)> onBuffer;  // every buffer, resting or not
        std::function<void()> onSpeechStarted;  // speech begins while awake and camera gaze is on
    };

    // Reads `channel` (null: only handle() feeds it); `recognizer` must outlive the loop.
    ListeningLoop(Parts parts, std::shared_ptr<AudioChannel> channel, StreamingSpeechRecognizer* recognizer,
                  Taps taps = {});

    void handle(const AudioBufferPtr& buffer);

    // Buffers handled since the last call.
    int takeBufferCount() { return std::exchange(m_bufferCount, 0); }
    // "started" or "ended" after the last speech event, "n/a" before any.
    const QString& lastVadEvent() const { return m_lastVadEvent; }

private:
    Parts m_parts;
    StreamingSpeechRecognizer* m_recognizer;
    Taps m_taps;
    RecognizerGate m_gate;
    int m_bufferCount = 0;
    bool m_firstBufferLogged = false;
    QString m_lastVadEvent = QStringLiteral("n/a");
    std::unique_ptr<AudioSubscription> m_subscription;  // last: it is gone before the rest
};
