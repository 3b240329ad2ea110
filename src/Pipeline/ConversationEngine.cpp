#include "Pipeline/ConversationEngine.h"

#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/CameraGazeLoop.h"
#include "Pipeline/MinutesCapture.h"
#include "Pipeline/PlatformParts.h"
#include "Pipeline/RestAndWake.h"
#include "STT/SystemStreamingRecognizer.h"
#include "Skills/BuiltInSkills.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/Text.h"

AdaptiveTurnDetector::Tuning ConversationEngine::turnTimings(const QString& localeID, AppMode mode,
                                                             AdaptiveTurnDetector::Tuning tuning)
{
    const bool slowPaced = localeID.startsWith(QLatin1String("ko")) || localeID.startsWith(QLatin1String("ja")) ||
                           localeID.startsWith(QLatin1String("zh"));
    tuning.initialSilenceMs = slowPaced ? 2500 : 1500;
    tuning.minSilenceMs = slowPaced ? 1500 : 800;
    tuning.maxSilenceMs = slowPaced ? 8000 : 6000;
    tuning.transcriptDwellMs = slowPaced ? 8000 : 5500;
    tuning.fastFireGraceMs = slowPaced ? 800 : 600;
    // In a meeting the next person may answer within a second: a line ends where its speaker
    // stops, and the recognizer's final text amends it when it comes.
    const bool minutes = mode == AppMode::minutes;
    if (minutes)
        tuning.maxSilenceMs = tuning.minSilenceMs;
    tuning.finalTextWaitMs = minutes ? 0 : AdaptiveTurnDetector::Tuning{}.finalTextWaitMs;
    return tuning;
}

