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

    static void settle() { QCoreApplication::processEvents(); }
    QStringList spokenTexts() const
    {
        QStringList texts;
        for (const auto& call : player.calls)
            texts.append(call.text);
        return texts;
    }

    ScriptedSpeechPlayer player;
    TTSQueue queue{player};
    QStringList started;
    int finishedAll = 0;
    int cancelled = 0;
};

}  // namespace

TEST_F(TTSQueueTest, SpeaksStrippedSentencesInOrderAndSkipsEmptyOnes)
{
    queue.enqueue(QStringList{QStringLiteral("**Hi** there, friend."), QStringLiteral("```\n```"),
                              QStringLiteral("Second one.")});
    EXPECT_TRUE(queue.isSpeaking());
    queue.enqueue(QStringLiteral("Arrived while speaking."));  // joins the running drain
    EXPECT_EQ(player.calls.size(), 1u);
    for (int i = 0; i < 3; ++i) {
        player.finishCurrent();
        settle();
    }

    EXPECT_EQ(spokenTexts(), (QStringList{QStringLiteral("Hi there, friend."), QStringLiteral("Second one."),
                                          QStringLiteral("Arrived while speaking.")}));
    EXPECT_EQ(started, spokenTexts());
    EXPECT_EQ(player.calls.front().locale, QStringLiteral("ko-KR"));
    EXPECT_EQ(finishedAll, 1);
    EXPECT_FALSE(queue.isSpeaking());
}

TEST_F(TTSQueueTest, NothingLeftAfterStrippingStartsNothing)
{
    queue.enqueue(QStringLiteral("```\n```"));
    queue.enqueue(QStringList{QStringLiteral("  "), QString()});
    settle();
    EXPECT_TRUE(player.calls.empty());
    EXPECT_EQ(finishedAll, 0);
    EXPECT_FALSE(queue.isSpeaking());
}

TEST_F(TTSQueueTest, AFailedSentenceIsLoggedAndSkipped)
{
    LogCapture log(QStringLiteral("app.parlivox.tts.queue"));
    queue.enqueue(QStringList{QStringLiteral("One."), QStringLiteral("Two."), QStringLiteral("Three.")});
    player.finishCurrent();
    settle();
    player.failCurrent();
    settle();
    player.finishCurrent();
    settle();

    EXPECT_EQ(spokenTexts(), (QStringList{QStringLiteral("One."), QStringLiteral("Two."), QStringLiteral("Three.")}));
    EXPECT_EQ(finishedAll, 1);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().front().type, QtCriticalMsg);
    EXPECT_EQ(log.lines().front().message,
              QStringLiteral("TTS sentence failed: Speech could not be played: no audio output device"));
}

TEST_F(TTSQueueTest, CancelStopsThePlayerAndDropsTheRest)
{
    LogCapture log(QStringLiteral("app.parlivox.tts.queue"));
    queue.enqueue(QStringList{QStringLiteral("One."), QStringLiteral("Two."), QStringLiteral("Three.")});
    queue.cancel();
    settle();

    EXPECT_EQ(spokenTexts(), QStringList{QStringLiteral("One.")});
    EXPECT_EQ(player.stops, 1);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(finishedAll, 0);
    EXPECT_FALSE(queue.isSpeaking());
    EXPECT_EQ(queue.pendingCount(), 0);
    EXPECT_EQ(log.messages(), QStringList{QStringLiteral("TTS queue cancelled")});

    queue.cancel();  // idle: the same, harmlessly
    EXPECT_EQ(cancelled, 2);
}

TEST_F(TTSQueueTest, CancelThenEnqueueSpeaksTheNewSentenceUndisturbedByTheOldDrain)
{
    queue.enqueue(QStringList{QStringLiteral("Long answer."), QStringLiteral("More of it.")});
    queue.cancel();
    queue.enqueue(QStringLiteral("Resting now."));
    settle();  // the old sentence's completion arrives now, after the new drain began

    EXPECT_EQ(spokenTexts(), (QStringList{QStringLiteral("Long answer."), QStringLiteral("Resting now.")}));
    EXPECT_TRUE(queue.isSpeaking());
    EXPECT_EQ(finishedAll, 0);

    player.finishCurrent();
    settle();
    EXPECT_EQ(finishedAll, 1);
    EXPECT_EQ(player.calls.size(), 2u);
}

TEST_F(TTSQueueTest, ResetSetsTheLocaleFromTheNextSentenceAndForgetsPendingOnes)
{
    queue.enqueue(QStringList{QStringLiteral("Erste."), QStringLiteral("Zweite.")});
    queue.reset(QStringLiteral("en-US"));
    EXPECT_EQ(queue.localeID(), QStringLiteral("en-US"));
    EXPECT_EQ(queue.pendingCount(), 0);
    EXPECT_EQ(player.stops, 0) << "the sentence being spoken goes on";

    queue.enqueue(QStringLiteral("Third."));
    player.finishCurrent();
    settle();
    player.finishCurrent();
    settle();

    ASSERT_EQ(player.calls.size(), 2u);
    EXPECT_EQ(player.calls[0].locale, QStringLiteral("ko-KR"));
    EXPECT_EQ(player.calls[1].text, QStringLiteral("Third."));
    EXPECT_EQ(player.calls[1].locale, QStringLiteral("en-US"));
    EXPECT_EQ(finishedAll, 1);
}

TEST_F(TTSQueueTest, CancellingFromTheStartedCallbackSpeaksNothing)
{
    queue.onStartedSentence = [this](const QString&) { queue.cancel(); };
    queue.enqueue(QStringLiteral("Never spoken."));
    settle();
    EXPECT_TRUE(player.calls.empty());
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(finishedAll, 0);
}
