#include "STT/SystemStreamingRecognizer.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Common/WithoutLibrary.h"
#include "FakeSpeechDecoder.h"
#include "RecognizerTesting.h"

#include <QTest>

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using Step = FakeSpeechDecoder::Step;

namespace {

AudioBufferPtr monoBuffer(int frames = 1600, AudioFormat format = {16000, 1}, float value = 0.1f)
{
    return std::make_shared<const AudioBuffer>(format, std::vector<float>(std::size_t(frames * format.channels), value),
                                               0, std::chrono::steady_clock::now());
}

class SystemStreamingRecognizerTest : public ::testing::Test {
protected:
    SystemStreamingRecognizerTest() : recognizer(scheduler, FakeSpeechDecoder::engine(script))
    {
        recognizer.onTranscript = [this](const QString& text) { transcripts.append(text); };
        recognizer.onError = [this](const QString& error) { errors.append(error); };
        recognizer.onDiagnostic = [this](const QString& line) { diagnostics.append(line); };
    }

    std::optional<QString> start(const QString& locale = QStringLiteral("en-US"))
    {
        return startAndWait(recognizer, locale, {48000, 2});
    }

    // Feeds one buffer per step and waits until every step's results have been delivered.
    void play(std::initializer_list<Step> steps, int expectedTranscripts)
    {
        script->add(steps);
        for (std::size_t i = 0; i < steps.size(); ++i)
            recognizer.feed(monoBuffer());
        EXPECT_TRUE(QTest::qWaitFor([&] { return transcripts.size() >= expectedTranscripts; }, 5000));
    }

    qsizetype countLines(const QString& prefix) const
    {
        return std::count_if(diagnostics.begin(), diagnostics.end(),
                             [&](const QString& line) { return line.startsWith(prefix); });
    }

    FakeScheduler scheduler;
    std::shared_ptr<FakeSpeechDecoder::Script> script = std::make_shared<FakeSpeechDecoder::Script>();
    SystemStreamingRecognizer recognizer;
    QStringList transcripts;
    QStringList errors;
    QStringList diagnostics;
};

TEST_F(SystemStreamingRecognizerTest, StartFailuresNameTheLocaleAndTheInstalledOnes)
{
    EXPECT_EQ(start(QStringLiteral("ko-KR")),
              QStringLiteral("Speech recognizer unavailable for locale ko-KR (installed: en-US)"));
    script->loadError = QStringLiteral("model files for en-US are missing");
    EXPECT_EQ(start(),
              QStringLiteral(
                  "Speech recognizer could not load the model for locale en-US: model files for en-US are missing"));
    recognizer.feed(monoBuffer());  // ignored: nothing is running
    script->loadError.clear();
    EXPECT_EQ(start(QStringLiteral("en_us")), std::nullopt);
    EXPECT_THAT(diagnostics,
                ElementsAre(QStringLiteral("spawnTask: locale=en_us supportsOnDevice=true defaultTaskHint")));
}

TEST_F(SystemStreamingRecognizerTest, DeliversTheWholeTranscriptAcrossSegmentsEachANewGeneration)
{
    ASSERT_EQ(start(), std::nullopt);
    play({{true, QStringLiteral("turn on")},
          {true, QStringLiteral("turn on the")},
          {false, QStringLiteral("turn on the")},
          {true, QStringLiteral("the lights")},
          {true, QStringLiteral("the lights please")}},
         5);
    EXPECT_THAT(transcripts,
                ElementsAre(QStringLiteral("turn on"), QStringLiteral("turn on the"), QStringLiteral("turn on the"),
                            QStringLiteral("turn on the lights"), QStringLiteral("turn on the lights please")));
    EXPECT_EQ(countLines(QStringLiteral("spawnTask:")), 2);  // the start and the end of the first segment
    EXPECT_EQ(diagnostics.last(), QStringLiteral("calling onTranscript with 'turn on the lights please' (25 chars)"));

    play({{false, QStringLiteral("please")}, {true, QStringLiteral("and")}}, 7);
    recognizer.resetTranscriptState();
    play({{true, QStringLiteral("again")}}, 8);
    QStringList generations;
    for (const QString& line : diagnostics.filter(QStringLiteral("task cb gen=")))
        generations << line.section(u':', 0, 0).mid(12);
    EXPECT_EQ(generations.join(u' '), QStringLiteral("1 1 1 2 2 2 3 4"));
}

// The turn detector waits for a final text only while one is to come: from the first words of
// an utterance to its final text (even an empty one), and never after a reset.
TEST_F(SystemStreamingRecognizerTest, SaysWhetherItIsStillFinishingAnUtterance)
{
    QList<bool> finishing;
    recognizer.onTranscript = [&](const QString& text) {
        transcripts.append(text);
        finishing.append(recognizer.isFinishingUtterance());
    };
    ASSERT_EQ(start(), std::nullopt);
    EXPECT_FALSE(recognizer.isFinishingUtterance());
    play({{true, QStringLiteral("turn on")}, {true, QStringLiteral("turn on the")}, {false, QStringLiteral("turn on the")}},
         3);
    EXPECT_EQ(finishing, (QList<bool>{true, true, false}));
    play({{true, QStringLiteral("lights")}}, 4);
    EXPECT_TRUE(recognizer.isFinishingUtterance());
    script->add({{false, QString()}});
    recognizer.feed(monoBuffer());
    ASSERT_TRUE(script->waitProcessed(5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !recognizer.isFinishingUtterance(); }, 5000));
    play({{true, QStringLiteral("again")}}, 5);
    recognizer.resetTranscriptState();
    EXPECT_FALSE(recognizer.isFinishingUtterance());
}

