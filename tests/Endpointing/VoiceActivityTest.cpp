#include "Endpointing/GazeState.h"
#include "Endpointing/VoiceActivity.h"

#include <gtest/gtest.h>

namespace {

TEST(VoiceActivity, EqualOnlyForTheSameCaseAndPayload)
{
    EXPECT_EQ(VoiceActivity::level(0.5), VoiceActivity::level(0.5));
    EXPECT_NE(VoiceActivity::level(0.5), VoiceActivity::level(0.6));
    EXPECT_EQ(VoiceActivity::speechEnded(300), VoiceActivity::speechEnded(300));
    EXPECT_NE(VoiceActivity::speechEnded(300), VoiceActivity::speechEnded(301));
    EXPECT_EQ(VoiceActivity::speechStarted(), VoiceActivity::speechStarted());
    EXPECT_NE(VoiceActivity::speechStarted(), VoiceActivity::speechEnded(0));
    EXPECT_NE(VoiceActivity::speechStarted(), VoiceActivity::level(0.0));
    EXPECT_NE(VoiceActivity::speechEnded(0), VoiceActivity::level(0.0));
}

TEST(GazeStatus, BuildsOnlyFromItsExactRawValues)
{
    EXPECT_EQ(fromRawValue<GazeStatus>(u"lookingAway"), GazeStatus::lookingAway);
    EXPECT_EQ(fromRawValue<GazeStatus>(u"lookingAtScreen"), GazeStatus::lookingAtScreen);
    EXPECT_EQ(fromRawValue<GazeStatus>(u"noFace"), GazeStatus::noFace);
    EXPECT_EQ(fromRawValue<GazeStatus>(u"LookingAway"), std::nullopt);
    EXPECT_EQ(fromRawValue<GazeStatus>(u""), std::nullopt);
    for (const GazeStatus status : allCases<GazeStatus>())
        EXPECT_EQ(fromRawValue<GazeStatus>(rawValue(status)), status);
}

TEST(GazeState, ComparesStatusAndExactConfidence)
{
    EXPECT_EQ((GazeState{GazeStatus::lookingAtScreen, 0.5}), (GazeState{GazeStatus::lookingAtScreen, 0.5}));
    EXPECT_NE((GazeState{GazeStatus::lookingAtScreen, 0.5}), (GazeState{GazeStatus::lookingAtScreen, 0.50001}));
    EXPECT_NE((GazeState{GazeStatus::lookingAtScreen, 0.5}), (GazeState{GazeStatus::lookingAway, 0.5}));
    EXPECT_EQ(GazeState{}, (GazeState{GazeStatus::noFace, 0.0}));
}

}  // namespace
