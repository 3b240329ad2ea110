#pragma once

#include "Conversation/ConversationHistory.h"
#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Input/RightOptionMonitor.h"
#include "Pipeline/AssistantClientFactory.h"
#include "Pipeline/AssistantVoice.h"
#include "Pipeline/BargeInDetector.h"
#include "Pipeline/CameraDescribePass.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineExtensions.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/HistoryRecorder.h"
#include "Pipeline/LiveTranscript.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/MinutesStore.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/SessionSequencer.h"
#include "Pipeline/SkillConfirmation.h"
#include "Pipeline/TurnRoad.h"
#include "Pipeline/VaultMirror.h"
#include "Speech/PhaseSoundPlayer.h"
#include "Storage/ObsidianSync.h"
#include "TTS/TTSQueue.h"
#include "Telemetry/RozeTelemetry.h"
#include "VAD/EnergyVAD.h"

#include <functional>
#include <memory>

class AppSettings;
class DeviceIdentifier;
class SpeechPlayer;
struct AppServices;
struct PlatformParts;

// The conversation engine: owns the pipeline's parts for the application's lifetime, wires
// their callbacks to one another, pushes the settings into them and carries out the window's
// commands. Sessions, listening and turns are the work of its collaborators; the engine is
// the one writer of the EngineState the window shows. GUI thread only.
class ConversationEngine final : public EngineCommands {
public:
    using RecognizerFactory = std::function<std::unique_ptr<StreamingSpeechRecognizer>()>;

    // What the engine is built from; everything referenced must outlive it. Of the platform
    // parts, the event sounds, the global keys and the sleep inhibitor are moved in; the
    // rest is lent.
    struct Setup {
        AppSettings& settings;
        Scheduler& scheduler;
        SpeechPlayer& player;
        PlatformParts& platform;
        AppServices& services;
        // Sent to the hosted backend.
        const DeviceIdentifier& device;
        // One new recognizer per session; unset: the system recognizer on the platform's models.
        RecognizerFactory makeRecognizer = {};
        // A new backend client per turn; unset: the client of the provider the settings choose.
        TurnRoad::ClientFactory makeClient = {};
    };

    static constexpr int kBargeInTriggerMs = 350;

    explicit ConversationEngine(Setup setup);
    ~ConversationEngine() override;
    ConversationEngine(const ConversationEngine&) = delete;
    ConversationEngine& operator=(const ConversationEngine&) = delete;

    // The turn detector's waits for the speech language (a case-sensitive prefix of the
    // locale): longer for Korean, Japanese and Chinese. In minutes the silence wait stays at
    // its shortest instead of growing with the pauses heard, which would swallow the gap
    // before another person's answer; a speaker's own pauses are joined up in the minutes.
    static AdaptiveTurnDetector::Tuning turnTimings(const QString& localeID, AppMode mode,
                                                    AdaptiveTurnDetector::Tuning tuning);

    const EngineState& state() const { return m_state; }
    const PipelineLog& log() const { return m_log; }
    const MicLevelMonitor& micLevel() const { return m_micLevel; }
    MinutesStore& minutes() { return m_minutes; }

    void setEnabled(bool on) override;
    void fireNow() override;
    void stopSpeaking() override;
    void clearHistory() override;
    void submitTextTurn(const QString& text) override;
    void approvePendingSkill() override;
    void cancelPendingSkill() override;
    void applySettings() override;
    void applyAppModeChange() override;
    void setCameraGaze(bool on) override;
    void restNow() override;
    void wakeFromRest(const QString& reason) override;
    void renameSpeaker(int speakerID, const QString& name) override;
    bool enrollSpeaker(int speakerID, const QString& name) override;
    void revealRecordingInFinder() override;
    void clearLog() override;
    std::shared_ptr<FrameChannel> subscribeCameraPreview() override;

private:
    // The gaze loop (with a camera), the minutes capture and the rest window.
    void makeExtensions();
    void wireup();
    void unwire();
    void tuneTurnDetector();
    // Minutes stop or pause (clock out, a switch to another mode, a rest, quitting): the
    // utterance still open is written down as it stands, so nothing said is lost.
    void writeOpenMinutesTurn();
    void applyTelemetrySettings();
    void handleBargeIn();

    AppSettings& m_settings;
    Scheduler& m_scheduler;
    SpeechPlayer& m_player;
    PlatformParts& m_platform;
    std::unique_ptr<EventSoundPlayer> m_eventSounds;
    std::unique_ptr<SleepInhibitor> m_inhibitor;

    EngineState m_state;
    PipelineLog m_log;
    MicLevelMonitor m_micLevel;
    MinutesStore m_minutes;
    PhaseStateMachine m_fsm;
    EnergyVAD m_vad;
    AdaptiveTurnDetector m_turnDetector;
    BargeInDetector m_bargeIn;
    ConversationHistory m_history;
    TTSQueue m_ttsQueue;
    ObsidianSync m_obsidian;
    PhaseSoundPlayer m_phaseSounds;
    RozeTelemetry m_telemetry;
    HistoryRecorder m_historyRecorder;
    AssistantVoice m_voice;
    LiveTranscript m_liveTranscript;
    SkillConfirmation m_confirmation;
    AssistantClientFactory m_clients;
    TurnRoad m_turnRoad;
    VaultMirror m_vaultMirror;
    CameraDescribePass m_describePass;
    EngineExtensions m_extensions;
    SessionSequencer m_sessions;
    RightOptionMonitor m_rightAlt;
};
