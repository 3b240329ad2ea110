#include "Endpointing/HeuristicTurnDetector.h"

#include "Common/FakeScheduler.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Turns = std::vector<std::pair<std::string, long long>>;

class HeuristicTurnDetectorTest : public testing::Test {
protected:
    HeuristicTurnDetectorTest()
    {
        detector.onTurnEnded = [this](const QString& text) { turns.emplace_back(text.toStdString(), nowMs()); };
    }

    long long nowMs() const { return scheduler.elapsed().count(); }
    void advanceTo(long long ms) { scheduler.advance(std::chrono::milliseconds(ms - nowMs())); }
    template <typename Input>
    void at(long long ms, const Input& input)
    {
        advanceTo(ms);
        detector.handle(input);
    }
    // Speech from 0 ms with "hello" at 100 ms, ended at 500 ms.
    void speakHello()
    {
        at(0, VoiceActivity::speechStarted());
        at(100, QStringLiteral(" hello "));
        at(500, VoiceActivity::speechEnded(500));
    }
    void expectOnlyTurnAt(long long ms, const char* text)
    {
        advanceTo(ms - 1);
        EXPECT_TRUE(turns.empty()) << "delivered before " << ms << " ms";
        advanceTo(ms);
        EXPECT_EQ(turns, (Turns{{text, ms}}));
    }

    FakeScheduler scheduler;
    HeuristicTurnDetector detector{scheduler};
    Turns turns;
};

TEST_F(HeuristicTurnDetectorTest, DeliversAFixedWaitAfterTheSpeechEnd)
{
    speakHello();
    expectOnlyTurnAt(1700, "hello");
    EXPECT_EQ(scheduler.pendingCount(), 0u);  // the dwell went with the reset
}

TEST_F(HeuristicTurnDetectorTest, ATranscriptChangedAfterTheEndWaitsForTheDwell)
{
    speakHello();
    at(1000, QStringLiteral("hello world"));
    at(3000, QStringLiteral("hello world"));  // unchanged: the dwell keeps its start
    expectOnlyTurnAt(5000, "hello world");
}

TEST_F(HeuristicTurnDetectorTest, AnOnsetCancelsOnlyTheSilenceWait)
{
    speakHello();
    at(1000, VoiceActivity::speechStarted());
    expectOnlyTurnAt(4100, "hello");
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
