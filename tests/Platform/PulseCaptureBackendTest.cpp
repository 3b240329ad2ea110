#include "Platform/PulseCaptureBackend.h"

#include "Common/LogCapture.h"
#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedPulseServer.h"

#include <QTest>

#include <pulse/pulseaudio.h>

#include <atomic>
#include <functional>

namespace {

const QString kCaptureLog = QStringLiteral("app.parlivox.audio.input");

TEST(PulseCaptureBackend, ASoundServerThatIsGoneFailsTheSelectionWithItsReason)
{
    const LogCapture log(kCaptureLog);
    std::optional<AudioDeviceError> refusal;
    std::optional<QString> failure;
    bool delivered = false;
    PulseCaptureBackend backend;
    {
        const ScopedPulseServer nowhere("unix:/nonexistent/parlivox-test/pulse.sock");
        refusal = backend.selectDevice(QString());
        failure = backend.start({48000, 2}, [&](const float*, std::int64_t) { delivered = true; }, {});
    }
    EXPECT_EQ(refusal, (AudioDeviceError{AudioDeviceError::Kind::noAudioUnit, 0}));
    EXPECT_EQ(log.messages(), QStringList{QStringLiteral("no sound server: Connection refused")});
    EXPECT_EQ(failure, QStringLiteral("no source selected"));
    backend.stop();
    EXPECT_FALSE(delivered);
}

class PulseCaptureBackendOnServer : public PulseAudioTest {
protected:
    static std::optional<QByteArray> pactl(const QStringList& arguments)
    {
        return pulse().runClient(QStringLiteral("pactl"), arguments);
    }
    void setDefaultSource(const char* name) const
    {
        ASSERT_TRUE(pactl({QStringLiteral("set-default-source"), QString::fromLatin1(name)}));
    }
    void TearDown() override
    {
        if (pulse().isRunning())
            setDefaultSource(PulseAudioServer::kLoopSourceName);
    }
};

TEST_F(PulseCaptureBackendOnServer, TheDefaultIsTheServersCurrentMicrophoneAndAMonitorOnlyByChoice)
{
    const AudioDeviceError noSuchSource{AudioDeviceError::Kind::setDeviceFailed, PA_ERR_NOENTITY};
    const struct {
        const char* serverDefault;
        const char* chosen;
        std::optional<AudioDeviceError> refusal;
        QString reason;  // logged beside the refusal
        AudioFormat format;
    } cases[] = {
        {"vmic", "", std::nullopt, {}, {16000, 1}},
        {"vmic_loop", "", std::nullopt, {}, {44100, 2}},
        {"vsink.monitor", "", noSuchSource, "the default source 'vsink.monitor' is the monitor of an output", {}},
        {"vsink.monitor", "vsink.monitor", std::nullopt, {}, {44100, 2}},
        {"vmic", "unplugged", noSuchSource, "no source 'unplugged'", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.serverDefault) + " / " + c.chosen);
        setDefaultSource(c.serverDefault);
        const LogCapture log(kCaptureLog);
        PulseCaptureBackend backend;
        EXPECT_EQ(backend.selectDevice(QString::fromLatin1(c.chosen)), c.refusal);
        EXPECT_EQ(log.messages(), c.reason.isEmpty() ? QStringList() : QStringList{c.reason});
        EXPECT_EQ(backend.deviceFormat(), c.format);
        EXPECT_EQ(backend.deviceName().isEmpty(), c.refusal.has_value());
    }
}

// What a sound settings program does: ask the server to end a stream or a client by its index.
bool askServerTo(pa_operation* (*end)(pa_context*, std::uint32_t, pa_context_success_cb_t, void*), const QString& index)
{
    PulseConnection admin("test.admin");
    if (index.isEmpty() || admin.connect())
        return false;
    const PulseConnection::Lock lock(admin);
    return admin.wait(end(
        admin.context(), index.toUInt(),
        [](pa_context*, int, void* connection) { static_cast<PulseConnection*>(connection)->signal(); }, &admin));
}

// However the server ends a capture (its source removed, the stream or the whole client
// killed, the server itself stopped), the backend reports the loss once and hands over
// nothing more; a capture on the restarted server runs again.
TEST(PulseCaptureBackend, EveryWayTheServerEndsTheCaptureIsReportedOnceAsTheMicrophoneLost)
{
    PulseAudioServer server;
    if (!server.isRunning())
        GTEST_SKIP() << "needs a private PulseAudio server: " << server.error().toStdString();
    const ScopedPulseServer scope(server.address().toLocal8Bit());
    const auto pactl = [&](const QStringList& arguments) {
        return server.runClient(QStringLiteral("pactl"), arguments).has_value();
    };
    // Our recording's index (column 0) or its client's (column 2), "" while there is none.
    const auto ours = [&](int column) {
        const QStringList recordings = server.clientRecordings();
        return recordings.size() == 1 ? recordings.first().section(QLatin1Char('\t'), column, column) : QString();
    };
    const struct {
        const char* name;
        std::function<bool(const QString& module)> end;
    } endings[] = {
        {"source removed",
         [&](const QString& module) {
             return pactl({"unload-module", module});
         }},
        {"stream killed", [&](const QString&) { return askServerTo(pa_context_kill_source_output, ours(0)); }},
        {"client killed", [&](const QString&) { return askServerTo(pa_context_kill_client, ours(2)); }},
        {"server stopped",
         [&](const QString&) {
             server.stop();
             return true;
         }},
        {"server restarted, source removed",
         [&](const QString& module) {
             return pactl({"unload-module", module});
         }},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.name);
        ASSERT_TRUE(server.start()) << server.error().toStdString();
        const QString module =
            QString::fromLatin1(server
                                    .runClient(QStringLiteral("pactl"), {"load-module", "module-sine-source",
                                                                         "source_name=capture_lost_mic", "rate=16000"})
                                    .value_or(QByteArray())
                                    .trimmed());
        ASSERT_FALSE(module.isEmpty());
        PulseCaptureBackend backend;
        ASSERT_EQ(backend.selectDevice(QStringLiteral("capture_lost_mic")), std::nullopt);
        std::atomic<std::int64_t> frames{0};
        std::atomic<int> lost{0};
        ASSERT_EQ(
            backend.start(
                backend.deviceFormat(), [&](const float*, std::int64_t count) { frames += count; }, [&] { ++lost; }),
            std::nullopt);
        ASSERT_TRUE(QTest::qWaitFor([&] { return frames > 0 && !ours(0).isEmpty(); }, 5000));

        const LogCapture log(kCaptureLog);
        ASSERT_TRUE(ending.end(module));
        ASSERT_TRUE(QTest::qWaitFor([&] { return lost > 0; }, 5000));
        const std::int64_t framesAtLoss = frames;
        QTest::qWait(100);
        EXPECT_EQ(lost, 1);
        EXPECT_EQ(frames, framesAtLoss);
        ASSERT_EQ(log.messages().size(), 1);
        EXPECT_TRUE(log.messages().first().startsWith(QStringLiteral("capture of 'capture_lost_mic' ended: ")));
        backend.stop();
        if (server.isRunning()) {
            EXPECT_EQ(server.clientRecordings(), QStringList());
            pactl({"unload-module", module});
        }
    }
}

}  // namespace
