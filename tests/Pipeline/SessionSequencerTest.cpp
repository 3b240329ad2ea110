#include "EngineHarness.h"

#include "Audio/AudioDeviceManager.h"
#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedPulseServer.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {
using Phase = ConversationPhase;

TEST(SessionSequencer, StartsAndStopsRunInTheOrderAskedAndARepeatedChoiceDoesNothing)
{
    EngineHarness h;
    h.engine->setEnabled(true);
    h.engine->setEnabled(true);
    h.engine->setEnabled(false);  // asked while the microphone is still starting
    EXPECT_FALSE(h.engine->state().isEnabled());
    ASSERT_TRUE(h.settle([&] { return h.lines("session").size() == 2 && h.phase() == Phase::idle; }));

    EXPECT_EQ(h.lines("fsm"), QStringList({"idle → listening [session start]", "listening → idle [session end]"}));
    EXPECT_EQ(h.lines("session"), QStringList({"started locale=ko-KR provider=ostrel-hosted audio.running=true "
                                               "camera.running=false",
                                               "stopping…"}));
    EXPECT_EQ(h.capture->starts, 1);
    EXPECT_EQ(h.recognizer.starts, 1);
    EXPECT_EQ(h.recognizer.stops, 1);
    EXPECT_TRUE(h.settle([&] { return h.capture->stops == 1; }));
    EXPECT_EQ(h.inhibitor->acquired, 1);
    EXPECT_EQ(h.inhibitor->released, 1);
    EXPECT_EQ(h.inhibitor->reason, "Parlivox always-on voice listening");

    // The same parts serve the next session.
    h.clockIn();
    EXPECT_EQ(h.phase(), Phase::listening);
    EXPECT_EQ(h.recognizer.starts, 2);
}