ConversationEngine::ConversationEngine(Setup setup)
    : m_settings(setup.settings), m_scheduler(setup.scheduler), m_player(setup.player), m_platform(setup.platform),
      m_eventSounds(std::move(setup.platform.eventSounds)), m_inhibitor(std::move(setup.platform.sleepInhibitor)),
      m_log(m_scheduler), m_fsm(m_scheduler), m_vad(0.012, 3, 150), m_turnDetector(m_scheduler),
      m_bargeIn(m_scheduler, kBargeInTriggerMs), m_ttsQueue(m_player), m_phaseSounds(*m_eventSounds),
      m_telemetry(setup.services.analytics), m_historyRecorder(m_history, m_state, m_scheduler),
      m_voice(m_fsm, m_ttsQueue, m_bargeIn, m_settings),
      m_liveTranscript(m_state, m_log,
                       [this] {
                           // A minutes line ends where its speaker stops: the recognizer's
                           // late final text still amends it, and the next voice starts afresh.
                           if (StreamingSpeechRecognizer* recognizer = m_sessions.recognizer()) {
                               if (m_settings.appMode() == AppMode::minutes)
                                   recognizer->resetTranscriptKeepingFinal();
                               else
                                   recognizer->resetTranscriptState();
                           }
                       }),
      m_confirmation(m_state, m_fsm, m_log, setup.services.skills, m_settings, m_voice, m_historyRecorder,
                     m_liveTranscript, m_turnDetector, m_scheduler),
      m_clients(m_settings, setup.device, m_scheduler),
      m_turnRoad(m_state, m_fsm, m_log, m_settings, setup.services.skills, m_historyRecorder, m_voice, m_liveTranscript,
                 m_turnDetector, m_confirmation, m_scheduler,
                 setup.makeClient ? std::move(setup.makeClient)
                                  : TurnRoad::ClientFactory([this] { return m_clients.make(); })),
      m_vaultMirror(m_settings, m_obsidian, m_scheduler),
      m_describePass(CameraDescribePass::Parts{m_settings, setup.services.skills, m_fsm, m_log, m_historyRecorder,
                                               m_voice, m_liveTranscript, m_turnRoad,
                                               [this](const QString& path, CameraStream::StillCompletion done) {
                                                   if (m_extensions.gaze)
                                                       m_extensions.gaze->captureStill(path, std::move(done));
                                                   else
                                                       done(std::nullopt);
                                               }}),
      m_sessions(
          SessionSequencer::Parts{
              m_settings, m_scheduler, m_log, m_state, m_fsm, m_vad, m_turnDetector, m_bargeIn, m_micLevel, m_ttsQueue,
              m_history, setup.services.systemMonitor, *m_inhibitor, m_extensions,
              [&platform = m_platform] { return std::make_unique<AudioInputStream>(platform.makeCaptureBackend()); },
              setup.makeRecognizer ? std::move(setup.makeRecognizer)
                                   : RecognizerFactory([&scheduler = m_scheduler, engine = m_platform.speechEngine] {
                                         return std::make_unique<SystemStreamingRecognizer>(scheduler, engine);
                                     })},
          SessionSequencer::Hooks{[this] { wireup(); }, [this] { unwire(); }, [this] { applySettings(); },
                                  [this] { m_turnRoad.cancelReply(TurnRoad::StopCause::stopButton); },
                                  [this] {
                                      m_liveTranscript.prepareForNextTurn();
                                      m_confirmation.clearPending();
                                  },
                                  [this](const QString& transcript) { m_turnRoad.handleTranscript(transcript); },
                                  [this] { writeOpenMinutesTurn(); },
                                  [this](const QString& transcript) { m_turnRoad.amendMinutesTurn(transcript); }}),
      m_rightAlt(std::move(setup.platform.globalKeys))
{
    m_state.setLastFireReason(QStringLiteral("—"));
    makeExtensions();
    wireup();
    applySettings();
    BuiltInSkills{*m_platform.calendar, *m_platform.desktop, setup.services.systemMonitor, m_extensions.rest.get(),
                  m_scheduler}
        .addTo(setup.services.skills);
    m_turnRoad.onMinutesTurn = [this](const QString& text) {
        m_extensions.minutes->takeTurn(text);
        if (m_extensions.gaze)
            m_extensions.gaze->pause();
    };
    m_turnRoad.onMinutesAmended = [this](const QString& text) { m_extensions.minutes->amendTurn(text); };
    m_turnRoad.onRestingTranscript = [this](const QString& transcript) {
        m_extensions.rest->hearWhileResting(transcript);
    };
    m_turnRoad.onReplyStored = [this](const QString& userText, const QString& replyText) {
        m_vaultMirror.syncTurn(userText, replyText);
    };
    m_confirmation.onMemoryNoted = [this](const QString& note) { m_vaultMirror.syncMemory(note); };
    m_confirmation.onCameraDescribe = [this](const CancelToken& token) { m_describePass.run(token); };
    m_rightAlt.onPressed = [this] { m_sessions.rightAltPressed(); };
    m_rightAlt.start();
}

ConversationEngine::~ConversationEngine()
{
    // Quitting ends a session as clocking out does: the recording is closed and the meeting
    // note written, before the parts go.
    m_sessions.quit();
    // The player outlives the engine; nothing it reports may reach it afterwards.
    if (auto* system = dynamic_cast<SystemSpeechPlayer*>(&m_player))
        system->onDiagnostic = nullptr;
    unwire();
    m_fsm.setOnTransition(nullptr);
}

void ConversationEngine::makeExtensions()
{
    m_extensions.rest = std::make_unique<RestAndWake>(
        RestAndWake::Parts{m_settings, m_scheduler, m_state, m_fsm, m_log, m_turnDetector, m_historyRecorder, m_voice,
                           m_liveTranscript, m_ttsQueue, [this] { m_turnRoad.cancelReply(TurnRoad::StopCause::rest); },
                           [this] {
                               if (StreamingSpeechRecognizer* recognizer = m_sessions.recognizer())
                                   recognizer->resetTranscriptState();
                           }});
    m_extensions.minutes = std::make_unique<MinutesCapture>(
        MinutesCapture::Parts{m_settings, m_scheduler, m_state, m_minutes, m_log, m_obsidian});
    if (m_platform.makeCameraSource)
        m_extensions.gaze = std::make_unique<CameraGazeLoop>(
            CameraGazeLoop::Parts{m_scheduler, m_settings, m_state, m_log, m_turnDetector, m_platform.makeCameraSource,
                                  m_platform.makeFaceDetector});
}