// A minutes line ends where its speaker stops: the transcript starts afresh for the next voice,
// while the utterance still being finished is decoded to its end and completes the transcript
// set aside. Without an utterance being finished, the reset is a plain one.
TEST_F(SystemStreamingRecognizerTest, AResetKeepingTheFinalLetsTheLastUtteranceCompleteTheTranscriptSetAside)
{
    QStringList late;
    recognizer.onLateFinal = [&](const QString& text) { late.append(text); };
    ASSERT_EQ(start(), std::nullopt);
    play({{true, QStringLiteral("turn on")}, {false, QStringLiteral("turn on the")}}, 2);
    recognizer.resetTranscriptKeepingFinal();
    play({{true, QStringLiteral("the lights")},
          {false, QStringLiteral("the lights")},
          {true, QStringLiteral("please")}},
         5);
    recognizer.resetTranscriptKeepingFinal();
    script->add({{true, QStringLiteral("please now")}, {false, QStringLiteral("please now")}});
    recognizer.feed(monoBuffer());
    recognizer.feed(monoBuffer());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !late.isEmpty(); }, 5000));
    play({{true, QStringLiteral("again")}}, 6);
    EXPECT_THAT(transcripts, ElementsAre("turn on", "turn on the", "the lights", "the lights", "the lights please", "again"));
    EXPECT_THAT(late, ElementsAre("the lights please now"));
}

// Without the resampler a 48 kHz microphone cannot reach the decoder: the user is told once
// why recognition hears nothing, not a warning for every buffer.
TEST_F(SystemStreamingRecognizerTest, AMicrophoneItCannotResampleIsAnErrorSaidOnce)
{
    if (!withoutLibrary(QStringLiteral("libsoxr.so.0")))
        return;
    ASSERT_EQ(start(), std::nullopt);
    script->add({{true, QStringLiteral("never heard")}, {true, QStringLiteral("never heard")},
                 {true, QStringLiteral("never heard")}});
    for (int i = 0; i < 3; ++i)
        recognizer.feed(monoBuffer(4800, {48000, 2}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 5000));
    recognizer.feed(monoBuffer(4800, {48000, 2}));
    QTest::qWait(100);
    ASSERT_EQ(errors.size(), 1) << errors.join(u'\n').toStdString();
    EXPECT_TRUE(errors.first().startsWith(QStringLiteral(
        "Speech recognition failed: No audio converter between these formats: libsoxr.so.0 cannot be loaded: ")))
        << errors.first().toStdString();
    EXPECT_TRUE(transcripts.isEmpty());
}

TEST_F(SystemStreamingRecognizerTest, ASegmentEndingWithoutTextKeepsWhatItShowed)
{
    ASSERT_EQ(start(), std::nullopt);
    play({{true, QStringLiteral("go forward")}, {false, QString()}, {true, QStringLiteral("ten")}}, 2);
    EXPECT_THAT(transcripts, ElementsAre(QStringLiteral("go forward"), QStringLiteral("go forward ten")));
}

TEST_F(SystemStreamingRecognizerTest, ResetDropsResultsAlreadyInFlightAndStartsEmpty)
{
    ASSERT_EQ(start(), std::nullopt);
    play({{true, QStringLiteral("hello")}, {false, QStringLiteral("hello")}}, 2);
    script->add({{true, QStringLiteral("stale words")}});
    recognizer.feed(monoBuffer());
    ASSERT_TRUE(script->waitProcessed(3));
    recognizer.resetTranscriptState();
    play({{true, QStringLiteral("fresh")}}, 3);
    EXPECT_EQ(transcripts.last(), QStringLiteral("fresh"));
    EXPECT_EQ(transcripts.size(), 3);
    EXPECT_TRUE(diagnostics.contains(QStringLiteral("ignored stale callback (gen=2 cur=3)")));
}

