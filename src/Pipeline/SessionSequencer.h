#pragma once

#include "Audio/AudioInputStream.h"
#include "Pipeline/CancelToken.h"
#include "Pipeline/ListeningLoop.h"
#include "Pipeline/StatisticsLoop.h"
#include "STT/StreamingSpeechRecognizer.h"
#include "Support/Scheduler.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class ConversationHistory;
class EngineState;
class SleepInhibitor;
class SystemMonitor;
class TTSQueue;
struct EngineExtensions;

// Sessions and the controls that act on one (fire now, stop speaking, right Alt). Clocking in and out run one after
// another in the order asked, each to its end: a stop asked during a start waits for it. A session holds the sleep
// inhibitor, a new microphone and a new recognizer (each device start gives up after
// kDeviceStartTimeout, so a hanging device cannot block clocking out), the listening loop and
// the statistics loop; its end cancels all of them, silences the engine's callbacks while the
// parts wind down, resets them and returns to idle. A microphone that goes away ends the
// session, with the error shown and logged. GUI thread only.
class SessionSequencer {
public:
    static constexpr std::chrono::seconds kDeviceStartTimeout{10};
    static inline const QString kInhibitReason = QStringLiteral("Parlivox always-on voice listening");

    struct Parts {
        AppSettings& settings;
        Scheduler& scheduler;
        PipelineLog& log;
        EngineState& state;
        PhaseStateMachine& fsm;
        EnergyVAD& vad;
        AdaptiveTurnDetector& turnDetector;
        BargeInDetector& bargeIn;
        MicLevelMonitor& micLevel;
        TTSQueue& ttsQueue;
        ConversationHistory& history;
        SystemMonitor& systemMonitor;
        SleepInhibitor& inhibitor;
        EngineExtensions& extensions;  // the rest window and the minutes capture always, gaze with a camera
        std::function<std::unique_ptr<AudioInputStream>()> makeAudioInput;
        std::function<std::unique_ptr<StreamingSpeechRecognizer>()> makeRecognizer;
    };
    // The engine's side of a session.
    struct Hooks {
        std::function<void()> wireup;  // installs the parts' callbacks
        std::function<void()> unwire;  // clears them
        std::function<void()> applySettings;
        std::function<void()> stopReply;  // the reply and its speech; thinking, speaking or error → listening
        // The session ended: the turn in progress and a skill call waiting for consent are
        // forgotten, so a "yes" in the next session approves nothing.
        std::function<void()> forgetTurn;
        std::function<void(const QString& transcript)> transcript;  // each recognizer update
        // Writes the minutes turn still open, first thing when a session ends.
        std::function<void()> writeOpenMinutesTurn;
        // The recognizer finished the utterance of a turn that had already ended.
        std::function<void(const QString& transcript)> lateFinal;
    };

    // The error of a session whose microphone went away.
    static QString microphoneLostMessage(const QString& deviceName);

    SessionSequencer(Parts parts, Hooks hooks);
    ~SessionSequencer();

    // Clocks in or out; the same choice twice does nothing.
    void setEnabled(bool on);
    // The program is quitting: a session that runs, or is starting, ends now as a clock-out
    // ends it, and what was still asked is dropped.
    void quit();
    void fireNow();
    void stopSpeaking();
    void rightAltPressed();

    // The running session's recognizer and microphone (the last one after a stop), or null.
    StreamingSpeechRecognizer* recognizer() const { return m_recognizer.get(); }
    AudioInputStream* audioInput() const { return m_audioInput.get(); }

private:
    void runNext();
    void finishJob();
    void startSession();
    void startRecognizer();
    void beginListening();
    void enterListening();
    void failStart(const QString& message, const QString& reason);
    void microphoneLost(const QString& name);
    void endSession();
    void retire(std::unique_ptr<StreamingSpeechRecognizer> recognizer);
    // Arms the time-out of a device start; the claim it returns is true for the device's
    // answer only when neither the time-out nor the session's end came first.
    std::function<bool()> armDeviceTimeout(std::function<void()> onTimeout);

    Parts m_parts;
    Hooks m_hooks;
    std::deque<bool> m_requests;
    bool m_jobRunning = false;
    bool m_inhibiting = false;
    CancelToken m_start;  // the start in progress
    SingleShot m_deviceTimeout;
    std::unique_ptr<AudioInputStream> m_audioInput;
    std::unique_ptr<StreamingSpeechRecognizer> m_recognizer;
    std::vector<std::unique_ptr<StreamingSpeechRecognizer>> m_stopping;  // stopped, not yet wound down
    // Last, so they are gone before the parts they read.
    std::unique_ptr<ListeningLoop> m_listening;
    std::unique_ptr<StatisticsLoop> m_statistics;
};
