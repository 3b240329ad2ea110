#include "TTS/TTSQueue.h"

#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/ScriptedSpeechPlayer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class TTSQueueTest : public ::testing::Test {
protected:
    TTSQueueTest()
    {
        queue.onStartedSentence = [this](const QString& sentence) { started.append(sentence); };
        queue.onFinishedAll = [this] { ++finishedAll; };
        queue.onCancelled = [this] { ++cancelled; };
    }

    // Each call as "locale: text".
    QStringList calls() const
    {
        QStringList texts;
        for (const auto& call : player.calls)
            texts.append(call.locale + QStringLiteral(": ") + call.text);
        return texts;
    }
    // Ends the current utterance and lets its completion arrive.
    void end()
    {
        player.finishCurrent();
        QCoreApplication::processEvents();
    }
    void fail()
    {
        player.failCurrent();
        QCoreApplication::processEvents();
    }

    ScriptedSpeechPlayer player;
    TTSQueue queue{player};
    QStringList started;
    int finishedAll = 0;
    int cancelled = 0;
};

}  // namespace

TEST_F(TTSQueueTest, SpeaksStrippedSentencesInOrderSkippingEmptyAndFailedOnes)
{
    LogCapture log(QStringLiteral("app.parlivox.tts.queue"));
    queue.enqueue(QStringList{QStringLiteral("**Hi** there."), QStringLiteral("```\n```"), QStringLiteral("Two.")});
    EXPECT_TRUE(queue.isSpeaking());
    queue.enqueue(QStringLiteral("Arrived while speaking."));  // joins the running drain
    EXPECT_EQ(calls().size(), 1);
    end();
    fail();
    end();

    EXPECT_EQ(calls(), (QStringList{QStringLiteral("ko-KR: Hi there."), QStringLiteral("ko-KR: Two."),
                                         QStringLiteral("ko-KR: Arrived while speaking.")}));
    EXPECT_EQ(started, (QStringList{QStringLiteral("Hi there."), QStringLiteral("Two."),
                                    QStringLiteral("Arrived while speaking.")}));
    EXPECT_EQ(finishedAll, 1);
    EXPECT_FALSE(queue.isSpeaking());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().front().type, QtCriticalMsg);
    EXPECT_EQ(log.lines().front().message,
              QStringLiteral("TTS sentence failed: Speech could not be played: no audio output device"));

    // Nothing left after stripping starts nothing.
    queue.enqueue(QStringList{QStringLiteral("```\n```"), QStringLiteral("  "), QString()});
    end();
    EXPECT_EQ(calls().size(), 3);
    EXPECT_EQ(finishedAll, 1);
}

TEST_F(TTSQueueTest, CancelStopsAtOnceAndTheOldDrainNeverDisturbsTheNextOne)
{
    LogCapture log(QStringLiteral("app.parlivox.tts.queue"));
    queue.enqueue(QStringList{QStringLiteral("One."), QStringLiteral("Two.")});
    queue.cancel();
    EXPECT_EQ(player.stops, 1);
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(queue.isSpeaking());
    EXPECT_EQ(queue.pendingCount(), 0);
    EXPECT_EQ(log.messages(), QStringList{QStringLiteral("TTS queue cancelled")});

    queue.enqueue(QStringLiteral("Resting now."));
    QCoreApplication::processEvents();  // the old sentence's completion arrives after the new drain began
    EXPECT_EQ(calls(), (QStringList{QStringLiteral("ko-KR: One."), QStringLiteral("ko-KR: Resting now.")}));
    EXPECT_TRUE(queue.isSpeaking());
    EXPECT_EQ(finishedAll, 0);
    end();
    EXPECT_EQ(finishedAll, 1);
    EXPECT_EQ(calls().size(), 2);

    // Cancelling from the started callback speaks nothing.
    queue.onStartedSentence = [this](const QString&) { queue.cancel(); };
    queue.enqueue(QStringLiteral("Never spoken."));
    end();
    EXPECT_EQ(calls().size(), 2);
    EXPECT_EQ(cancelled, 2);
    EXPECT_EQ(finishedAll, 1);
}

TEST_F(TTSQueueTest, ResetSetsTheLocaleFromTheNextSentenceAndForgetsPendingOnes)
{
    queue.enqueue(QStringList{QStringLiteral("Erste."), QStringLiteral("Zweite.")});
    queue.reset(QStringLiteral("en-US"));
    EXPECT_EQ(queue.pendingCount(), 0);
    EXPECT_EQ(player.stops, 0) << "the sentence being spoken goes on";
    queue.enqueue(QStringLiteral("Third."));
    end();
    end();
    EXPECT_EQ(calls(), (QStringList{QStringLiteral("ko-KR: Erste."), QStringLiteral("en-US: Third.")}));
    EXPECT_EQ(finishedAll, 1);
}
