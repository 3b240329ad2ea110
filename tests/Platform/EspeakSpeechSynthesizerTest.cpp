#include "Platform/EspeakSpeechSynthesizer.h"

#include "Common/QtPrinters.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// An output the test controls: it keeps what it is given and reports when told to.
struct ManualOutput final : AudioOutput {
    AudioBufferPtr playing;
    int plays = 0;
    int stops = 0;
    void play(AudioBufferPtr audio) override
    {
        ++plays;
        playing = std::move(audio);
    }
    void stop() override
    {
        ++stops;
        playing.reset();
    }
};

class EspeakSpeechSynthesizerTest : public ::testing::Test {
protected:
    EspeakSpeechSynthesizerTest()
    {
        auto manual = std::make_unique<ManualOutput>();
        output = manual.get();
        synth = std::make_unique<EspeakSpeechSynthesizer>(std::move(manual));
        synth->onStarted = [this](const SpeechUtterance& u) { reports.append(QStringLiteral("started %1").arg(u.id)); };
        synth->onFinished = [this](const SpeechUtterance& u) {
            reports.append(QStringLiteral("finished %1").arg(u.id));
        };
        synth->onCancelled = [this](const SpeechUtterance& u) {
            reports.append(QStringLiteral("cancelled %1").arg(u.id));
        };
        synth->onFailed = [this](const SpeechUtterance& u, const QString& reason) {
            reports.append(QStringLiteral("failed %1: %2").arg(u.id).arg(reason));
        };
    }

    SpeechUtterance utterance(quint64 id, const char* text, const char* voiceID)
    {
        const QString identifier = QString::fromUtf8(voiceID);
        for (const SpeechVoice& voice : synth->voices())
            if (voice.identifier == identifier)
                return {id, QString::fromUtf8(text), voice, 0.05, 0.05};
        ADD_FAILURE() << "no voice " << voiceID;
        return {};
    }

    bool waitForPlay()
    {
        return QTest::qWaitFor([this] { return output->playing != nullptr; }, 5000);
    }

    ManualOutput* output = nullptr;
    std::unique_ptr<EspeakSpeechSynthesizer> synth;
    QStringList reports;
};

}  // namespace

TEST_F(EspeakSpeechSynthesizerTest, RendersOffTheGuiThreadThenPlaysAndReports)
{
    synth->speak(utterance(1, "안녕하세요, 반갑습니다.", "ko+f3"));
    EXPECT_TRUE(synth->isSpeaking());
    EXPECT_EQ(output->plays, 0) << "rendering never blocks speak()";
    ASSERT_TRUE(waitForPlay());
    EXPECT_GT(output->playing->durationSeconds(), 1.0);

    output->onStarted();
    output->onFinished();
    EXPECT_FALSE(synth->isSpeaking());
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, (QStringList{QStringLiteral("started 1"), QStringLiteral("finished 1")}));
}

TEST_F(EspeakSpeechSynthesizerTest, StopWhileRenderingCancelsAndNeverPlaysTheStaleAudio)
{
    synth->speak(utterance(1, "This sentence is stopped before it is heard.", "gmw/en-US"));
    synth->stop();
    EXPECT_TRUE(reports.isEmpty()) << "never from inside stop()";
    EXPECT_FALSE(synth->isSpeaking());
    EspeakEngine::shared().waitForRenders();
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, QStringList{QStringLiteral("cancelled 1")});
    EXPECT_EQ(output->plays, 0);
}

TEST_F(EspeakSpeechSynthesizerTest, ANewUtteranceCutsTheOldOneOff)
{
    synth->speak(utterance(1, "First.", "gmw/en-US"));
    ASSERT_TRUE(waitForPlay());
    output->onStarted();
    synth->speak(utterance(2, "Second.", "gmw/en-US"));
    EXPECT_EQ(output->stops, 1);
    output->playing.reset();
    ASSERT_TRUE(waitForPlay());
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, (QStringList{QStringLiteral("started 1"), QStringLiteral("cancelled 1")}));
    EXPECT_TRUE(synth->isSpeaking());
}

TEST_F(EspeakSpeechSynthesizerTest, OutputAndRenderingFailuresEndTheUtteranceWithTheReason)
{
    synth->speak(utterance(1, "Hello there.", "gmw/en-US"));
    ASSERT_TRUE(waitForPlay());
    output->onFailed(QStringLiteral("no audio output device"));
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, QStringList{QStringLiteral("failed 1: no audio output device")});
    EXPECT_FALSE(synth->isSpeaking());

    reports.clear();
    SpeechUtterance unknown = utterance(2, "Hello there.", "gmw/en-US");
    unknown.voice.identifier = QStringLiteral("not-a-voice");
    synth->speak(unknown);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !reports.isEmpty(); }, 5000));
    EXPECT_EQ(reports, QStringList{QStringLiteral("failed 2: the voice 'not-a-voice' is not installed")});
}
