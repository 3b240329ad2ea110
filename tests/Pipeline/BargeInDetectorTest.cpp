#include "Pipeline/BargeInDetector.h"

#include "Common/FakeScheduler.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

enum class Action { arm, disarm, onset, end, level, lengthenTo1000ms };

struct Step {
    long long atMs;
    Action action;
};

struct BargeInCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<long long> firesAtMs;
    bool armedAfter;
};

void PrintTo(const BargeInCase& c, std::ostream* out)
{
    *out << c.name;
}

class BargeInDetectorCases : public testing::TestWithParam<BargeInCase> {};

TEST_P(BargeInDetectorCases, FiresOnlyOnSustainedSpeechWhileArmed)
{
    FakeScheduler scheduler;
    BargeInDetector detector(scheduler, 350);
    std::vector<long long> fires;
    detector.onBargeIn = [&] { fires.push_back(scheduler.elapsed().count()); };
    for (const Step& step : GetParam().steps) {
        scheduler.advance(std::chrono::milliseconds(step.atMs) - scheduler.elapsed());
        switch (step.action) {
        case Action::arm:
            detector.arm();
            break;
        case Action::disarm:
            detector.disarm();
            break;
        case Action::onset:
            detector.handle(VoiceActivity::speechStarted());
            break;
        case Action::end:
            detector.handle(VoiceActivity::speechEnded(200));
            break;
        case Action::level:
            detector.handle(VoiceActivity::level(1.0));
            break;
        case Action::lengthenTo1000ms:
            detector.setTriggerSpeechMs(1000);
            break;
        }
    }
    scheduler.advance(std::chrono::seconds(10));
    EXPECT_EQ(fires, GetParam().firesAtMs);
    EXPECT_EQ(detector.isArmed(), GetParam().armedAfter);
}

using A = Action;

INSTANTIATE_TEST_SUITE_P(
    Table, BargeInDetectorCases,
    testing::Values(
        BargeInCase{"DisarmedNeverFires", {{0, A::onset}, {5000, A::level}}, {}, false},
        BargeInCase{"FiresOnce350msAfterTheOnsetAndDisarms",
                    {{0, A::arm}, {100, A::onset}, {300, A::level}, {2000, A::onset}},
                    {450},
                    false},
        BargeInCase{"ShortSpeechIsNoInterruption",
                    {{0, A::arm}, {100, A::onset}, {300, A::end}, {1000, A::onset}},
                    {1350},
                    false},
        BargeInCase{"OneMillisecondShortIsNotEnough", {{0, A::arm}, {0, A::onset}, {349, A::end}}, {}, true},
        BargeInCase{"DisarmCancelsTheWaitingTrigger", {{0, A::arm}, {0, A::onset}, {100, A::disarm}}, {}, false},
        BargeInCase{"ArmingAgainCancelsTheWaitingTrigger", {{0, A::arm}, {0, A::onset}, {200, A::arm}}, {}, true},
        BargeInCase{"LevelsChangeNothing", {{0, A::arm}, {0, A::level}, {100, A::level}}, {}, true},
        BargeInCase{
            "TheWaitInForceAtTheOnsetCounts", {{0, A::arm}, {0, A::onset}, {0, A::lengthenTo1000ms}}, {350}, false},
        BargeInCase{
            "RearmedItFiresAgain", {{0, A::arm}, {0, A::onset}, {1000, A::arm}, {1000, A::onset}}, {350, 1350}, false}),
    [](const testing::TestParamInfo<BargeInCase>& param) { return param.param.name; });

TEST(BargeInDetector, TheHandlerMayArmItAgain)
{
    FakeScheduler scheduler;
    BargeInDetector detector(scheduler, 350);
    int fires = 0;
    detector.onBargeIn = [&] {
        ++fires;
        detector.arm();
    };
    detector.arm();
    detector.handle(VoiceActivity::speechStarted());
    scheduler.advance(std::chrono::seconds(5));
    EXPECT_EQ(fires, 1);
    EXPECT_TRUE(detector.isArmed());
}

}  // namespace
