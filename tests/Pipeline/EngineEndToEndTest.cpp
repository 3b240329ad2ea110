// The whole road with real parts but the language model: recorded speech through the file
// microphone, the energy detector, pocketsphinx and the turn detector end the turn, a local
// OpenAI-compatible server on 127.0.0.1 answers, and espeak-ng speaks the reply.
#include "Audio/FileCaptureBackend.h"
#include "Common/FakeDeviceSource.h"
#include "Common/FakeScheduler.h"
#include "Common/LocalHttpServer.h"
#include "Common/QtPrinters.h"
#include "Common/RecordedVoices.h"
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

// The engine in a session on the recording at `path` (headerless samples when `rawFormat` is
// given), with every log line and every end of turn kept as it happens.
struct RecordedSession {
    static constexpr auto kReply = "Ten meters forward it is.";

    RecordedSession(const QString& path, std::optional<AudioFormat> rawFormat = std::nullopt)
    {
        server.setHandler([](const LocalHttpServer::Request&) {
            LocalHttpServer::Reply reply;
            reply.body = QByteArray(R"({"choices":[{"message":{"role":"assistant","content":")") + kReply + R"("}}]})";
            return reply;
        });
        settings.setLocaleID(QStringLiteral("en-US"));
        settings.setTelemetryEnabled(false);
        settings.setAssistantProvider(AssistantProvider::lmStudio);
        settings.setLmStudioBaseURL(server.url().toString());
        settings.setLmStudioModel(QStringLiteral("local-model"));
        platform.makeCaptureBackend = [path, rawFormat] {
            return std::make_unique<FileCaptureBackend>(path, FileCaptureBackend::Pacing::realTime, rawFormat);
        };
        platform.audioDevices = std::make_unique<FakeDeviceSource>();
        platform.speechEngine = PocketsphinxDecoder::installedEngine();
        platform.speechSynthesizer = std::make_unique<EspeakSpeechSynthesizer>(std::make_unique<NullAudioOutput>());
        platform.eventSounds = std::make_unique<CanberraEventSoundPlayer>();
        platform.desktop = std::make_unique<RecordingDesktopWorkspace>();
        platform.calendar = std::make_unique<IcalCalendarStore>();
        platform.sleepInhibitor = std::make_unique<DBusSleepInhibitor>(QDBusConnection(QStringLiteral("none")),
                                                                       QDBusConnection(QStringLiteral("none")));
        services = std::make_unique<AppServices>(scheduler, platform.speechEngine, *platform.audioDevices);
        player = std::make_unique<SystemSpeechPlayer>(std::move(platform.speechSynthesizer), scheduler);
        engine = std::make_unique<ConversationEngine>(
            ConversationEngine::Setup{settings, scheduler, *player, platform, *services, device});
        QObject::connect(&engine->log(), &PipelineLog::entryAppended, [this](const PipelineLog::Entry& entry) {
            lines << QStringLiteral("[%1] %2").arg(entry.category, entry.message);
        });
        QObject::connect(&engine->state(), &EngineState::lastFireAtChanged,
                         [this] { fireReasons << engine->state().lastFireReason(); });
        engine->setEnabled(true);
        clock.start();
    }
    ~RecordedSession()
    {
        engine->setEnabled(false);
        runUntil([&] { return engine->state().phase() == ConversationPhase::idle; });
    }

    // The file plays at the pace of speech (the loop subscribes only once the recognizer
    // runs), and decoding takes its own time, so virtual time keeps pace with the real clock.
    bool runUntil(const std::function<bool()>& done)
    {
        return QTest::qWaitFor(
            [&] {
                scheduler.advance(std::max(0ms, std::chrono::milliseconds(clock.elapsed()) - scheduler.elapsed()));
                return done();
            },
            90000);
    }
    QString log() const { return lines.join(u'\n'); }

    LocalHttpServer server;
    ScopedDataRoot root;  // the history's day files of this test only
    QTemporaryDir directory;
    FakeScheduler scheduler;
    UserDefaults defaults{directory.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{defaults};
    PlatformParts platform;
    std::unique_ptr<AppServices> services;
    std::unique_ptr<SystemSpeechPlayer> player;
    const DeviceIdentifier device{defaults};
    std::unique_ptr<ConversationEngine> engine;
    QElapsedTimer clock;
    QStringList lines;
    QStringList fireReasons;
};

TEST(EngineEndToEnd, ARecordedQuestionIsHeardAnsweredSpokenAndKept)
{
    QTemporaryDir directory;
    const QString recording = directory.filePath(QStringLiteral("goforward.wav"));
    // Audio before the recognizer runs reaches no one, as with a microphone: the question
    // comes after a pause long enough for the models to load on a busy machine.
    ASSERT_TRUE(SpeechWav::goForward(recording, 16000, 1, 3.0));
    RecordedSession session(recording);
    ASSERT_TRUE(session.runUntil([&] {
        return session.lines.contains(QStringLiteral("[fsm] speaking → listening [tts finished]"));
    })) << session.log().toStdString();

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
    qsizetype at = 0;
    for (const QString& step : road) {
        while (at < session.lines.size() && !session.lines[at].startsWith(step))
            ++at;
        ASSERT_LT(at, session.lines.size()) << "missing or out of order: " << step.toStdString() << "\n"
                                            << session.log().toStdString();
    }
    ASSERT_EQ(session.server.requests().size(), 1);
    EXPECT_EQ(session.server.requests().first().path, "/v1/chat/completions");

    const auto kept = [path = ConversationHistory::dayFilePath(session.scheduler.wallNow())] {
        QFile day(path);
        return day.open(QIODevice::ReadOnly) ? day.readAll() : QByteArray();
    };
    ASSERT_TRUE(session.runUntil([&] { return kept().count('\n') == 2; }));
    const QList<QByteArray> turns = kept().trimmed().split('\n');
    EXPECT_TRUE(turns[0].contains("go forward ten meters")) << turns[0].toStdString();
    EXPECT_TRUE(turns[1].contains("Ten meters forward it is.")) << turns[1].toStdString();
}

// People finish speaking in their own ways, and the recognizer finishes each utterance after
// the speech, often revising its last words then: every turn still ends on the silence the
// detector predicted, never on the transcript's much longer dwell.
TEST(EngineEndToEnd, RecordedPeopleEachEndTheirTurnOnThePredictedSilence)
{
    const std::vector<std::vector<float>> utterances = RecordedVoices::turnsOfThreePeople();
    ASSERT_EQ(utterances.size(), 5u);

    // One microphone session: time for the models to load, then each utterance followed by a
    // pause long enough for its turn to end and the reply to be spoken.
    constexpr int kRate = RecordedVoices::kWidebandRate;
    std::vector<qint16> samples(std::size_t(3 * kRate));
    for (const std::vector<float>& utterance : utterances) {
        for (const float sample : utterance)
            samples.push_back(qint16(std::clamp(sample, -1.0f, 1.0f) * 32767));
        samples.resize(samples.size() + std::size_t(3 * kRate));
    }
    QTemporaryDir directory;
    QFile microphone(directory.filePath(QStringLiteral("people.raw")));
    ASSERT_TRUE(microphone.open(QIODevice::WriteOnly));
    microphone.write(reinterpret_cast<const char*>(samples.data()), qint64(samples.size() * sizeof(qint16)));
    microphone.close();

    RecordedSession session(microphone.fileName(), AudioFormat{double(kRate), 1});
    const auto repliesSpoken = [&] {
        return session.lines.count(QStringLiteral("[fsm] speaking → listening [tts finished]"));
    };
    ASSERT_TRUE(session.runUntil([&] { return repliesSpoken() == 5; })) << session.log().toStdString();
    ASSERT_EQ(session.fireReasons.size(), 5) << session.log().toStdString();
    for (const QString& reason : session.fireReasons)
        EXPECT_TRUE(reason.startsWith(QStringLiteral("predicted silence "))) << reason.toStdString();
    EXPECT_EQ(session.server.requests().size(), 5);
}

}  // namespace
