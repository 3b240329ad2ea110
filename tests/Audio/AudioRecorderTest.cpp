#include "Audio/AudioRecorder.h"

#include "Common/DiskFault.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Storage/AppPaths.h"
#include "TestBuffers.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <thread>

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

// What a recording on a disk that fails holds, as report lines: the count it gave at close,
// the frames its file holds (and whether each is the one appended at that place), and the
// "write failed" lines it logged. Buffers of 4096 frames: `before` while the disk is fine,
// `during` once it has failed, `after` once space is back (then the recording is closed).
QStringList recordThroughAFault(DiskFault& disk, int before, int during, int after)
{
    AppPaths::overrideRoot(disk.folder());
    LogCapture log(QStringLiteral("app.parlivox.recorder"));
    QString error;
    const auto recorder =
        AudioRecorder::create(AppPaths::recordings() + QStringLiteral("/meeting.caf"), kStereo, &error);
    if (!recorder)
        return {error};
    std::int64_t position = 0;
    auto appendBuffers = [&](int count) {
        for (int n = 0; n < count; ++n, position += 4096)
            recorder->append(stereoBuffer(position));
    };
    auto failures = [&] { return log.messages().filter(QStringLiteral("write failed")); };
    auto losses = [&] { return log.messages().filter(QStringLiteral("not written")); };
    appendBuffers(before);
    if (!QTest::qWaitFor([&] { return recorder->samplesWritten() == before * 4096; }, 10000))
        return {QStringLiteral("the disk refused what it had room for")};
    disk.begin();
    appendBuffers(during);
    if (after > 0) {
        // Space returns only once the disk has refused a buffer.
        if (!QTest::qWaitFor([&] { return !failures().isEmpty(); }, 10000))
            return {QStringLiteral("no failed write was logged")};
        disk.end();
        appendBuffers(after);
    }
    const AudioRecorder::Totals totals = closeAndWait(*recorder);
    disk.end();
    SF_INFO info{};
    const std::vector<float> samples = readSoundFile(recorder->path(), info);
    // The frames kept, each matched against what was appended at its place in the sequence.
    std::int64_t matching = 0;
    for (std::int64_t f = 0; f < info.frames; ++f) {
        const std::int64_t appended = f < before * 4096 ? f : f + during * 4096;
        if (samples[std::size_t(f * 2)] == sampleAt(0, appended) &&
            samples[std::size_t(f * 2 + 1)] == sampleAt(1, appended))
            ++matching;
    }
    return {QStringLiteral("closed with %1 frames").arg(totals.samplesWritten),
            QStringLiteral("file holds %1 frames, %2 in place").arg(info.frames).arg(matching),
            failures().join(QLatin1Char('|')), losses().join(QLatin1Char('|'))};
}

TEST(AudioRecorder, ADiskThatFailsCountsOnlyWhatTheFileHoldsAndLogsTheCauseOnce)
{
    // The open recording keeps the disk from being remounted read-only: a full one and a file
    // size limit it is.
    const QList<DiskFault::Kind> faults = {DiskFault::Kind::fileSizeLimit, DiskFault::Kind::fullDisk};
    DiskFault::expectReports([](DiskFault& disk) { return recordThroughAFault(disk, 8, 6, 0); },
                             [](const QString& cause) {
                                 return QStringList{"closed with 32768 frames",
                                                    "file holds 32768 frames, 32768 in place", "write failed: " + cause,
                                                    "24576 frames (0.5 s) were not written"};
                             },
                             faults);
    // Once space is back the recording goes on, every frame in its place after the gap.
    DiskFault::expectReports([](DiskFault& disk) { return recordThroughAFault(disk, 8, 1, 3); },
                             [](const QString& cause) {
                                 return QStringList{"closed with 45056 frames",
                                                    "file holds 45056 frames, 45056 in place", "write failed: " + cause,
                                                    "4096 frames (0.1 s) were not written"};
                             },
                             faults);
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

// The child of the test below: records stereo buffers of 1024 frames to the file named by
// PARLIVOX_RECORDER_CHILD until it is killed, printing "<n>" once the n-th buffer's write has
// completed. It runs only when started by that test.
TEST(AudioRecorder, DISABLED_ChildRecordsUntilKilled)
{
    const QString path = qEnvironmentVariable("PARLIVOX_RECORDER_CHILD");
    ASSERT_FALSE(path.isEmpty());
    AppPaths::overrideRoot(qEnvironmentVariable("PARLIVOX_RECORDER_ROOT"));
    QString error;
    const auto recorder = AudioRecorder::create(path, kStereo, &error);
    ASSERT_TRUE(recorder) << error.toStdString();
    std::printf("recording %s\n", qPrintable(recorder->path()));
    std::fflush(stdout);
    for (std::int64_t n = 1;; ++n) {
        recorder->append(stereoBuffer((n - 1) * 1024, 1024));
        while (recorder->samplesWritten() < n * 1024)
            std::this_thread::yield();
        std::printf("%lld\n", static_cast<long long>(n));
        std::fflush(stdout);
    }
}

TEST(AudioRecorder, ARecordingKilledMidWriteOpensWithEveryBufferWrittenBeforeTheKill)
{
    const ScopedDataRoot root;
    QRandomGenerator random(26);
    for (int round = 0; round < 8; ++round) {
        const QString path = AppPaths::recordings() + QStringLiteral("/killed-%1.caf").arg(round);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PARLIVOX_RECORDER_CHILD"), path);
        environment.insert(QStringLiteral("PARLIVOX_RECORDER_ROOT"), root.path());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=AudioRecorder.DISABLED_ChildRecordsUntilKilled"),
                     QStringLiteral("--gtest_also_run_disabled_tests")});
        ASSERT_TRUE(child.waitForStarted());
        // Killed at a moment of its own, somewhere in the first 100 to 400 buffers.
        const int killAfter = 100 + int(random.bounded(300));
        QByteArray output;
        int reported = 0;
        while (reported < killAfter && child.waitForReadyRead(10000)) {
            output += child.readAllStandardOutput();
            const QList<QByteArray> lines = output.trimmed().split('\n');
            reported = output.endsWith('\n') ? lines.last().toInt() : lines.value(lines.size() - 2).toInt();
        }
        ASSERT_GE(reported, killAfter) << output.right(500).toStdString()
                                       << child.readAllStandardError().right(2000).toStdString();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));
        output += child.readAllStandardOutput();
        // The last buffer it reported complete; one more may have been written but not reported.
        const QList<QByteArray> lines = output.trimmed().split('\n');
        const qint64 last = (output.endsWith('\n') ? lines.last() : lines.value(lines.size() - 2)).toLongLong();

        SF_INFO info{};
        const std::vector<float> samples = readSoundFile(path, info);
        ASSERT_EQ(info.channels, 2) << "round " << round;
        EXPECT_EQ(info.frames % 1024, 0) << "round " << round << ": " << info.frames << " frames";
        EXPECT_GE(info.frames, last * 1024) << "round " << round;
        EXPECT_LE(info.frames, (last + 1) * 1024) << "round " << round;
        for (std::int64_t f = 0; f < info.frames; ++f)
            for (int c = 0; c < 2; ++c)
                ASSERT_EQ(samples[std::size_t(f * 2 + c)], sampleAt(c, f)) << "round " << round << ", frame " << f;
    }
}

}  // namespace
