// The real capture path: libpulse on a private PulseAudio server whose virtual
// microphone plays what the test writes into it.
#include "Audio/AudioDeviceManager.h"
#include "Audio/AudioInputStream.h"
#include "Audio/AudioSubscription.h"
#include "Common/PulseAudioTest.h"
#include "Platform/PulseCaptureBackend.h"
#include "Platform/PulseDeviceSource.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <numbers>

namespace {

// A 440 Hz tone at half scale, as raw 16 kHz mono 16-bit samples.
QByteArray tone(double seconds)
{
    const auto count = qsizetype(seconds * PulseAudioServer::kPipeSampleRate);
    QByteArray samples(count * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<std::int16_t*>(samples.data());
    for (qsizetype i = 0; i < count; ++i)
        out[i] =
            std::int16_t(16000 * std::sin(2 * std::numbers::pi * 440 * double(i) / PulseAudioServer::kPipeSampleRate));
    return samples;
}

TEST_F(PulseAudioTest, TheVirtualMicrophoneIsListedAndCapturedInWholeBuffers)
{
    const PulseDeviceSource devices;
    ASSERT_TRUE(QSignalSpy(&devices, &AudioDeviceSource::devicesChanged).wait(5000));
    const auto device = AudioDeviceManager(devices).device(QString::fromLatin1(PulseAudioServer::kPipeSourceName));
    ASSERT_TRUE(device.has_value());
    EXPECT_FALSE(AudioDeviceManager(devices).device(QStringLiteral("vsink.monitor")).has_value());

    AudioInputStream stream(std::make_unique<PulseCaptureBackend>());
    QList<AudioBufferPtr> buffers;
    AudioSubscription subscription(stream.subscribe(), [&](const AudioBufferPtr& buffer) { buffers.append(buffer); });
    std::optional<AudioInputError> error;
    bool started = false;
    stream.start(device->uid, [&](std::optional<AudioInputError> e) {
        error = e;
        started = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return started; }, 10000));
    ASSERT_FALSE(error.has_value()) << error->description().toStdString();
    ASSERT_TRUE(stream.inputFormat()->isValid());

    ASSERT_TRUE(pulse().writeMicrophone(tone(1.5)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return buffers.size() >= 3; }, 10000)) << buffers.size();
    stream.stop();
    for (qsizetype i = 0; i < buffers.size(); ++i) {
        const AudioBuffer& buffer = *buffers[i];
        EXPECT_EQ(buffer.frameCount(), AudioInputStream::kFramesPerBuffer);
        EXPECT_EQ(buffer.framePosition(), i * AudioInputStream::kFramesPerBuffer);
    }
    // Half-scale sine: RMS about 0.35 once the tone runs.
    const AudioBuffer& last = *buffers.last();
    double energy = 0;
    for (std::int64_t f = 0; f < last.frameCount(); ++f)
        energy += double(last.channelData(0)[f]) * last.channelData(0)[f];
    EXPECT_GT(std::sqrt(energy / double(last.frameCount())), 0.2);
}

}  // namespace
