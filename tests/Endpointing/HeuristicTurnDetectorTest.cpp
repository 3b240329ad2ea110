#include "Endpointing/HeuristicTurnDetector.h"

#include "Common/FakeScheduler.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class HeuristicTurnDetectorTest : public testing::Test {
protected:
    HeuristicTurnDetectorTest()
    {
        detector.onTurnEnded = [this](const QString& text) { turns.emplace_back(text.toStdString(), nowMs()); };
    }

    long long nowMs() const { return scheduler.elapsed().count(); }
    void advanceTo(long long ms) { scheduler.advance(std::chrono::milliseconds(ms - nowMs())); }
    void at(long long ms, const VoiceActivity& activity)
    {
        advanceTo(ms);
        detector.handle(activity);
    }
    void at(long long ms, const QString& transcript)
    {
        advanceTo(ms);
        detector.handle(transcript);
    }

    FakeScheduler scheduler;
    HeuristicTurnDetector detector{scheduler};
    std::vector<std::pair<std::string, long long>> turns;
};

using Turns = std::vector<std::pair<std::string, long long>>;

TEST_F(HeuristicTurnDetectorTest, DeliversAFixedWaitAfterTheSpeechEnd)
{
    at(0, VoiceActivity::speechStarted());
    at(100, QStringLiteral(" hello "));
    at(500, VoiceActivity::speechEnded(500));
    advanceTo(1699);
    EXPECT_TRUE(turns.empty());
    advanceTo(1700);
    EXPECT_EQ(turns, (Turns{{"hello", 1700}}));
    EXPECT_EQ(scheduler.pendingCount(), 0u);  // the dwell went with the reset
}

TEST_F(HeuristicTurnDetectorTest, ATranscriptChangedAfterTheEndWaitsForTheDwell)
{
    at(0, VoiceActivity::speechStarted());
    at(100, QStringLiteral("hello"));
    at(500, VoiceActivity::speechEnded(500));
    at(1000, QStringLiteral("hello world"));
    at(1000, QStringLiteral("hello world"));  // unchanged: the dwell keeps its start
    advanceTo(4999);
    EXPECT_TRUE(turns.empty());
    advanceTo(5000);
    EXPECT_EQ(turns, (Turns{{"hello world", 5000}}));
}

TEST_F(HeuristicTurnDetectorTest, AnOnsetCancelsOnlyTheSilenceWait)
{
    at(0, VoiceActivity::speechStarted());
    at(100, QStringLiteral("hello"));
    at(500, VoiceActivity::speechEnded(500));
    at(1000, VoiceActivity::speechStarted());
    advanceTo(4099);
    EXPECT_TRUE(turns.empty());
    advanceTo(4100);
    EXPECT_EQ(turns, (Turns{{"hello", 4100}}));
}

TEST_F(HeuristicTurnDetectorTest, NeverDeliversWithoutAnOnsetOrWithABlankTranscript)
{
    at(0, QStringLiteral("hello"));
    at(100, VoiceActivity::speechEnded(100));
    advanceTo(20'000);
    detector.reset();
    at(20'000, VoiceActivity::speechStarted());
    at(20'100, QStringLiteral(" \n "));
    at(20'200, VoiceActivity::speechEnded(200));
    at(20'300, VoiceActivity::level(1.0));
    advanceTo(60'000);
    EXPECT_TRUE(turns.empty());
}

}  // namespace
