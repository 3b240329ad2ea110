#include "Audio/AudioRecorder.h"

#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Storage/AppPaths.h"
#include "TestBuffers.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr AudioFormat kStereo{48000, 2};

float sampleAt(int channel, std::int64_t frame)
{
    return float(frame % 1000) / 1000.0f * (channel == 0 ? 1.0f : -0.5f);
}

AudioBufferPtr stereoBuffer(std::int64_t position, std::int64_t frames = 4096)
{
    return makeBuffer(
        kStereo, frames, [position](int channel, std::int64_t f) { return sampleAt(channel, position + f); }, position);
}

AudioRecorder::Totals closeAndWait(AudioRecorder& recorder)
{
    std::optional<AudioRecorder::Totals> totals;
    recorder.close([&](const AudioRecorder::Totals& closed) { totals = closed; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return totals.has_value(); }, 10000));
    return totals.value_or(AudioRecorder::Totals{});
}

TEST(AudioRecorder, TheFileHoldsExactlyTheBuffersAppendedBeforeClose)
{
    const ScopedDataRoot root;
    const QString path = AudioRecorder::makeURL(QStringLiteral("meeting"), QDateTime::currentDateTime());
    QString error;
    const auto recorder = AudioRecorder::create(path, kStereo, &error);
    ASSERT_TRUE(recorder) << error.toStdString();
    constexpr std::int64_t frames = 30 * 4096 + 123;
    for (std::int64_t position = 0; position < frames; position += 4096) {
        recorder->append(stereoBuffer(position, std::min<std::int64_t>(4096, frames - position)));
        if (position == 4096)  // another format would garble the file: refused
            recorder->append(makeBuffer({48000, 1}, 4096, [](int, std::int64_t) { return 0.9f; }));
    }
    const AudioRecorder::Totals totals = closeAndWait(*recorder);
    recorder->append(stereoBuffer(frames));  // after close: written nowhere

    EXPECT_EQ(totals.samplesWritten, frames);
    EXPECT_EQ(totals.bytesWritten, QFileInfo(path).size());
    SF_INFO info{};
    const std::vector<float> samples = readSoundFile(path, info);
    EXPECT_EQ(info.format, SF_FORMAT_CAF | SF_FORMAT_FLOAT | (info.format & SF_FORMAT_ENDMASK));
    EXPECT_EQ(info.samplerate, 48000);
    ASSERT_EQ(info.channels, 2);
    ASSERT_EQ(info.frames, frames);
    for (std::int64_t f = 0; f < frames; ++f)
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(samples[std::size_t(f * 2 + c)], sampleAt(c, f)) << "frame " << f;
}

TEST(AudioRecorder, RecordingsNamedInTheSameSecondNeverShareAFile)
{
    const ScopedDataRoot root;
    const QString path =
        AudioRecorder::makeURL(QStringLiteral("meeting"), QDateTime(QDate(2026, 3, 4), QTime(14, 25, 1)));
    EXPECT_EQ(path, AppPaths::recordings() + QStringLiteral("/meeting-20260304-142501.caf"));

    const auto first = AudioRecorder::create(path, kStereo);
    ASSERT_TRUE(first);
    first->append(stereoBuffer(0));
    closeAndWait(*first);
    const qint64 firstSize = QFileInfo(path).size();
    const auto second = AudioRecorder::create(path, kStereo);
    const auto third = AudioRecorder::create(path, kStereo);
    ASSERT_TRUE(second && third);
    EXPECT_EQ(first->baseName(), QStringLiteral("meeting-20260304-142501"));
    EXPECT_EQ(second->baseName(), QStringLiteral("meeting-20260304-142501-2"));
    EXPECT_EQ(third->path(), AppPaths::recordings() + QStringLiteral("/meeting-20260304-142501-3.caf"));
    EXPECT_EQ(QFileInfo(path).size(), firstSize);

    QString error;
    const QString outside = root.base() + QStringLiteral("/elsewhere/meeting.caf");
    EXPECT_FALSE(AudioRecorder::create(outside, kStereo, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QDir(root.base() + QStringLiteral("/elsewhere")).exists());
}

}  // namespace
