// The whole road with real parts but the language model: recorded speech through the file
// microphone, the energy detector, pocketsphinx and the turn detector end the turn, a local
// OpenAI-compatible server on 127.0.0.1 answers, and espeak-ng speaks the reply.
#include "Audio/AudioInputStream.h"
#include "Audio/FileCaptureBackend.h"
#include "Audio/ScriptedCaptureBackend.h"
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
#include "Platform/Calendar/IcalCalendarStore.h"
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

// The engine in a session on a microphone, with every log line and every end of turn kept as
// it happens.
struct RecordedSession {
    static constexpr auto kReply = "Ten meters forward it is.";

    // The microphone plays the recording at `path` at the pace of speech.
    explicit RecordedSession(const QString& path)
        : RecordedSession([path] {
              return std::make_unique<FileCaptureBackend>(path, FileCaptureBackend::Pacing::realTime);
          })
    {
    }
    // The test plays the microphone (play()).
    explicit RecordedSession(std::shared_ptr<ScriptedCaptureBackend::State> microphone)
        : RecordedSession([microphone] { return std::make_unique<ScriptedCaptureBackend>(microphone); })
    {
        m_microphone = std::move(microphone);
    }

    explicit RecordedSession(std::function<std::unique_ptr<CaptureBackend>()> makeMicrophone)
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
        platform.makeCaptureBackend = std::move(makeMicrophone);
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

    // Plays mono samples into the scripted microphone at the pace of speech, a captured buffer
    // at a time, each taken by the engine before virtual time moves to its end: the detector
    // hears the pauses as they were recorded however busy the machine is, and only the
    // recognizer's texts may come later.
    void play(const std::vector<float>& samples)
    {
        const auto rate = std::int64_t(m_microphone->format.sampleRate);
        constexpr auto kBuffer = std::size_t(AudioInputStream::kFramesPerBuffer);
        for (std::size_t at = 0; at < samples.size(); at += kBuffer) {
            const auto end = std::min(samples.size(), at + kBuffer);
            ScriptedCaptureBackend::deliver(*m_microphone, {samples.begin() + std::ptrdiff_t(at),
                                                            samples.begin() + std::ptrdiff_t(end)});
            QCoreApplication::processEvents();
            m_played += std::int64_t(end - at);
            const std::chrono::milliseconds heard(m_played * 1000 / rate);
            scheduler.advance(heard - scheduler.elapsed());
            while (clock.elapsed() < heard.count())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
    }

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

private:
    std::shared_ptr<ScriptedCaptureBackend::State> m_microphone;
    std::int64_t m_played = 0;  // frames
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

    constexpr int kRate = RecordedVoices::kWidebandRate;
    auto microphone = std::make_shared<ScriptedCaptureBackend::State>();
    microphone->format = {double(kRate), 1};
    RecordedSession session(microphone);
    // Audio before the recognizer runs reaches no one, as with a microphone.
    ASSERT_TRUE(session.runUntil([&] { return session.lines.contains(QStringLiteral("[stt] started OK")); }))
        << session.log().toStdString();
    const auto repliesSpoken = [&] {
        return session.lines.count(QStringLiteral("[fsm] speaking → listening [tts finished]"));
    };
    // Each utterance, then a pause long enough for its turn to end and the reply to be spoken.
    const std::vector<float> second(std::size_t(kRate), 0.0f);
    for (std::size_t turn = 0; turn < utterances.size(); ++turn) {
        session.play(utterances[turn]);
        // However far the decoder lags behind, it has heard the words before the pause runs out.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !session.engine->state().liveTranscript().isEmpty(); }, 60000))
            << session.log().toStdString();
        for (int waited = 0; waited < 60 && repliesSpoken() <= int(turn); ++waited)
            session.play(second);
    }
    ASSERT_EQ(repliesSpoken(), 5) << session.log().toStdString();
    ASSERT_EQ(session.fireReasons.size(), 5) << session.log().toStdString();
    for (const QString& reason : session.fireReasons)
        EXPECT_TRUE(reason.startsWith(QStringLiteral("predicted silence "))) << reason.toStdString();
    EXPECT_EQ(session.server.requests().size(), 5);
}

}  // namespace
