#pragma once

#include "Audio/ScriptedCaptureBackend.h"
#include "Common/FakeDeviceSource.h"
#include "Common/FakeScheduler.h"
#include "Common/RecordingDesktopWorkspace.h"
#include "Common/ScriptedSpeechPlayer.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/ConversationEngine.h"
#include "Pipeline/PlatformParts.h"
#include "Speech/EventSoundPlayer.h"
#include "Storage/DeviceIdentifier.h"
#include "Support/UserDefaults.h"
#include "TurnRig.h"
#include "Vision/ScriptedFrameSource.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <functional>

// A recognizer the test drives: it records what it hears and answers its start as told.
struct FakeRecognizerState {
    enum class StartAnswer { ok, fail, hang };
    StartAnswer answer = StartAnswer::ok;
    int starts = 0, stops = 0, resets = 0, fed = 0;
    bool finishing = false;  // what the recognizer says of its final text
    int setAside = 0;  // resets that let an utterance being finished go to onLateFinal
    float loudest = 0;  // the largest sample heard
    QString localeID;
    StreamingSpeechRecognizer* live = nullptr;  // the newest one made
};

class FakeRecognizer final : public StreamingSpeechRecognizer {
public:
    FakeRecognizer(Scheduler& scheduler, FakeRecognizerState& state) : m_scheduler(scheduler), m_state(state)
    {
        m_state.live = this;
    }
    ~FakeRecognizer() override
    {
        if (m_state.live == this)
            m_state.live = nullptr;
    }
    void start(const QString& localeID, const AudioFormat&, StartCompletion done) override;
    void feed(const AudioBufferPtr& buffer) override
    {
        ++m_state.fed;
        for (float sample : buffer->planarSamples())
            m_state.loudest = std::max(m_state.loudest, std::abs(sample));
    }
    void stop(std::function<void()>) override { ++m_state.stops; }
    void resetTranscriptState() override { ++m_state.resets; }
    void resetTranscriptKeepingFinal() override
    {
        m_state.setAside += m_state.finishing;
        ++m_state.resets;
    }
    bool isFinishingUtterance() const override { return m_state.finishing; }

private:
    Scheduler& m_scheduler;
    FakeRecognizerState& m_state;
};

struct RecordingSounds final : EventSoundPlayer {
    QStringList played;
    void play(const QString& eventID) override { played << eventID; }
};

struct RecordingInhibitor final : SleepInhibitor {
    int acquired = 0, released = 0;
    QString reason;
    std::optional<QString> refusal;  // answered to every acquire
    void acquire(const QString& why, Completion done) override
    {
        ++acquired;
        reason = why;
        done(refusal);
    }
    void release() override { ++released; }
};

// A face detector that reports what the test sets, from the tracker's thread.
struct ScriptedFaceDetector final : FaceDetector {
    struct Script {
        std::mutex mutex;
        std::optional<FaceObservation> next;
        void set(std::optional<FaceObservation> observation)
        {
            std::lock_guard lock(mutex);
            next = observation;
        }
    };
    explicit ScriptedFaceDetector(std::shared_ptr<Script> script) : script(std::move(script)) {}
    std::optional<FaceObservation> detect(const QImage&, bool) override
    {
        std::lock_guard lock(script->mutex);
        return script->next;
    }
    void reset() override {}
    std::shared_ptr<Script> script;
};

// An engine on fakes and virtual time: scripted microphone, fake recognizer, silent player.
struct EngineHarness {
    // Where the microphone is: scripted by the test, or the real capture path on the sound
    // server PULSE_SERVER names.
    enum class Microphone { scripted, pulse };
    enum class Camera { none, scripted };

    // `before` sets the settings the engine starts with.
    explicit EngineHarness(Microphone microphone = Microphone::scripted,
                           const std::function<void(AppSettings&)>& before = {}, Camera camera = Camera::none);
    explicit EngineHarness(Camera camera) : EngineHarness(Microphone::scripted, {}, camera) {}
    ~EngineHarness();

    // Runs the event loop and due timers until the condition holds (the microphone's start
    // answers from its own thread); false when it never does.
    bool settle(const std::function<bool()>& condition);
    // Clocks in and waits for listening.
    void clockIn();
    // Waits for the backend to be asked, answers `text` and waits for the reply's speech.
    void answer(const QString& text);
    // Lets every queued sentence be spoken to its end.
    void speakAll();
    // Presses right Alt in a window of the application.
    void pressRightAlt();
    // `ms` of loud speech at the microphone.
    void speak(int ms);
    // Quiet at the microphone until the voice detector hears the speech end, then `ms` more.
    void fallSilent(int ms);
    // One camera frame, as the scripted camera captures it; false while it is not capturing.
    bool showFrame();
    // The messages logged under the category, oldest first.
    QStringList lines(const QString& category) const;
    ConversationPhase phase() const { return engine->state().phase(); }

    QTemporaryDir directory;
    FakeScheduler scheduler;
    UserDefaults defaults;
    AppSettings settings;
    DeviceIdentifier device{defaults};
    std::shared_ptr<ScriptedCaptureBackend::State> capture = std::make_shared<ScriptedCaptureBackend::State>();
    FakeRecognizerState recognizer;
    ScriptedBackend backend;
    ScriptedSpeechPlayer player;
    RecordingDesktopWorkspace* desktop = nullptr;
    RecordingSounds* sounds = nullptr;
    RecordingInhibitor* inhibitor = nullptr;
    ScriptedFrameSource::State camera;
    QString faceDetectorError;  // set: face detection cannot work, for this reason
    std::shared_ptr<ScriptedFaceDetector::Script> face = std::make_shared<ScriptedFaceDetector::Script>();
    PlatformParts platform;
    std::unique_ptr<AppServices> services;
    std::unique_ptr<ConversationEngine> engine;
};
