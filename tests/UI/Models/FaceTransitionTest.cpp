// The face easing into a new phase or mood on virtual time: what it shows at each moment of
// the change, what fades in and out, and that it asks to be drawn only while a change runs.
#include "UI/Models/FaceTransition.h"

#include "Common/FakeScheduler.h"
#include "UI/Models/GeneratedFace.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace std::chrono_literals;

namespace {
using Frame = FaceAvatarModel::Frame;
using Phase = ConversationPhase;

const QRectF kArea(0, 0, 200, 200);

Frame frameOf(Phase phase, IdleMood mood = IdleMood::sleeping, AvatarStyle style = AvatarStyle::female)
{
    FaceAvatarModel::State state;
    state.phase = phase;
    state.style = style;
    state.idleMood = mood;
    state.idleCaption = QStringLiteral("caption");
    state.level = 0.5;
    return FaceAvatarModel::frame(state, kArea);
}

// The left iris: after the hair, the face, the cheeks, the bangs and highlight, the brows and
// the left eye's white.
const FaceShape& leftIris(const Frame& frame)
{
    return frame.faceLayers[9];
}

double between(double from, double to, double share)
{
    return from + (to - from) * share;
}

}  // namespace

TEST(FaceTransition, EasesInOutSlowlyAtBothEnds)
{
    const struct {
        double linear;
        double low;
        double high;
    } cases[] = {{-1, 0, 0}, {0, 0, 0}, {0.1, 0.0, 0.03}, {0.5, 0.499, 0.501}, {0.9, 0.97, 1.0}, {1, 1, 1}, {2, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.linear);
        EXPECT_GE(FaceTransition::eased(c.linear), c.low);
        EXPECT_LE(FaceTransition::eased(c.linear), c.high);
    }
}

// From idle to listening: the halo, the mouth and the irises move, the animal face's ring fades
// in and the mood bubble out, all on one ease-in-out curve over 0.18 s; then the frame is the
// new one.
TEST(FaceTransition, APhaseChangeEasesEveryPartOver180Ms)
{
    FakeScheduler scheduler;
    FaceTransition drawn(scheduler);
    FaceTransition animal(scheduler);
    const Frame idle = frameOf(Phase::idle);
    const Frame listening = frameOf(Phase::listening);
    const Frame catListening = frameOf(Phase::listening, IdleMood::sleeping, AvatarStyle::cat);
    ASSERT_EQ(leftIris(idle).opacity, 0.0);
    ASSERT_EQ(leftIris(listening).opacity, 1.0);
    ASSERT_TRUE(catListening.ring);
    drawn.phaseChanged(idle);
    animal.phaseChanged(frameOf(Phase::idle, IdleMood::sleeping, AvatarStyle::cat));
    for (const int ms : {0, 45, 90, 135, 179, 180, 250}) {
        SCOPED_TRACE(ms);
        scheduler.advance(std::chrono::milliseconds(ms) - scheduler.elapsed());
        const double share = FaceTransition::eased(std::min(ms / 180.0, 1.0));
        const Frame shown = drawn.frame(listening);
        EXPECT_EQ(drawn.isRunning(), ms < 180);
        EXPECT_EQ(shown.phaseColor, listening.phaseColor);
        EXPECT_NEAR(shown.haloOpacity, listening.haloOpacity * share, 1e-9) << "the new halo fades in";
        if (ms < 180) {
            ASSERT_EQ(shown.leavingHalos.size(), 1) << "over the old one fading out";
            EXPECT_EQ(shown.leavingHalos[0].color, idle.phaseColor);
            EXPECT_NEAR(shown.leavingHalos[0].opacity, idle.haloOpacity * (1 - share), 1e-9);
        } else {
            EXPECT_TRUE(shown.leavingHalos.isEmpty());
        }
        const double mouthWidth = shown.faceLayers.last().frame.width();
        EXPECT_NEAR(mouthWidth,
                    between(idle.faceLayers.last().frame.width(), listening.faceLayers.last().frame.width(), share),
                    1e-9);
        EXPECT_NEAR(leftIris(shown).opacity, share, 1e-9) << "the iris fades in as the eye opens";
        const Frame cat = animal.frame(catListening);
        ASSERT_TRUE(cat.ring);
        EXPECT_NEAR(cat.ring->opacity, share * catListening.ring->opacity, 1e-9) << "the ring fades in";
        EXPECT_EQ(cat.ring->width, catListening.ring->width);
        if (ms < 180) {
            ASSERT_TRUE(shown.bubble) << "the bubble fades out";
            EXPECT_NEAR(shown.bubble->opacity, 1 - share, 1e-9);
        } else {
            EXPECT_FALSE(shown.bubble);
        }
    }
}

