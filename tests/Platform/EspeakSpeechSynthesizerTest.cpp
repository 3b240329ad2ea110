#include "Platform/EspeakSpeechSynthesizer.h"

#include "Common/QtPrinters.h"
#include "Common/WithoutLibrary.h"
#include "Platform/EspeakEngine.h"
#include "Speech/SystemSpeechPlayer.h"
#include "Support/QtScheduler.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// An output the test controls: it keeps what it is given, in order, and reports when told to.
struct ManualOutput final : AudioOutput {
    QStringList calls;  // "play", "append", "end", "stop"
    std::vector<AudioBufferPtr> blocks;  // of the stream playing now
    std::function<void()> whenPlayed;
    std::function<void()> whenEnded;
    void play(AudioBufferPtr audio) override
    {
        calls.append(QStringLiteral("play"));
        blocks = {std::move(audio)};
        if (whenPlayed)
            whenPlayed();
    }
    void append(AudioBufferPtr audio) override
    {
        calls.append(QStringLiteral("append"));
        blocks.push_back(std::move(audio));
    }
    void endStream() override
    {
        calls.append(QStringLiteral("end"));
        if (whenEnded)
            whenEnded();
    }
    void stop() override
    {
        calls.append(QStringLiteral("stop"));
        blocks.clear();
    }
    double seconds() const
    {
        double total = 0;
        for (const AudioBufferPtr& block : blocks)
            total += block->durationSeconds();
        return total;
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

    bool waitFor(const char* call)
    {
        return QTest::qWaitFor([&] { return output->calls.contains(QString::fromLatin1(call)); }, 5000);
    }

    ManualOutput* output = nullptr;
    std::unique_ptr<EspeakSpeechSynthesizer> synth;
    QStringList reports;
};

}  // namespace

TEST_F(EspeakSpeechSynthesizerTest, PlaysFromTheFirstPieceWhileTheRestIsStillComing)
{
    synth->speak(utterance(1, "안녕하세요, 반갑습니다.", "ko+f3"));
    EXPECT_TRUE(synth->isSpeaking());
    EXPECT_TRUE(output->calls.isEmpty()) << "rendering never blocks speak()";
    ASSERT_TRUE(waitFor("end"));
    EXPECT_EQ(output->calls.first(), QStringLiteral("play"));
    EXPECT_GT(output->calls.count(QStringLiteral("append")), 1);
    EXPECT_EQ(output->calls.last(), QStringLiteral("end")) << "the end is announced after the last piece";
    EXPECT_GT(output->seconds(), 1.0);

    output->onStarted();
    output->onFinished();
    EXPECT_FALSE(synth->isSpeaking());
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, (QStringList{QStringLiteral("started 1"), QStringLiteral("finished 1")}));
}

TEST_F(EspeakSpeechSynthesizerTest, StopInMidSentenceLetsNoFurtherPieceThrough)
{
    synth->speak(utterance(
        1, "This rather long sentence is stopped while it plays, and no more of it reaches the output.", "gmw/en-US"));
    // Stopped as the first piece plays, while the next ones are rendered or already on their way.
    output->whenPlayed = [this] {
        output->onStarted();
        synth->stop();
    };
    ASSERT_TRUE(waitFor("play"));
    EspeakEngine::shared().waitForRenders();
    QCoreApplication::processEvents();
    EXPECT_EQ(output->calls, (QStringList{QStringLiteral("play"), QStringLiteral("stop")}));
    EXPECT_EQ(reports, (QStringList{QStringLiteral("started 1"), QStringLiteral("cancelled 1")}));
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
    EXPECT_EQ(output->calls, QStringList{QStringLiteral("stop")}) << "nothing of it played";
}

TEST_F(EspeakSpeechSynthesizerTest, ANewUtteranceCutsTheOldOneOff)
{
    synth->speak(utterance(1, "First.", "gmw/en-US"));
    ASSERT_TRUE(waitFor("play"));
    output->onStarted();
    synth->speak(utterance(2, "Second.", "gmw/en-US"));
    EXPECT_EQ(output->calls.count(QStringLiteral("stop")), 1);
    output->calls.clear();
    ASSERT_TRUE(waitFor("end"));
    EXPECT_EQ(output->calls.first(), QStringLiteral("play")) << "nothing of the first one after the cut";
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, (QStringList{QStringLiteral("started 1"), QStringLiteral("cancelled 1")}));
    EXPECT_TRUE(synth->isSpeaking());
}

TEST_F(EspeakSpeechSynthesizerTest, OutputAndRenderingFailuresEndTheUtteranceWithTheReason)
{
    synth->speak(utterance(1, "Hello there.", "gmw/en-US"));
    ASSERT_TRUE(waitFor("play"));
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

// Without the library nothing is spoken, and each utterance ends with the reason.
TEST_F(EspeakSpeechSynthesizerTest, WithoutEspeakNgEveryUtteranceFailsWithTheReason)
{
    if (!withoutLibrary(QStringLiteral("libespeak-ng.so.1")))
        return;
    EXPECT_TRUE(EspeakEngine::shared().voices().isEmpty());
    SpeechVoice voice;
    voice.identifier = QStringLiteral("gmw/en-US");
    synth->speak({1, QStringLiteral("Hello there."), voice, 0.05, 0.05});
    EXPECT_TRUE(QTest::qWaitFor([this] { return !reports.isEmpty(); }, 5000));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(
        reports.first().startsWith(QStringLiteral("failed 1: no speech voices: libespeak-ng.so.1 cannot be loaded: ")))
        << reports.first().toStdString();
    EXPECT_FALSE(output->calls.contains(QStringLiteral("play"))) << output->calls.join(u' ').toStdString();
    EXPECT_FALSE(synth->isSpeaking());
}

TEST(EspeakSpeechPath, DiagnosticsKeepTheirOrderWhileThePiecesStream)
{
    struct Case {
        bool stopOnceStarted;
        QStringList expected;  // the start of each line
    };
    const Case cases[] = {
        {false,
         {QStringLiteral("queued 31 chars"), QStringLiteral("started 31 chars"), QStringLiteral("finished 31 chars")}},
        {true,
         {QStringLiteral("queued 31 chars"), QStringLiteral("started 31 chars"), QStringLiteral("cancelled 31 chars")}},
    };
    for (const Case& c : cases) {
        QtScheduler scheduler;
        auto manual = std::make_unique<ManualOutput>();
        ManualOutput* output = manual.get();
        SystemSpeechPlayer player(std::make_unique<EspeakSpeechSynthesizer>(std::move(manual)), scheduler);
        QStringList diags;
        player.onDiagnostic = [&](const SpeechDiag& diag) { diags.append(diag.summary()); };
        // Reports come later from the event loop, as a real output's do.
        const auto later = [](std::function<void()> report) {
            QMetaObject::invokeMethod(qApp, std::move(report), Qt::QueuedConnection);
        };
        output->whenPlayed = [&] {
            later([&] {
                output->onStarted();
                if (c.stopOnceStarted)
                    player.stop();
            });
        };
        output->whenEnded = [&] { later([&] { output->onFinished(); }); };
        bool done = false;
        player.speak(QStringLiteral("Hello there, how are you today?"), QStringLiteral("en-US"),
                     [&](const auto&) { done = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return done && diags.size() == 3; }, 5000)) << diags.join(u'|').toStdString();
        for (qsizetype i = 0; i < c.expected.size(); ++i)
            EXPECT_TRUE(diags[i].startsWith(c.expected[i])) << diags.join(u'|').toStdString();
        EspeakEngine::shared().waitForRenders();
    }
}
