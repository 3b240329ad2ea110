// The whole road with real parts but the language model: recorded speech through the file
// microphone, the energy detector, pocketsphinx and the turn detector end the turn, a local
// OpenAI-compatible server on 127.0.0.1 answers, and espeak-ng speaks the reply.
#include "Audio/FileCaptureBackend.h"
#include "Common/FakeDeviceSource.h"
#include "Common/FakeScheduler.h"
#include "Common/LocalHttpServer.h"
#include "Common/QtPrinters.h"
#include "Common/RecordingDesktopWorkspace.h"
#include "Common/SpeechWav.h"
#include "Common/TestEnvironment.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/ConversationEngine.h"
#include "Pipeline/PlatformParts.h"
#include "Platform/CanberraEventSoundPlayer.h"
#include "Platform/DBusSleepInhibitor.h"
#include "Platform/EspeakSpeechSynthesizer.h"
#include "Platform/IcalCalendarStore.h"
#include "Platform/PocketsphinxDecoder.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Storage/DeviceIdentifier.h"
#include "Support/UserDefaults.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;

// Plays nothing: a stream starts when its first block comes and is over when it ends.
struct NullAudioOutput final : AudioOutput {
    void play(AudioBufferPtr) override { report(onStarted); }
    void append(AudioBufferPtr) override {}
    void endStream() override { report(onFinished); }
    void stop() override {}
    void report(const std::function<void()>& event)
    {
        QMetaObject::invokeMethod(
            qApp,
            [event] {
                if (event)
                    event();
            },
            Qt::QueuedConnection);
    }
};

TEST(EngineEndToEnd, ARecordedQuestionIsHeardAnsweredSpokenAndKept)
{
    LocalHttpServer server;
    server.setHandler([](const LocalHttpServer::Request&) {
        LocalHttpServer::Reply reply;
        reply.body = R"({"choices":[{"message":{"role":"assistant","content":"Ten meters forward it is."}}]})";
        return reply;
    });
    ScopedDataRoot root;  // the history's day files of this test only
    QTemporaryDir directory;
    const QString recording = directory.filePath(QStringLiteral("goforward.wav"));
    // Audio before the recognizer runs reaches no one, as with a microphone: the question
    // comes after a pause long enough for the models to load on a busy machine.
    ASSERT_TRUE(SpeechWav::goForward(recording, 16000, 1, 3.0));

    FakeScheduler scheduler;
    UserDefaults defaults(directory.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults);
    settings.setLocaleID(QStringLiteral("en-US"));
    settings.setTelemetryEnabled(false);
    settings.setAssistantProvider(AssistantProvider::lmStudio);
    settings.setLmStudioBaseURL(server.url().toString());
    settings.setLmStudioModel(QStringLiteral("local-model"));
    PlatformParts platform;
    platform.makeCaptureBackend = [recording] {
        return std::make_unique<FileCaptureBackend>(recording, FileCaptureBackend::Pacing::realTime);
    };
    platform.audioDevices = std::make_unique<FakeDeviceSource>();
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
    const DeviceIdentifier device(defaults);
    ConversationEngine engine({settings, scheduler, player, platform, services, device});
    const auto logged = [&] {
        QStringList lines;
        for (const PipelineLog::Entry& entry : engine.log().entries())
            lines << QStringLiteral("[%1] %2").arg(entry.category, entry.message);
        return lines;
    };

    engine.setEnabled(true);
    // The file plays at the pace of speech (the loop subscribes only once the recognizer runs),
    // and decoding takes its own time, so virtual time keeps pace with the real clock.
    QElapsedTimer clock;
    clock.start();
    const auto runUntil = [&](const std::function<bool()>& done) {
        return QTest::qWaitFor(
            [&] {
                scheduler.advance(std::max(0ms, std::chrono::milliseconds(clock.elapsed()) - scheduler.elapsed()));
                return done();
            },
            60000);
    };
    ASSERT_TRUE(runUntil([&] {
        return logged().contains(QStringLiteral("[fsm] speaking → listening [tts finished]"));
    })) << logged().join(u'\n').toStdString();

    const QStringList road = {
        QStringLiteral("[fsm] idle → listening [session start]"),
        QStringLiteral("[audio] first buffer received frames=4096 sr=16000.0 ch=1"),
        QStringLiteral("[speaking] first mic activity latched (mic >= threshold)"),
        QStringLiteral("[turn] ended (conversation): go forward ten meters"),
        QStringLiteral("[fsm] listening → thinking [turn ended]"),
        QStringLiteral("[fsm] thinking → speaking [first sentence ready]"),
        QStringLiteral("[tts] started: Ten meters forward it is.…"),
        QStringLiteral("[llm] completed (25 chars)"),
        QStringLiteral("[fsm] speaking → listening [tts finished]"),
    };
    const QStringList lines = logged();
    qsizetype at = 0;
    for (const QString& step : road) {
        while (at < lines.size() && !lines[at].startsWith(step))
            ++at;
        ASSERT_LT(at, lines.size()) << "missing or out of order: " << step.toStdString() << "\n"
                                    << lines.join(u'\n').toStdString();
    }
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().path, "/v1/chat/completions");

    const auto kept = [path = ConversationHistory::dayFilePath(scheduler.wallNow())] {
        QFile day(path);
        return day.open(QIODevice::ReadOnly) ? day.readAll() : QByteArray();
    };
    ASSERT_TRUE(runUntil([&] { return kept().count('\n') == 2; }));
    const QList<QByteArray> turns = kept().trimmed().split('\n');
    EXPECT_TRUE(turns[0].contains("go forward ten meters")) << turns[0].toStdString();
    EXPECT_TRUE(turns[1].contains("Ten meters forward it is.")) << turns[1].toStdString();

    engine.setEnabled(false);
    ASSERT_TRUE(runUntil([&] { return engine.state().phase() == ConversationPhase::idle; }));
}
}  // namespace