void ConversationEngine::wireup()
{
    m_fsm.setOnTransition([this](ConversationPhase from, ConversationPhase to, const QString& reason) {
        m_state.setPhase(to);
        m_log.record(QStringLiteral("fsm"), QStringLiteral("%1 → %2 [%3]").arg(rawValue(from), rawValue(to), reason));
        m_phaseSounds.play(to);
        if (from == ConversationPhase::listening && to != ConversationPhase::listening && m_extensions.gaze)
            m_extensions.gaze->pause();
    });
    m_turnDetector.onTurnEnded = [this](const QString& transcript, const QString& reason) {
        m_turnRoad.handleDetectedTurn(transcript, reason);
    };
    m_turnDetector.onMicActivityFirstDetected = [this](const QDateTime& at) {
        m_state.setHasStartedSpeaking(true);
        m_state.setFirstMicActivityAt(at);
        m_log.record(QStringLiteral("speaking"), QStringLiteral("first mic activity latched (mic >= threshold)"));
        if (m_extensions.gaze)
            m_extensions.gaze->resume();
    };
    m_turnDetector.onDiagnostic = [this](const QString& message) {
        m_log.record(QStringLiteral("endpointing"), message);
    };
    m_turnDetector.isTranscriptFinishing = [this] {
        const StreamingSpeechRecognizer* recognizer = m_sessions.recognizer();
        return recognizer && recognizer->isFinishingUtterance();
    };
    m_bargeIn.onBargeIn = [this] { handleBargeIn(); };
    m_ttsQueue.onStartedSentence = [this](const QString& sentence) {
        m_log.record(QStringLiteral("tts"), QStringLiteral("started: ") + Text::graphemePrefix(sentence, 40) + u'…');
    };
    m_ttsQueue.onFinishedAll = [this] {
        m_voice.handleSpeechFinished();
        m_extensions.rest->speechFinished();
    };
    m_ttsQueue.onCancelled = [this] { m_log.record(QStringLiteral("tts"), QStringLiteral("cancelled")); };
}

void ConversationEngine::unwire()
{
    m_turnDetector.onTurnEnded = nullptr;
    m_turnDetector.onMicActivityFirstDetected = nullptr;
    m_turnDetector.onDiagnostic = nullptr;
    m_turnDetector.isTranscriptFinishing = nullptr;
    m_bargeIn.onBargeIn = nullptr;
    m_ttsQueue.onStartedSentence = nullptr;
    m_ttsQueue.onFinishedAll = nullptr;
    m_ttsQueue.onCancelled = nullptr;
}

void ConversationEngine::applySettings()
{
    tuneTurnDetector();
    // From start-up on, so a typed turn before the first session is spoken in the right voice.
    m_ttsQueue.setLocaleID(m_settings.effectiveTTSLocale());
    if (auto* system = dynamic_cast<SystemSpeechPlayer*>(&m_player)) {
        system->setPreferredGender(m_settings.avatarGender());
        system->setPreferredVoiceID(m_settings.selectedVoiceID());
        system->onDiagnostic = [this](const SpeechDiag& diag) {
            m_log.record(QStringLiteral("tts"), diag.summary());
            if (diag.kind == SpeechDiag::Kind::aborted)
                m_state.setErrorMessage(QStringLiteral("TTS 중단: ") + diag.reason);
        };
    }
    m_phaseSounds.setEnabled(m_settings.phaseSoundsEnabled());
    if (m_extensions.gaze)
        m_extensions.gaze->setGrayscale(m_settings.cameraGrayscaleProcessing());
    m_log.setEnabled(m_settings.diagnosticsLoggingEnabled());
    applyTelemetrySettings();
}

