#include "Pipeline/SessionSequencer.h"

#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/BargeInDetector.h"
#include "Pipeline/EngineExtensions.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/SleepInhibitor.h"
#include "STT/SystemStreamingRecognizer.h"
#include "Support/Text.h"
#include "TTS/TTSQueue.h"
#include "VAD/EnergyVAD.h"

namespace {
const QString kNoAnswer = QStringLiteral("no answer within %1 s").arg(SessionSequencer::kDeviceStartTimeout.count());

QString yesNo(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
}  // namespace

QString SessionSequencer::microphoneLostMessage(const QString& deviceName)
{
    return QStringLiteral("microphone disconnected: ") + deviceName;
}

SessionSequencer::SessionSequencer(Parts parts, Hooks hooks)
    : m_parts(std::move(parts)), m_hooks(std::move(hooks)), m_deviceTimeout(m_parts.scheduler)
{
}

SessionSequencer::~SessionSequencer()
{
    m_start.cancel();
    if (m_inhibiting)
        m_parts.inhibitor.release();
}

void SessionSequencer::setEnabled(bool on)
{
    if (on == m_parts.state.isEnabled())
        return;
    m_parts.state.setEnabled(on);
    m_requests.push_back(on);
    if (!m_jobRunning)
        runNext();
}

void SessionSequencer::quit()
{
    m_requests.clear();
    if (!m_parts.state.isEnabled() && !m_jobRunning)
        return;
    m_parts.state.setEnabled(false);
    endSession();
}

void SessionSequencer::runNext()
{
    if (m_requests.empty())
        return;
    const bool start = m_requests.front();
    m_requests.pop_front();
    m_jobRunning = true;
    if (start)
        startSession();
    else
        endSession();
}

void SessionSequencer::finishJob()
{
    m_jobRunning = false;
    runNext();
}

std::function<bool()> SessionSequencer::armDeviceTimeout(std::function<void()> onTimeout)
{
    auto answered = std::make_shared<bool>(false);
    m_deviceTimeout.start(kDeviceStartTimeout, [answered, onTimeout = std::move(onTimeout)] {
        *answered = true;
        onTimeout();
    });
    return [this, answered, token = m_start] {
        if (token.isCancelled() || *answered)
            return false;
        *answered = true;
        m_deviceTimeout.cancel();
        return true;
    };
}

void SessionSequencer::startSession()
{
    m_start = CancelToken();
    m_stopping.clear();
    m_parts.state.setErrorMessage(std::nullopt);
    if (!m_inhibiting) {
        m_inhibiting = true;
        m_parts.inhibitor.acquire(kInhibitReason, [this](const std::optional<QString>& failure) {
            if (failure)
                m_parts.log.record(QStringLiteral("session"),
                                   QStringLiteral("sleep inhibitor unavailable: ") + *failure);
        });
    }
    m_audioInput = m_parts.makeAudioInput();
    m_audioInput->onDeviceLost = [this](const QString& name) { microphoneLost(name); };
    const auto claim = armDeviceTimeout([this] {
        failStart(AudioInputError{AudioInputError::Kind::engineFailed, {}, kNoAnswer}.description(),
                  QStringLiteral("audio start failed"));
    });
    m_audioInput->start(m_parts.settings.microphoneDeviceUID(),
                        [this, claim](const std::optional<AudioInputError>& error) {
                            if (!claim())
                                return;
                            if (error)
                                failStart(error->description(), QStringLiteral("audio start failed"));
                            else if (!m_audioInput->inputFormat())
                                failStart(QStringLiteral("no input format"), QStringLiteral("audio format missing"));
                            else
                                startRecognizer();
                        });
}

void SessionSequencer::startRecognizer()
{
    const AppSettings& settings = m_parts.settings;
    const AudioFormat format = *m_audioInput->inputFormat();
    m_recognizer = m_parts.makeRecognizer();
    if (auto* system = dynamic_cast<SystemStreamingRecognizer*>(m_recognizer.get()))
        system->onDiagnostic = [this](const QString& line) { m_parts.log.record(QStringLiteral("stt"), line); };
    m_recognizer->onTranscript = [this](const QString& transcript) { m_hooks.transcript(transcript); };
    m_recognizer->onLateFinal = [this](const QString& transcript) { m_hooks.lateFinal(transcript); };
    m_recognizer->onError = [this](const QString& error) {
        m_parts.state.setErrorMessage(error);
        m_parts.fsm.transition(ConversationPhase::error, QStringLiteral("stt error"));
        m_parts.log.record(QStringLiteral("error"), error);
    };
    m_parts.log.record(QStringLiteral("stt"),
                       QStringLiteral("starting analyzer for locale=%1 inputHW=%2Hz %3ch")
                           .arg(settings.effectiveSTTLocale(), Text::shortestDecimal(format.sampleRate))
                           .arg(format.channels));
    const auto failed = [this](const QString& error) {
        retire(std::move(m_recognizer));
        failStart(error, QStringLiteral("stt start failed"));
    };
    const auto claim = armDeviceTimeout([failed] { failed(QStringLiteral("Speech recognition: ") + kNoAnswer); });
    m_recognizer->start(settings.effectiveSTTLocale(), format,
                        [this, claim, failed](const std::optional<QString>& error) {
                            if (!claim())
                                return;
                            if (error) {
                                failed(*error);
                                return;
                            }
                            m_parts.log.record(QStringLiteral("stt"), QStringLiteral("started OK"));
                            beginListening();
                        });
}

void SessionSequencer::beginListening()
{
    const AppSettings& settings = m_parts.settings;
    EngineExtensions& extensions = m_parts.extensions;
    m_parts.ttsQueue.reset(settings.effectiveTTSLocale());
    m_hooks.applySettings();
    if (settings.appMode() == AppMode::minutes)
        extensions.minutes->start(*m_audioInput->inputFormat());
    else
        m_parts.state.setCurrentRecordingURL(std::nullopt);

    ListeningLoop::Taps taps;
    taps.onBuffer = [minutes = extensions.minutes.get()](const AudioBufferPtr& buffer) { minutes->append(buffer); };
    if (GazeLoop* gaze = extensions.gaze.get())
        taps.onSpeechStarted = [gaze] { gaze->resume(); };
    m_listening =
        std::make_unique<ListeningLoop>(ListeningLoop::Parts{m_parts.settings, m_parts.fsm, m_parts.log, m_parts.vad,
                                                             m_parts.turnDetector, m_parts.bargeIn, m_parts.micLevel},
                                        m_audioInput->subscribe(), m_recognizer.get(), std::move(taps));

    if (!settings.cameraGazeEnabled()) {
        m_parts.log.record(QStringLiteral("camera"), QStringLiteral("disabled by setting"));
    } else if (GazeLoop* gaze = extensions.gaze.get()) {
        const auto claim = armDeviceTimeout([this] {
            m_parts.log.record(QStringLiteral("camera"), QStringLiteral("start FAILED: ") + kNoAnswer);
            enterListening();
        });
        gaze->startForSession([this, claim] {
            if (claim())
                enterListening();
        });
        return;
    }
    enterListening();
}

void SessionSequencer::enterListening()
{
    const AppSettings& settings = m_parts.settings;
    const GazeLoop* gaze = m_parts.extensions.gaze.get();
    m_parts.fsm.transition(ConversationPhase::listening, QStringLiteral("session start"));
    m_parts.log.record(QStringLiteral("session"),
                       QStringLiteral("started locale=%1 provider=%2 audio.running=%3 camera.running=%4")
                           .arg(settings.localeID(), rawValue(settings.assistantProvider()),
                                yesNo(m_audioInput->isRunning()), yesNo(gaze && gaze->isRunning())));
    StatisticsLoop::Sources sources;
    sources.takeAudioBuffers = [this] { return m_listening->takeBufferCount(); };
    sources.lastVadEvent = [this] { return m_listening->lastVadEvent(); };
    sources.recognizerLive = [this] { return m_recognizer != nullptr; };
    if (GazeLoop* gazeLoop = m_parts.extensions.gaze.get()) {
        sources.takeCameraFrames = [gazeLoop] { return gazeLoop->takeFrameCount(); };
        sources.faceAge = [gazeLoop] { return gazeLoop->faceAge(); };
    }
    m_statistics = std::make_unique<StatisticsLoop>(
        StatisticsLoop::Parts{m_parts.scheduler, m_parts.log, m_parts.settings, m_parts.state, m_parts.micLevel,
                              m_parts.turnDetector, m_parts.history, m_parts.systemMonitor},
        std::move(sources));
    finishJob();
}

void SessionSequencer::failStart(const QString& message, const QString& reason)
{
    m_parts.state.setErrorMessage(message);
    m_parts.fsm.transition(ConversationPhase::error, reason);
    m_parts.log.record(QStringLiteral("error"), message);
    finishJob();
}

void SessionSequencer::microphoneLost(const QString& name)
{
    // Hearing nothing, or whatever the sound server would move capture to, is worse than
    // stopping: the session ends and says why, and the next one opens what is there then.
    const QString message = microphoneLostMessage(name);
    m_parts.state.setErrorMessage(message);
    m_parts.fsm.transition(ConversationPhase::error, QStringLiteral("microphone disconnected"));
    m_parts.log.record(QStringLiteral("error"), message);
    setEnabled(false);
}

void SessionSequencer::endSession()
{
    EngineExtensions& extensions = m_parts.extensions;
    m_start.cancel();
    m_deviceTimeout.cancel();
    m_parts.log.record(QStringLiteral("session"), QStringLiteral("stopping…"));
    m_hooks.writeOpenMinutesTurn();
    if (m_recognizer) {
        m_recognizer->onTranscript = nullptr;
        m_recognizer->onLateFinal = nullptr;
        m_recognizer->onError = nullptr;
    }
    // Nothing the parts report while they wind down reaches the engine.
    m_hooks.unwire();
    m_statistics.reset();
    m_listening.reset();
    // Idle first, so stopping the reply moves the phase nowhere else.
    m_parts.fsm.transition(ConversationPhase::idle, QStringLiteral("session end"));
    m_hooks.stopReply();
    extensions.rest->cancel();
    if (std::exchange(m_inhibiting, false))
        m_parts.inhibitor.release();
    if (m_recognizer)
        retire(std::move(m_recognizer));
    if (m_audioInput)
        m_audioInput->stop();
    if (extensions.gaze)
        extensions.gaze->stop();
    extensions.minutes->stop();
    m_parts.vad.reset();
    m_parts.turnDetector.reset();
    m_parts.bargeIn.disarm();

    m_parts.micLevel.setLevel(0);
    m_parts.state.setGazeStatus(GazeStatus::noFace);
    m_parts.state.setHeadPose({});
    m_parts.settings.setRestingUntil(std::nullopt);
    m_hooks.forgetTurn();
    m_hooks.wireup();
    finishJob();
}

void SessionSequencer::retire(std::unique_ptr<StreamingSpeechRecognizer> recognizer)
{
    // Stopped without waiting; kept until the next start, when it has long wound down.
    recognizer->stop();
    m_stopping.push_back(std::move(recognizer));
}

void SessionSequencer::fireNow()
{
    const ConversationPhase phase = m_parts.fsm.phase();
    // In an error the fired turn leads back to listening, as a spoken or typed one does.
    if (phase != ConversationPhase::listening && phase != ConversationPhase::error) {
        m_parts.log.record(QStringLiteral("manual"), QStringLiteral("fire ignored — phase=") + rawValue(phase));
        return;
    }
    m_parts.log.record(QStringLiteral("manual"), QStringLiteral("fire button pressed"));
    m_parts.turnDetector.forceFire(QStringLiteral("manual fire button"));
}

void SessionSequencer::stopSpeaking()
{
    const ConversationPhase phase = m_parts.fsm.phase();
    m_parts.log.record(QStringLiteral("manual"),
                       QStringLiteral("stop-speaking pressed (phase=%1)").arg(rawValue(phase)));
    m_hooks.stopReply();
}

void SessionSequencer::rightAltPressed()
{
    const ConversationPhase phase = m_parts.fsm.phase();
    if (!m_parts.settings.rightOptionInterruptEnabled() ||
        (phase != ConversationPhase::thinking && phase != ConversationPhase::speaking))
        return;
    m_parts.log.record(QStringLiteral("manual"), QStringLiteral("right Alt → stop speaking"));
    stopSpeaking();
}
