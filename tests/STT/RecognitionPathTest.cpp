// Real sound through the whole listening path: a file instead of the microphone, the capture
// stream, the subscriber channel, conversion and the pocketsphinx recognizer.
#include "Audio/AudioInputStream.h"
#include "Audio/AudioSubscription.h"
#include "Audio/FileCaptureBackend.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Common/SpeechWav.h"
#include "Platform/PocketsphinxDecoder.h"
#include "RecognizerTesting.h"
#include "STT/SystemStreamingRecognizer.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RecognitionPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recognizer.onTranscript = [this](const QString& text) { transcripts.append(text); };
        const std::optional<QString> error = startAndWait(recognizer, QStringLiteral("en-US"), {48000, 2});
        ASSERT_EQ(error, std::nullopt) << error->toStdString();
    }

    // The recording "go forward ten meters", as a 48 kHz stereo microphone would give it,
    // with a second of silence after it.
    QString recordingAt48kStereo()
    {
        const QString path = dir.filePath(QStringLiteral("goforward-48k.wav"));
        EXPECT_TRUE(SpeechWav::goForward(path, 48000, 2));
        return path;
    }

    // Plays the file through capture into the recognizer until `heard` holds.
    bool listen(const QString& file, const std::function<bool()>& heard)
    {
        AudioInputStream stream(
            std::make_unique<FileCaptureBackend>(file, FileCaptureBackend::Pacing::asFastAsPossible));
        AudioSubscription subscription(stream.subscribe(),
                                       [this](const AudioBufferPtr& buffer) { recognizer.feed(buffer); });
        bool started = false;
        stream.start(QString(), [&](std::optional<AudioInputError> error) {
            EXPECT_EQ(error, std::nullopt);
            started = true;
        });
        const bool result = QTest::qWaitFor([&] { return started && heard(); }, 30000);
        stream.stop();
        return result;
    }

    bool lastContains(const char* word) const
    {
        return !transcripts.isEmpty() && transcripts.last().split(QLatin1Char(' ')).contains(QLatin1String(word));
    }

    QTemporaryDir dir;
    FakeScheduler scheduler;
    SystemStreamingRecognizer recognizer{scheduler, PocketsphinxDecoder::installedEngine()};
    QStringList transcripts;
};

TEST_F(RecognitionPathTest, RecordedSpeechIsTranscribedAsItIsSpoken)
{
    ASSERT_TRUE(listen(recordingAt48kStereo(), [&] { return lastContains("forward") && lastContains("meters"); }))
        << transcripts.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(lastContains("go"));
    // Partial deliveries come while the words are spoken, and grow towards the whole phrase.
    ASSERT_GE(transcripts.size(), 3);
    EXPECT_LT(transcripts.first().size(), transcripts.last().size());
}

TEST_F(RecognitionPathTest, AfterAResetTheTranscriptStartsEmpty)
{
    ASSERT_TRUE(listen(recordingAt48kStereo(), [&] { return lastContains("forward"); }));
    recognizer.resetTranscriptState();
    const qsizetype before = transcripts.size();

    const QString speech = dir.filePath(QStringLiteral("question.wav"));
    QString error;
    ASSERT_TRUE(SpeechWav::render(QStringLiteral("what is the weather today"), speech, &error,
                                  {QStringLiteral("en-us+m3"), 160, false}))
        << error.toStdString();
    // Synthetic speech is recognized loosely: listen for the first word.
    ASSERT_TRUE(listen(speech, [&] { return transcripts.size() > before && lastContains("what"); }))
        << transcripts.mid(before).join(QStringLiteral(" | ")).toStdString();
    for (const QString& text : transcripts.mid(before))
        EXPECT_FALSE(text.contains(QStringLiteral("forward"))) << text.toStdString();
}

TEST(RecognitionPath, ALocaleWithoutAModelIsRefusedByName)
{
    FakeScheduler scheduler;
    SystemStreamingRecognizer recognizer(scheduler, PocketsphinxDecoder::installedEngine());
    EXPECT_EQ(startAndWait(recognizer, QStringLiteral("ko-KR"), {48000, 1}),
              QStringLiteral("Speech recognizer unavailable for locale ko-KR (installed: en-US)"));
}

}  // namespace