void ConversationEngine::tuneTurnDetector()
{
    m_turnDetector.setTuning(turnTimings(m_settings.localeID(), m_settings.appMode(), m_turnDetector.tuning()));
}

void ConversationEngine::writeOpenMinutesTurn()
{
    if (!m_extensions.minutes->isRecording())
        return;
    const QString text = Text::trimmed(m_turnDetector.currentTranscript());
    m_turnDetector.reset();
    if (!text.isEmpty())
        m_turnRoad.writeMinutesTurn(text);
}

void ConversationEngine::applyTelemetrySettings()
{
    m_telemetry.setup(m_settings.telemetryEnabled(), QStringLiteral("parlivox-linux"));
    if (m_telemetry.isActive())
        m_log.setForwardSink(
            [telemetry = &m_telemetry](const PipelineLog::Entry& entry) { telemetry->forward(entry); });
    else
        m_log.setForwardSink(nullptr);
}

void ConversationEngine::handleBargeIn()
{
    if (!m_settings.bargeInEnabled()) {
        m_log.record(QStringLiteral("barge-in"), QStringLiteral("ignored — bargeInEnabled=false"));
        return;
    }
    m_log.record(QStringLiteral("barge-in"), QStringLiteral("user interrupted assistant (mic above threshold)"));
    m_turnRoad.cancelReply(TurnRoad::StopCause::bargeIn);
}

void ConversationEngine::setEnabled(bool on)
{
    m_sessions.setEnabled(on);
}

void ConversationEngine::fireNow()
{
    m_sessions.fireNow();
}

void ConversationEngine::stopSpeaking()
{
    m_sessions.stopSpeaking();
}

void ConversationEngine::clearHistory()
{
    m_historyRecorder.clear();
    m_state.setAssistantMessage({});
    m_state.setLiveTranscript({});
}

void ConversationEngine::submitTextTurn(const QString& text)
{
    m_turnRoad.submitTextTurn(text);
}

void ConversationEngine::approvePendingSkill()
{
    m_confirmation.approvePendingSkill();
}

void ConversationEngine::cancelPendingSkill()
{
    m_confirmation.cancelPendingSkill();
}

void ConversationEngine::applyAppModeChange()
{
    m_ttsQueue.setLocaleID(m_settings.effectiveTTSLocale());
    tuneTurnDetector();
    if (m_state.isEnabled()) {
        if (m_settings.appMode() != AppMode::minutes)
            writeOpenMinutesTurn();
        const AudioInputStream* audio = m_sessions.audioInput();
        m_extensions.minutes->applyModeChange(audio ? audio->inputFormat() : std::nullopt);
    }
}

void ConversationEngine::setCameraGaze(bool on)
{
    if (m_extensions.gaze)
        m_extensions.gaze->setEnabled(on, m_fsm.phase() != ConversationPhase::idle);
}

void ConversationEngine::restNow()
{
    writeOpenMinutesTurn();
    m_extensions.rest->restNow();
}

void ConversationEngine::wakeFromRest(const QString& reason)
{
    m_extensions.rest->wakeFromRest(reason);
}

void ConversationEngine::renameSpeaker(int speakerID, const QString& name)
{
    m_extensions.minutes->renameSpeaker(speakerID, name);
}

bool ConversationEngine::enrollSpeaker(int speakerID, const QString& name)
{
    return m_extensions.minutes->enrollSpeaker(speakerID, name);
}

void ConversationEngine::revealRecordingInFinder()
{
    if (const std::optional<QUrl>& recording = m_state.currentRecordingURL())
        m_platform.desktop->revealFile(recording->toLocalFile());
}

void ConversationEngine::clearLog()
{
    m_log.clear();
}

std::shared_ptr<FrameChannel> ConversationEngine::subscribeCameraPreview()
{
    // Without a camera the preview gets a channel nothing ever writes to.
    return m_extensions.gaze ? m_extensions.gaze->subscribePreview()
                             : std::make_shared<FrameChannel>(CameraStream::kSubscriberCapacity);
}