TEST_F(SystemStreamingRecognizerTest, ThreeFailuresInARowReachOnErrorOnceAndRecognizedTextClearsTheCount)
{
    ASSERT_EQ(start(), std::nullopt);
    // Each failure restarts decoding after the back-off of its place in the row.
    const auto fail = [&](int inARow) {
        script->add({{false, QString(), true}});
        const qsizetype linesBefore = countLines(QStringLiteral("task cb"));
        recognizer.feed(monoBuffer());
        ASSERT_TRUE(QTest::qWaitFor([&] { return countLines(QStringLiteral("task cb")) == linesBefore + 1; }, 5000));
        const int startedBefore = script->started();
        scheduler.advance(SystemStreamingRecognizer::retryDelay(inARow) - std::chrono::milliseconds(1));
        QCoreApplication::processEvents();
        EXPECT_EQ(script->started(), startedBefore) << "restarted before its back-off";
        scheduler.advance(std::chrono::milliseconds(1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return script->started() == startedBefore + 1; }, 5000));
    };
    const QString error = QStringLiteral("Speech recognition failed: decoder broke");
    const struct {
        int inARow;
        int errors;
    } rows[] = {{1, 0}, {2, 0}, {3, 1}, {4, 1}, {0, 1}, {1, 1}, {2, 1}, {3, 2}};
    for (const auto& row : rows) {
        if (row.inARow == 0) {
            play({{true, QStringLiteral("back again")}}, 1);  // recognized text ends the row
        } else {
            fail(row.inARow);
        }
        EXPECT_EQ(errors, QStringList(row.errors, error)) << row.inARow;
    }
}

TEST_F(SystemStreamingRecognizerTest, RetryDelayDoublesUpToFiveSeconds)
{
    using std::chrono::milliseconds;
    const std::vector<std::pair<int, milliseconds>> table{{1, milliseconds(250)},  {2, milliseconds(500)},
                                                          {3, milliseconds(1000)}, {5, milliseconds(4000)},
                                                          {6, milliseconds(5000)}, {40, milliseconds(5000)}};
    for (const auto& [failures, delay] : table)
        EXPECT_EQ(SystemStreamingRecognizer::retryDelay(failures), delay) << failures;
}

TEST_F(SystemStreamingRecognizerTest, ResultsAfterStopReachNoCallback)
{
    ASSERT_EQ(start(), std::nullopt);
    script->add({{true, QStringLiteral("too late")}});
    recognizer.feed(monoBuffer());
    ASSERT_TRUE(script->waitProcessed(1));
    bool stopped = false;
    recognizer.stop([&] { stopped = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return stopped; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(transcripts.isEmpty());
    recognizer.resetTranscriptState();  // harmless after stop
    recognizer.feed(monoBuffer());
}

TEST_F(SystemStreamingRecognizerTest, DownmixIsConfiguredOncePerInputFormat)
{
    ASSERT_EQ(start(), std::nullopt);
    for (const AudioFormat format : {AudioFormat{48000, 2}, AudioFormat{48000, 2}, AudioFormat{44100, 2},
                                     AudioFormat{44100, 4}, AudioFormat{44100, 1}})
        recognizer.feed(monoBuffer(4096, format));
    EXPECT_THAT(diagnostics.mid(1), ElementsAre(QStringLiteral("downmix configured: 2 ch @ 48000 Hz → 1 ch"),
                                                QStringLiteral("downmix configured: 2 ch @ 44100 Hz → 1 ch"),
                                                QStringLiteral("downmix configured: 4 ch @ 44100 Hz → 1 ch")));
}

TEST_F(SystemStreamingRecognizerTest, ABacklogKeepsExactlyTwentySecondsDroppingTheOldestAudio)
{
    ASSERT_EQ(start(), std::nullopt);
    const auto buffer = [](int n) { return monoBuffer(1600, {16000, 1}, float(n) / 1000); };  // 100 ms each
    script->setHeld(true);
    recognizer.feed(buffer(0));
    ASSERT_TRUE(script->waitEntered(1));  // the decoder is stuck on the first buffer
    for (int n = 1; n < 250; ++n)
        recognizer.feed(buffer(n));
    EXPECT_EQ(countLines(QStringLiteral("decoder backlog full: dropped 1 oldest buffer(s)")), 49);
    script->setHeld(false);
    ASSERT_TRUE(script->waitProcessed(201));

    std::vector<std::int16_t> expected{BufferConverter::toInt16(*buffer(0)).front()};
    for (int n = 50; n < 250; ++n)
        expected.push_back(BufferConverter::toInt16(*buffer(n)).front());
    std::lock_guard lock(script->mutex);
    EXPECT_EQ(script->firstSamples, expected);
}

}  // namespace