TEST(SessionSequencer, AFailedStartShowsItsErrorAndClockingOutStillEndsIdleWithEverythingStopped)
{
    struct Case {
        const char* name;
        std::optional<QString> microphoneFailure;
        FakeRecognizerState::StartAnswer recognizer;
        QString error;
        QString reason;
    };
    const QList<Case> cases = {
        {"microphone refuses", QString("device busy"), FakeRecognizerState::StartAnswer::ok,
         "Audio engine failed to start: device busy", "audio start failed"},
        {"recognizer refuses", std::nullopt, FakeRecognizerState::StartAnswer::fail, "no model for xx-XX",
         "stt start failed"},
        {"recognizer never answers", std::nullopt, FakeRecognizerState::StartAnswer::hang,
         "Speech recognition: no answer within 10 s", "stt start failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.capture->startFailure = c.microphoneFailure;
        h.recognizer.answer = c.recognizer;
        h.inhibitor->refusal = QStringLiteral("portal: none; logind: none");
        h.engine->setEnabled(true);
        ASSERT_TRUE(h.settle([&] {
            h.scheduler.advance(std::chrono::seconds(1));
            return h.phase() == Phase::error;
        }));
        EXPECT_EQ(h.engine->state().errorMessage(), c.error);
        EXPECT_EQ(h.lines("fsm"), QStringList{"idle → error [" + c.reason + "]"});
        EXPECT_EQ(h.lines("error"), QStringList{c.error});
        EXPECT_EQ(h.lines("session"), QStringList{"sleep inhibitor unavailable: portal: none; logind: none"});

        h.engine->setEnabled(false);
        ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
        EXPECT_TRUE(h.settle([&] { return h.capture->stops == (c.microphoneFailure ? 0 : 1); }));
        EXPECT_EQ(h.inhibitor->released, 1);

        // Mended, the next start shows no trace of the failed one.
        h.capture->startFailure.reset();
        h.recognizer.answer = FakeRecognizerState::StartAnswer::ok;
        h.clockIn();
        EXPECT_EQ(h.phase(), Phase::listening);
        EXPECT_EQ(h.engine->state().errorMessage(), std::nullopt);
    }
}

// The microphone lost and back on a real sound server: the session ends saying so instead of
// capturing whatever source is left, and the next one hears the microphone once it is back.
class MicrophoneOnServer : public PulseAudioTest {
protected:
    static std::optional<QByteArray> pactl(const QStringList& arguments)
    {
        return pulse().runClient(QStringLiteral("pactl"), arguments);
    }
    void TearDown() override
    {
        if (pulse().isRunning())
            pactl({QStringLiteral("set-default-source"), QString::fromLatin1(PulseAudioServer::kLoopSourceName)});
    }
};

TEST_F(MicrophoneOnServer, ASessionWhoseMicrophoneGoesAwayEndsSayingSoAndTheNextHearsItBack)
{
    const QString gone = QStringLiteral("microphone disconnected: Sine source at 440 Hz");
    for (const bool chosen : {false, true}) {
        SCOPED_TRACE(chosen ? "chosen by name" : "system default");
        const QString source = chosen ? QStringLiteral("desk_mic_chosen") : QStringLiteral("desk_mic_default");
        const auto plugIn = [&] {
            return pactl({QStringLiteral("load-module"), QStringLiteral("module-sine-source"),
                          QStringLiteral("source_name=") + source, QStringLiteral("rate=16000")});
        };
        std::optional<QByteArray> module = plugIn();
        ASSERT_TRUE(module);
        EngineHarness h(EngineHarness::Microphone::pulse);
        if (chosen)
            h.settings.setMicrophoneDeviceUID(source);
        else
            ASSERT_TRUE(pactl({QStringLiteral("set-default-source"), source}));
        h.clockIn();
        ASSERT_EQ(h.phase(), Phase::listening) << h.engine->state().errorMessage().value_or("").toStdString();
        ASSERT_TRUE(h.settle([&] { return h.recognizer.loudest > 0.1f; })) << "the sine reaches the recognizer";

        ASSERT_TRUE(pactl({QStringLiteral("unload-module"), QString::fromLatin1(module->trimmed())}));
        ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
        EXPECT_FALSE(h.engine->state().isEnabled());
        EXPECT_EQ(h.engine->state().errorMessage(), gone);
        EXPECT_EQ(h.lines("error"), QStringList{gone});
        EXPECT_EQ(h.lines("fsm").mid(1),
                  QStringList({"listening → error [microphone disconnected]", "error → idle [session end]"}));
        // Nothing records on: not the speaker's monitor, not any source the server has left.
        EXPECT_EQ(pulse().clientRecordings(), QStringList());

        module = plugIn();
        ASSERT_TRUE(module);
        h.recognizer.loudest = 0;
        h.clockIn();
        EXPECT_EQ(h.phase(), Phase::listening);
        EXPECT_EQ(h.engine->state().errorMessage(), std::nullopt);
        EXPECT_TRUE(h.settle([&] { return h.recognizer.loudest > 0.1f; })) << "heard again once back";
        EXPECT_EQ(pulse().clientRecordings().size(), 1);
        h.engine->setEnabled(false);
        ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
        pactl({QStringLiteral("unload-module"), QString::fromLatin1(module->trimmed())});
    }
}

// The program started before the sound server, and the server restarted under a session (a
// suspend, an update): the microphones show up once the server runs and clocking in listens
// then, without restarting the program; the restart ends the session as a lost microphone.
TEST(SessionSequencer, ClockingInFollowsASoundServerThatStartsLateAndRestarts)
{
    PulseAudioServer server(PulseAudioServer::Start::later);
    const ScopedPulseServer scope(server.address().toLocal8Bit());
    EngineHarness h(EngineHarness::Microphone::pulse);
    const AudioDeviceManager devices(*h.platform.audioDevices);
    h.engine->setEnabled(true);
    ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::error; }));
    EXPECT_EQ(h.engine->state().errorMessage(), QStringLiteral("No audio input device is available."));
    h.engine->setEnabled(false);
    ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "started after the program" : "restarted under the session");
        if (!server.start())
            GTEST_SKIP() << "needs a private PulseAudio server: " << server.error().toStdString();
        ASSERT_TRUE(
            server.runClient(QStringLiteral("pactl"), {"set-default-source", PulseAudioServer::kPipeSourceName}));
        EXPECT_TRUE(h.settle([&] { return devices.device(PulseAudioServer::kPipeSourceName).has_value(); }));
        const QString name = devices.device(PulseAudioServer::kPipeSourceName).value_or(AudioInputDevice()).name;
        EXPECT_EQ(devices.displayInputName({}), name + " (system default)");
        h.recognizer.loudest = 0;
        h.clockIn();
        ASSERT_EQ(h.phase(), Phase::listening) << h.engine->state().errorMessage().value_or("").toStdString();
        ASSERT_TRUE(server.writeMicrophone(QByteArray(16000, '\x40')));  // half a second, half scale
        EXPECT_TRUE(h.settle([&] { return h.recognizer.loudest > 0.1f; })) << "the microphone reaches the recognizer";

        server.stop();
        ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
        EXPECT_FALSE(h.engine->state().isEnabled());
        EXPECT_EQ(h.engine->state().errorMessage(), "microphone disconnected: " + name);
        EXPECT_TRUE(h.settle([&] { return devices.listInputDevices().isEmpty(); }));
    }
}

}  // namespace
