#include "EngineHarness.h"

#include "Platform/Calendar/IcalCalendarStore.h"
#include "Platform/PulseCaptureBackend.h"
#include "Platform/PulseDeviceSource.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

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

EngineHarness::EngineHarness(Microphone microphone, const std::function<void(AppSettings&)>& before, Camera withCamera)
    : defaults(directory.filePath(QStringLiteral("defaults.json"))),
      settings(defaults, AppSettings::Environment{QString(), QString(), QStringLiteral("en_US")})
{
    settings.setTelemetryEnabled(false);
    if (before)
        before(settings);
    if (microphone == Microphone::pulse) {
        platform.makeCaptureBackend = [] { return std::make_unique<PulseCaptureBackend>(); };
        platform.audioDevices = std::make_unique<PulseDeviceSource>();
    } else {
        platform.makeCaptureBackend = [state = capture] { return std::make_unique<ScriptedCaptureBackend>(state); };
        platform.audioDevices = std::make_unique<FakeDeviceSource>();
    }
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
    if (withCamera == Camera::scripted) {
        platform.makeCameraSource = [this] { return std::make_unique<ScriptedFrameSource>(camera); };
        platform.makeFaceDetector = [this](QString* error) -> std::unique_ptr<FaceDetector> {
            if (faceDetectorError.isEmpty())
                return std::make_unique<ScriptedFaceDetector>(face);
            *error = faceDetectorError;
            return nullptr;
        };
    }
    services = std::make_unique<AppServices>(scheduler, platform.speechEngine, *platform.audioDevices);
    engine = std::make_unique<ConversationEngine>(
        ConversationEngine::Setup{settings, scheduler, player, platform, *services, device,
                                  [this] { return std::make_unique<FakeRecognizer>(scheduler, recognizer); },
                                  [this] { return std::make_unique<ScriptedBackend::Client>(backend); }});
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

void EngineHarness::answer(const QString& text)
{
    ASSERT_TRUE(settle([this] { return !backend.stream.isNull(); }));
    backend.stream->push(text);
    backend.stream->finish();
    settle([this] { return phase() != ConversationPhase::thinking; });
}

void EngineHarness::speakAll()
{
    while (settle([this] { return player.isSpeaking() || phase() != ConversationPhase::speaking; }) &&
           player.isSpeaking())
        player.finishCurrent();
}

void EngineHarness::pressRightAlt()
{
    QWindow window;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier, RightOptionMonitor::kRightAltKeycode,
                    0xffea /* Alt_R */, 0);
    QCoreApplication::sendEvent(&window, &press);
}

void EngineHarness::speak(int ms)
{
    const std::vector<float> loud(std::size_t(2 * 4096), 0.3f);  // one 4096-frame stereo buffer
    for (int i = 0; i < 3; ++i)  // the detector's onset
        ScriptedCaptureBackend::deliver(*capture, loud);
    settle([this] { return engine->micLevel().level() > 0.5; });
    scheduler.advance(std::chrono::milliseconds(ms));
}

void EngineHarness::fallSilent(int ms)
{
    const std::vector<float> quiet(std::size_t(2 * 4096), 0.0f);
    for (int i = 0; i < 3; ++i)  // longer than the detector's hang-over
        ScriptedCaptureBackend::deliver(*capture, quiet);
    settle([this] { return engine->micLevel().level() == 0.0; });
    scheduler.advance(std::chrono::milliseconds(ms));
}

bool EngineHarness::showFrame()
{
    FrameSource::FrameHandler handler;
    {
        std::lock_guard lock(camera.mutex);
        handler = camera.handler;
    }
    if (!handler)
        return false;
    QImage picture(320, 240, QImage::Format_ARGB32);
    picture.fill(QColor(150, 120, 90));
    handler(CameraFrame{picture, std::chrono::steady_clock::now()});
    return true;
}

QStringList EngineHarness::lines(const QString& category) const
{
    QStringList found;
    for (const PipelineLog::Entry& entry : engine->log().entries())
        if (entry.category == category)
            found << entry.message;
    return found;
}
