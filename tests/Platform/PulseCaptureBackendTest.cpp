#include "Platform/PulseCaptureBackend.h"

#include "Common/PulseAudioTest.h"
#include "Common/QtPrinters.h"

namespace {

TEST(PulseCaptureBackend, ASoundServerThatIsGoneFailsTheSelectionWithItsReason)
{
    const QByteArray server = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:/nonexistent/parlivox-test/pulse.sock");
    PulseCaptureBackend backend;
    const auto refusal = backend.selectDevice(QString());
    bool delivered = false;
    const auto failure = backend.start({48000, 2}, [&](const float*, std::int64_t) { delivered = true; }, {});
    if (server.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", server);
    EXPECT_EQ(refusal, QStringLiteral("Connection refused"));
    EXPECT_EQ(failure, QStringLiteral("no source selected"));
    backend.stop();
    EXPECT_FALSE(delivered);
}

class PulseCaptureBackendOnServer : public PulseAudioTest {
protected:
    void setDefaultSource(const char* name) const
    {
        ASSERT_TRUE(pulse().runClient(QStringLiteral("pactl"), {QStringLiteral("set-default-source"), name}));
    }
    void TearDown() override
    {
        if (pulse().isRunning())
            setDefaultSource(PulseAudioServer::kLoopSourceName);
    }
};

TEST_F(PulseCaptureBackendOnServer, TheDefaultIsTheServersCurrentMicrophoneAndAMonitorOnlyByChoice)
{
    const struct {
        const char* serverDefault;
        const char* chosen;
        std::optional<QString> refusal;
        AudioFormat format;
    } cases[] = {
        {"vmic", "", std::nullopt, {16000, 1}},
        {"vmic_loop", "", std::nullopt, {44100, 2}},
        {"vsink.monitor", "", QStringLiteral("the default source 'vsink.monitor' is the monitor of an output"), {}},
        {"vsink.monitor", "vsink.monitor", std::nullopt, {44100, 2}},
        {"vmic", "unplugged", QStringLiteral("no source 'unplugged'"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.serverDefault) + " / " + c.chosen);
        setDefaultSource(c.serverDefault);
        PulseCaptureBackend backend;
        EXPECT_EQ(backend.selectDevice(QString::fromLatin1(c.chosen)), c.refusal);
        EXPECT_EQ(backend.deviceFormat(), c.format);
        EXPECT_EQ(backend.deviceName().isEmpty(), c.refusal.has_value());
    }
}

}  // namespace
