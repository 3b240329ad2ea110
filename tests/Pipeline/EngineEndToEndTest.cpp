// The whole road with real parts but the language model: recorded speech through the file
// microphone, the energy detector, pocketsphinx and the turn detector end the turn.
#include "Audio/FileCaptureBackend.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Common/RecordingDesktopWorkspace.h"
#include "Common/SpeechWav.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/ConversationEngine.h"
#include "Pipeline/PlatformParts.h"
#include "Platform/CanberraEventSoundPlayer.h"
#include "Platform/DBusSleepInhibitor.h"
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Platform/IcalCalendarStore.h"
#include "Platform/PocketsphinxDecoder.h"
#include "Platform/QtAudioDeviceSource.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/UserDefaults.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;

// Plays nothing: every block is over as soon as it is handed over.
struct NullAudioOutput final : AudioOutput {
    int blocks = 0;
    void play(AudioBufferPtr) override
    {
        ++blocks;
        QMetaObject::invokeMethod(
            qApp,
            [this] {
                if (onStarted)
                    onStarted();
                if (onFinished)
                    onFinished();
            },
            Qt::QueuedConnection);
    }
    void stop() override {}
};

TEST(EngineEndToEnd, ARecordedQuestionEndsTheTurnThroughTheRealListeningParts)
{
    QTemporaryDir directory;
    const QString recording = directory.filePath(QStringLiteral("goforward.wav"));
    ASSERT_TRUE(SpeechWav::goForward(recording, 16000, 1));

    FakeScheduler scheduler;
    UserDefaults defaults(directory.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults);
    settings.setLocaleID(QStringLiteral("en-US"));
    settings.setTelemetryEnabled(false);
    PlatformParts platform;
    platform.makeCaptureBackend = [recording] {
        return std::make_unique<FileCaptureBackend>(recording, FileCaptureBackend::Pacing::realTime);
    };
    platform.audioDevices = std::make_unique<QtAudioDeviceSource>();
    platform.speechEngine = PocketsphinxDecoder::installedEngine();
    auto output = std::make_unique<NullAudioOutput>();
    platform.speechSynthesizer = std::make_unique<EspeakSpeechSynthesizer>(std::move(output));
    platform.eventSounds = std::make_unique<CanberraEventSoundPlayer>();
    platform.desktop = std::make_unique<RecordingDesktopWorkspace>();
    platform.calendar = std::make_unique<IcalCalendarStore>();
    platform.sleepInhibitor = std::make_unique<DBusSleepInhibitor>(QDBusConnection(QStringLiteral("none")),
                                                                   QDBusConnection(QStringLiteral("none")));
    AppServices services(scheduler, platform.speechEngine, *platform.audioDevices);
    SystemSpeechPlayer player(std::move(platform.speechSynthesizer), scheduler);
    ConversationEngine engine({settings, scheduler, player, platform, services});
    const auto logged = [&] {
        QStringList lines;
        for (const PipelineLog::Entry& entry : engine.log().entries())
            lines << QStringLiteral("[%1] %2").arg(entry.category, entry.message);
        return lines;
    };

    engine.setEnabled(true);
    // The file plays at the pace of speech (the loop subscribes only once the recognizer runs);
    // virtual time runs at about twice real time meanwhile.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            scheduler.advance(20ms);
            return engine.state().lastFireAt().has_value();
        },
        60000))
        << logged().join(u'\n').toStdString();
    EXPECT_EQ(engine.state().lastFireReason().isEmpty(), false);
    const QStringList lines = logged();
    EXPECT_TRUE(lines.contains(QStringLiteral("[audio] first buffer received frames=4096 sr=16000.0 ch=1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("[stt] starting analyzer for locale=en-US inputHW=16000.0Hz 1ch")));
    EXPECT_TRUE(lines.contains(QStringLiteral("[fsm] idle → listening [session start]")));
    engine.setEnabled(false);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        scheduler.advance(20ms);
        return engine.state().phase() == ConversationPhase::idle;
    }));
}
}  // namespace
