#include "TTS/TTSQueue.h"

#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// A player whose utterances end only when the test says so, each completion delivered
// from the event loop as the real player does. Calls are recorded as "locale: text".
class ScriptedPlayer final : public SpeechPlayer {
public:
    void speak(const QString& text, const std::optional<QString>& localeID, Completion done) override
    {
        calls.append(localeID.value_or(QString()) + QStringLiteral(": ") + text);
        m_pending = std::move(done);
    }
    void stop() override
    {
        ++stops;
        post(std::nullopt);
    }
    // Ends the current utterance and lets its completion arrive.
    void end(std::optional<SpeechPlayerError> error = std::nullopt)
    {
        post(error);
        QCoreApplication::processEvents();
    }

    QStringList calls;
    int stops = 0;

private:
    void post(std::optional<SpeechPlayerError> error)
    {
        if (m_pending)
            QMetaObject::invokeMethod(
                qApp, [done = std::exchange(m_pending, nullptr), error] { done(error); }, Qt::QueuedConnection);
    }
    Completion m_pending;
};

class TTSQueueTest : public ::testing::Test {
protected:
    TTSQueueTest()
    {
        queue.onStartedSentence = [this](const QString& sentence) { started.append(sentence); };
        queue.onFinishedAll = [this] { ++finishedAll; };
        queue.onCancelled = [this] { ++cancelled; };
    }

    ScriptedPlayer player;
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
    EXPECT_EQ(player.calls.size(), 1);
    player.end();
    player.end(SpeechPlayerError::playbackFailed(QStringLiteral("no audio output device")));
    player.end();

    EXPECT_EQ(player.calls, (QStringList{QStringLiteral("ko-KR: Hi there."), QStringLiteral("ko-KR: Two."),
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
    player.end();
    EXPECT_EQ(player.calls.size(), 3);
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
    EXPECT_EQ(player.calls, (QStringList{QStringLiteral("ko-KR: One."), QStringLiteral("ko-KR: Resting now.")}));
    EXPECT_TRUE(queue.isSpeaking());
    EXPECT_EQ(finishedAll, 0);
    player.end();
    EXPECT_EQ(finishedAll, 1);
    EXPECT_EQ(player.calls.size(), 2);

    // Cancelling from the started callback speaks nothing.
    queue.onStartedSentence = [this](const QString&) { queue.cancel(); };
    queue.enqueue(QStringLiteral("Never spoken."));
    player.end();
    EXPECT_EQ(player.calls.size(), 2);
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
    player.end();
    player.end();
    EXPECT_EQ(player.calls, (QStringList{QStringLiteral("ko-KR: Erste."), QStringLiteral("en-US: Third.")}));
    EXPECT_EQ(finishedAll, 1);
}
