#include "Vision/GazeEstimator.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(GazeEstimatorTest, JudgesYawAndPitchAgainstTheirThresholds)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::optional<FaceObservation> observation;
        GazeStatus status;
        double confidence;
    };
    const Case cases[] = {
        {std::nullopt, GazeStatus::noFace, 0.0},
        {FaceObservation{0.0, 0.0, 0.7, {}}, GazeStatus::lookingAtScreen, 1.0},  // roll does not count
        {FaceObservation{0.13, 0.0, 0.0, {}}, GazeStatus::lookingAtScreen, 0.5},  // thresholds are inclusive
        {FaceObservation{0.0, -0.18, 0.0, {}}, GazeStatus::lookingAtScreen, 0.5},
        {FaceObservation{0.1301, 0.0, 0.0, {}}, GazeStatus::lookingAway, 0.6},
        {FaceObservation{-0.065, 0.09, 0.0, {}}, GazeStatus::lookingAtScreen, 0.5},  // the sign does not count
        {FaceObservation{0.0, 0.2, 0.0, {}}, GazeStatus::lookingAway, 0.6},
        {FaceObservation{0.12, 0.17, 0.0, {}}, GazeStatus::lookingAtScreen, (1 - 0.12 / 0.13 + 1 - 0.17 / 0.18) / 2},
        {FaceObservation{nan, 0.0, 0.0, {}}, GazeStatus::lookingAway, 0.6},
        {FaceObservation{0.0, nan, 0.0, {}}, GazeStatus::lookingAway, 0.6},
    };
    for (const Case& c : cases) {
        const GazeState state = GazeEstimator{}.estimate(c.observation);
        const QString label = c.observation
                                  ? QStringLiteral("yaw %1 pitch %2").arg(c.observation->yaw).arg(c.observation->pitch)
                                  : QStringLiteral("no face");
        EXPECT_EQ(state.status, c.status) << label.toStdString();
        EXPECT_NEAR(state.confidence, c.confidence, 1e-9) << label.toStdString();
    }
}

}  // namespace
