#include "Audio/FileCaptureBackend.h"
#include "Common/LogCapture.h"
#include "Common/SpeechWav.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::int64_t playAll(FileCaptureBackend& backend)
{
    std::atomic<std::int64_t> frames{0};
    EXPECT_EQ(backend.start(backend.deviceFormat(), [&](const float*, std::int64_t count) { frames += count; }, {}),
              std::nullopt);
    EXPECT_TRUE(QTest::qWaitFor([&] { return backend.finished(); }, 10000));
    backend.stop();
    return frames;
}

TEST(FileCaptureBackend, PlaysAWavFileAsItsOnlyDevice)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("speech.wav"));
    ASSERT_TRUE(SpeechWav::render(QStringLiteral("one two three"), path));
    FileCaptureBackend backend(path, FileCaptureBackend::Pacing::asFastAsPossible);
    EXPECT_EQ(backend.selectDevice(QStringLiteral("anything")), std::nullopt);
    EXPECT_EQ(backend.deviceFormat(), (AudioFormat{22050, 1}));
    const std::int64_t first = playAll(backend);
    EXPECT_GT(first, 22050 / 2);
    EXPECT_EQ(playAll(backend), first);  // a second start plays it again from the beginning
}

TEST(FileCaptureBackend, ReadsHeaderlessRecordingsInTheGivenFormat)
{
    FileCaptureBackend backend(QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw"),
                               FileCaptureBackend::Pacing::asFastAsPossible, AudioFormat{16000, 1});
    ASSERT_EQ(backend.deviceFormat(), (AudioFormat{16000, 1}));
    EXPECT_EQ(playAll(backend),
              QFileInfo(QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw")).size() / 2);
}

TEST(FileCaptureBackend, AMissingFileIsNoDevice)
{
    FileCaptureBackend backend(QStringLiteral("/nonexistent/speech.wav"));
    const LogCapture log(QStringLiteral("app.parlivox.audio.input"));
    const std::optional<AudioDeviceError> refusal = backend.selectDevice(QString());
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->kind, AudioDeviceError::Kind::setDeviceFailed);
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages().first().startsWith(QStringLiteral("cannot read /nonexistent/speech.wav: ")));
    EXPECT_FALSE(backend.deviceFormat().isValid());
}

}  // namespace
