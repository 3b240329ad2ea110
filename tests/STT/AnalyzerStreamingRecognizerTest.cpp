#include "STT/AnalyzerStreamingRecognizer.h"
#include "Common/QtPrinters.h"
#include "FakeSpeechDecoder.h"
#include "RecognizerTesting.h"

#include <QTest>

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

AudioBufferPtr silence()
{
    return std::make_shared<const AudioBuffer>(AudioFormat{16000, 1}, std::vector<float>(1600, 0.0f), 0,
                                               std::chrono::steady_clock::now());
}

class AnalyzerStreamingRecognizerTest : public ::testing::Test {
protected:
    AnalyzerStreamingRecognizerTest() : recognizer(FakeSpeechDecoder::engine(script))
    {
        recognizer.onTranscript = [this](const QString& text) { transcripts.append(text); };
        recognizer.onError = [this](const QString& error) { errors.append(error); };
    }

    std::optional<QString> start(const QString& locale) { return startAndWait(recognizer, locale, {44100, 1}); }

    void play(std::initializer_list<FakeSpeechDecoder::Step> steps)
    {
        script->add(steps);
        const qsizetype before = transcripts.size();
        for (std::size_t i = 0; i < steps.size(); ++i)
            recognizer.feed(silence());
        EXPECT_TRUE(QTest::qWaitFor([&] { return transcripts.size() >= before + qsizetype(steps.size()); }, 5000));
    }

    std::shared_ptr<FakeSpeechDecoder::Script> script = std::make_shared<FakeSpeechDecoder::Script>();
    AnalyzerStreamingRecognizer recognizer;
    QStringList transcripts;
    QStringList errors;
};

TEST_F(AnalyzerStreamingRecognizerTest, ShowsFinishedTextFollowedByTheVolatilePhrase)
{
    ASSERT_EQ(start(QStringLiteral("en-US")), std::nullopt);
    play({{true, QStringLiteral("good")},
          {true, QStringLiteral("good morn")},
          {false, QStringLiteral("good morning")},
          {true, QStringLiteral("how")}});
    EXPECT_THAT(transcripts, ElementsAre(QStringLiteral("good"), QStringLiteral("good morn"),
                                         QStringLiteral("good morning"), QStringLiteral("good morning how")));
}

TEST_F(AnalyzerStreamingRecognizerTest, AResetStartsTheNextTranscriptEmpty)
{
    ASSERT_EQ(start(QStringLiteral("en-US")), std::nullopt);
    play({{true, QStringLiteral("old")}, {false, QStringLiteral("old words")}, {true, QStringLiteral("half a")}});
    recognizer.resetTranscriptState();
    play({{true, QStringLiteral("new")}});
    EXPECT_EQ(transcripts.last(), QStringLiteral("new"));
}

TEST_F(AnalyzerStreamingRecognizerTest, UnsupportedLocaleAndStreamFailure)
{
    EXPECT_EQ(start(QStringLiteral("ko-KR")),
              QStringLiteral("Locale ko-KR not supported by the speech transcriber (installed: en-US)."));
    ASSERT_EQ(start(QStringLiteral("en-US")), std::nullopt);
    script->add({{false, QString(), true}, {true, QStringLiteral("after failure")}});
    recognizer.feed(silence());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 5000));
    EXPECT_THAT(errors, ElementsAre(QStringLiteral("decoder broke")));
    // Deliveries end until the next start: later audio and resets are ignored.
    recognizer.resetTranscriptState();
    recognizer.feed(silence());
    QCoreApplication::processEvents();
    EXPECT_TRUE(transcripts.isEmpty());
    std::lock_guard lock(script->mutex);
    EXPECT_EQ(script->processed, 1);
}

}  // namespace