// A new mood fades the bubble's old content out and the new one in over 0.4 s; a mood that
// changes while no bubble shows has nothing to fade from.
TEST(FaceTransition, ANewMoodFadesTheBubblesContentOver400Ms)
{
    FakeScheduler scheduler;
    FaceTransition transition(scheduler);
    const Frame sleeping = frameOf(Phase::idle, IdleMood::sleeping);
    const Frame coffee = frameOf(Phase::idle, IdleMood::coffee);
    transition.moodChanged(sleeping);
    for (const int ms : {0, 100, 200, 399, 400}) {
        SCOPED_TRACE(ms);
        scheduler.advance(std::chrono::milliseconds(ms) - scheduler.elapsed());
        const Frame shown = transition.frame(coffee);
        ASSERT_TRUE(shown.bubble);
        EXPECT_EQ(shown.bubble->mood, coffee.bubble->mood);
        EXPECT_EQ(shown.bubble->opacity, 1.0);
        if (ms < 400) {
            EXPECT_EQ(shown.bubble->leaving, sleeping.bubble->mood);
            EXPECT_NEAR(shown.bubble->arrival, FaceTransition::eased(ms / 400.0), 1e-9);
        } else {
            EXPECT_FALSE(shown.bubble->leaving);
        }
        EXPECT_EQ(shown.haloOpacity, coffee.haloOpacity) << "nothing else moves";
    }

    FaceTransition unseen(scheduler);
    unseen.moodChanged(frameOf(Phase::speaking));
    EXPECT_FALSE(unseen.isRunning());
}

// Frames are asked for every 16 ms while a change runs and once when it ends, never after; a
// change while one runs eases on from what is on screen then, without a jump.
TEST(FaceTransition, AsksForFramesOnlyWhileAChangeRunsAndEasesOnFromWhatIsShown)
{
    FakeScheduler scheduler;
    FaceTransition transition(scheduler);
    std::vector<long long> frames;
    transition.onFrame = [&] { frames.push_back(scheduler.elapsed().count()); };
    const Frame idle = frameOf(Phase::idle);
    const Frame thinking = frameOf(Phase::thinking);
    const Frame speaking = frameOf(Phase::speaking);

    transition.phaseChanged(idle);
    scheduler.advance(96ms);
    const Frame midway = transition.frame(thinking);
    transition.phaseChanged(midway);
    // Both halos on screen then fade out under the new one.
    const Frame after = transition.frame(speaking);
    ASSERT_EQ(after.leavingHalos.size(), 2) << "no jump";
    EXPECT_EQ(after.leavingHalos[0].color, midway.leavingHalos[0].color);
    EXPECT_EQ(after.leavingHalos[0].opacity, midway.leavingHalos[0].opacity);
    EXPECT_EQ(after.leavingHalos[1].color, midway.phaseColor);
    EXPECT_EQ(after.leavingHalos[1].opacity, midway.haloOpacity);
    EXPECT_EQ(after.haloOpacity, 0.0);
    scheduler.advance(10s);
    EXPECT_EQ(transition.frame(speaking).haloOpacity, speaking.haloOpacity);
    std::vector<long long> expected;
    for (long long ms = 16; ms <= 96 + 192; ms += 16)
        expected.push_back(ms);
    EXPECT_EQ(frames, expected) << "until 180 ms after the second change, the end included";

    frames.clear();
    transition.moodChanged(idle);
    scheduler.advance(50ms);
    transition.finish();
    scheduler.advance(10s);
    EXPECT_EQ(frames.size(), 3u) << "none once finished";
    EXPECT_FALSE(transition.isRunning());
}
