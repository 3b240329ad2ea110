#include "EngineHarness.h"

#include "Platform/IcalCalendarStore.h"

#include <QTest>

void FakeRecognizer::start(const QString& localeID, const AudioFormat&, StartCompletion done)
{
    ++m_state.starts;
    m_state.localeID = localeID;
    if (m_state.answer == FakeRecognizerState::StartAnswer::hang)
        return;
    const bool ok = m_state.answer == FakeRecognizerState::StartAnswer::ok;
    m_scheduler.schedule(std::chrono::milliseconds(0),
                         [done, ok] { done(ok ? std::nullopt : std::optional<QString>("no model for xx-XX")); });
}

void FakeSpeechPlayer::speak(const QString& text, const std::optional<QString>&, Completion done)
{
    spoken << text;
    m_pending = std::move(done);
}

void FakeSpeechPlayer::stop()
{
    if (m_pending)
        m_scheduler.schedule(std::chrono::milliseconds(0), [done = std::exchange(m_pending, nullptr)] { done({}); });
}

void FakeSpeechPlayer::finishSpeech()
{
    stop();
    m_scheduler.runDue();
}

EngineHarness::EngineHarness()
    : defaults(directory.filePath(QStringLiteral("defaults.json"))),
      settings(defaults, AppSettings::Environment{QString(), QString(), QStringLiteral("en_US")})
{
    settings.setTelemetryEnabled(false);
    platform.makeCaptureBackend = [state = capture] { return std::make_unique<ScriptedCaptureBackend>(state); };
    platform.audioDevices = std::make_unique<FakeDeviceSource>();
    auto ownedSounds = std::make_unique<RecordingSounds>();
    sounds = ownedSounds.get();
    platform.eventSounds = std::move(ownedSounds);
    auto ownedDesktop = std::make_unique<RecordingDesktopWorkspace>();
    desktop = ownedDesktop.get();
    platform.desktop = std::move(ownedDesktop);
    platform.calendar = std::make_unique<IcalCalendarStore>();
    auto ownedInhibitor = std::make_unique<RecordingInhibitor>();
    inhibitor = ownedInhibitor.get();
    platform.sleepInhibitor = std::move(ownedInhibitor);
    services = std::make_unique<AppServices>(scheduler, platform.speechEngine, *platform.audioDevices);
    engine = std::make_unique<ConversationEngine>(
        ConversationEngine::Setup{settings, scheduler, player, platform, *services,
                                  [this] { return std::make_unique<FakeRecognizer>(scheduler, recognizer); }});
}

EngineHarness::~EngineHarness() = default;

bool EngineHarness::settle(const std::function<bool()>& condition)
{
    return QTest::qWaitFor([&] {
        scheduler.runDue();
        return condition();
    });
}

void EngineHarness::clockIn()
{
    engine->setEnabled(true);
    settle([this] { return phase() != ConversationPhase::idle; });
}

QStringList EngineHarness::lines(const QString& category) const
{
    QStringList found;
    for (const PipelineLog::Entry& entry : engine->log().entries())
        if (entry.category == category)
            found << entry.message;
    return found;
}
