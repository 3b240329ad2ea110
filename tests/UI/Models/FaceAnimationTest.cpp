// The face's blink and talking cycle on virtual time, and that showing the face again and
// again never adds timers.
#include "UI/Models/FaceAnimation.h"

#include "Common/FakeScheduler.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

namespace {

struct Blink {
    long long closedAtMs;
    long long openedAtMs = -1;
};

class FaceAnimationTest : public testing::Test {
protected:
    FaceAnimationTest()
    {
        animation.onChanged = [this] {
            const long long now = scheduler.elapsed().count();
            if (!animation.blinkOpen() && (blinks.empty() || blinks.back().openedAtMs >= 0))
                blinks.push_back({now});
            else if (animation.blinkOpen() && !blinks.empty() && blinks.back().openedAtMs < 0)
                blinks.back().openedAtMs = now;
            ++changes;
        };
    }

    FakeScheduler scheduler;
    FaceAnimation animation{scheduler, 11};
    std::vector<Blink> blinks;
    int changes = 0;
};

}  // namespace

TEST_F(FaceAnimationTest, BlinksOnlyOutsideIdleForA120MsCloseEvery2500To5000Ms)
{
    animation.start();
    scheduler.advance(60s);
    EXPECT_TRUE(blinks.empty());  // idle eyes are slits

    animation.setPhase(ConversationPhase::listening);
    scheduler.advance(std::chrono::minutes(30));
    ASSERT_GT(blinks.size(), 300u);
    EXPECT_LE(blinks.front().closedAtMs - 60'000, 5'000);
    for (std::size_t i = 0; i < blinks.size(); ++i) {
        EXPECT_EQ(blinks[i].openedAtMs - blinks[i].closedAtMs, 120) << i;
        if (i > 0) {
            // Each wait of 2.5 to 5 s starts when the eyes open again.
            const long long wait = blinks[i].closedAtMs - blinks[i - 1].openedAtMs;
            EXPECT_GE(wait, 2'500) << i;
            EXPECT_LE(wait, 5'000) << i;
        }
    }
}

TEST_F(FaceAnimationTest, TalksOnlyWhileSpeakingAndResumesWhereTheCycleStood)
{
    animation.start();
    animation.setPhase(ConversationPhase::speaking);
    scheduler.advance(960ms);
    EXPECT_NEAR(animation.speakingPhase(), 0.88, 1e-9);  // 16 steps of 0.18

    animation.setPhase(ConversationPhase::thinking);
    const double stood = animation.speakingPhase();
    scheduler.advance(10s);
    EXPECT_EQ(animation.speakingPhase(), stood);

    animation.setPhase(ConversationPhase::speaking);
    for (int step = 0; step < 10'000; ++step) {
        scheduler.advance(60ms);
        ASSERT_GE(animation.speakingPhase(), 0.0);
        ASSERT_LT(animation.speakingPhase(), 1.0);
    }
    EXPECT_NEAR(animation.speakingPhase(), std::fmod(stood + 10'000 * 0.18, 1.0), 1e-6);
}

TEST_F(FaceAnimationTest, ShowingTheFaceAgainKeepsOnePairOfTimers)
{
    animation.setPhase(ConversationPhase::speaking);
    for (int shown = 0; shown < 5; ++shown) {
        animation.start();
        animation.start();
        EXPECT_EQ(scheduler.pendingCount(), 2u);  // one blink and one talking timer
        const double before = animation.speakingPhase();
        scheduler.advance(60ms);
        EXPECT_NEAR(std::fmod(animation.speakingPhase() - before + 1.0, 1.0), 0.18, 1e-9) << shown;
        animation.stop();
        EXPECT_EQ(scheduler.pendingCount(), 0u);
    }

    // Hidden in the middle of a blink, the face comes back with open eyes.
    animation.start();
    while (blinks.empty())
        scheduler.advance(10ms);
    animation.stop();
    EXPECT_TRUE(animation.blinkOpen());
}

TEST(FaceAnimation, BobsDownAndBackEvery4400Ms)
{
    const std::vector<std::pair<double, double>> cases{{0.0, 0.0}, {1.1, 0.5}, {2.2, 1.0}, {3.3, 0.5},
                                                       {4.4, 0.0}, {6.6, 1.0}, {-1.0, 0.0}};
    for (const auto& [seconds, bob] : cases)
        EXPECT_NEAR(FaceAnimation::bobAt(seconds), bob, 1e-9) << seconds;
}

// The face is woken only when its bob reaches the next whole step, and never before.
TEST(FaceAnimation, TheBobsNextStepIsFoundWhereItComes)
{
    const auto step = [](double seconds, double steps) { return std::lround(FaceAnimation::bobAt(seconds) * steps); };
    for (const double steps : {1.0, 2.4, 4.8, 9.6}) {
        int wakes = 0;
        for (double seconds = 0.0; seconds < 2 * 2 * FaceAnimation::kBobHalfCycleSeconds; ++wakes) {
            const std::optional<double> next = FaceAnimation::secondsUntilNextBobStep(seconds, steps);
            ASSERT_TRUE(next.has_value());
            ASSERT_GE(*next, FaceAnimation::kBobResolution);
            EXPECT_NE(step(seconds + *next, steps), step(seconds, steps)) << steps << " steps at " << seconds;
            EXPECT_EQ(step(seconds + *next - FaceAnimation::kBobResolution, steps), step(seconds, steps))
                << steps << " steps at " << seconds;
            seconds += *next;
        }
        // Down and back up through every step, twice: no wake-up in between.
        EXPECT_LE(wakes, 2 * 2 * int(std::ceil(steps)) + 2) << steps;
    }
    EXPECT_EQ(FaceAnimation::secondsUntilNextBobStep(0.7, 0.4), std::nullopt);
}
