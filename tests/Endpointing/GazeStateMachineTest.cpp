#include "Endpointing/GazeStateMachine.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Reading {
    GazeStatus status;
    double confidence;
    int atMs;
    std::optional<GazeTransition> expected;
};

struct GazeCase {
    const char* name;
    GazeMachineState startState;
    std::vector<Reading> readings;
    GazeMachineState endState;
};

void PrintTo(const GazeCase& c, std::ostream* out)
{
    *out << c.name;
}

constexpr auto kScreen = GazeStatus::lookingAtScreen;
constexpr auto kAway = GazeStatus::lookingAway;
constexpr auto kNone = GazeStatus::noFace;

Scheduler::TimePoint at(int ms)
{
    return Scheduler::TimePoint{} + std::chrono::hours(1) + std::chrono::milliseconds(ms);
}

// Brings a fresh machine into `state` with readings well before the case's timeline.
void enter(GazeStateMachine& machine, GazeMachineState state)
{
    if (state == GazeMachineState::noFace)
        return;
    const GazeStatus status = state == GazeMachineState::engaged ? kScreen : kAway;
    machine.update({status, 1.0}, at(-10'000));
    machine.update({status, 1.0}, at(-5'000));
    ASSERT_EQ(machine.state(), state);
}

class GazeStateMachineCases : public testing::TestWithParam<GazeCase> {};

TEST_P(GazeStateMachineCases, DebouncesReadingsIntoTransitions)
{
    const GazeCase& c = GetParam();
    GazeStateMachine machine;
    enter(machine, c.startState);
    for (const Reading& r : c.readings) {
        EXPECT_EQ(machine.update({r.status, r.confidence}, at(r.atMs)), r.expected)
            << rawValue(r.status).toStdString() << " at " << r.atMs << " ms";
    }
    EXPECT_EQ(machine.state(), c.endState);
}

using T = GazeTransition;
using S = GazeMachineState;

INSTANTIATE_TEST_SUITE_P(
    Table, GazeStateMachineCases,
    testing::Values(
        GazeCase{"EngagesAfterTheDwell",
                 S::noFace,
                 {{kScreen, 0.9, 0, {}}, {kScreen, 0.9, 299, {}}, {kScreen, 0.9, 300, T::enteredEngaged}},
                 S::engaged},
        GazeCase{"AgreeingReadingCancelsThePendingChange",
                 S::engaged,
                 {{kAway, 0.6, 0, {}},
                  {kScreen, 0.8, 100, {}},
                  {kAway, 0.6, 200, {}},
                  {kAway, 0.6, 450, {}},
                  {kAway, 0.6, 500, T::avertedAfterEngagement}},
                 S::averted},
        GazeCase{"UnsureLookAwayIsIgnored",
                 S::engaged,
                 {{kAway, 0.39, 0, {}}, {kAway, 0.39, 400, {}}, {kAway, 0.39, 5000, {}}},
                 S::engaged},
        GazeCase{"UnsureReadingKeepsThePendingCandidate",
                 S::engaged,
                 {{kAway, 0.6, 0, {}}, {kScreen, 0.3, 100, {}}, {kAway, 0.6, 300, T::avertedAfterEngagement}},
                 S::averted},
        GazeCase{"FaceLostNeedsTheLongerDwell",
                 S::averted,
                 {{kNone, 0.0, 0, {}}, {kNone, 0.0, 699, {}}, {kNone, 0.0, 700, T::faceLost}},
                 S::noFace},
        GazeCase{
            "NoFaceNeedsNoConfidence", S::engaged, {{kNone, 0.0, 0, {}}, {kNone, 0.0, 700, T::faceLost}}, S::noFace},
        GazeCase{"AvertedWithoutEngagementThenReengaged",
                 S::noFace,
                 {{kAway, 0.6, 0, {}},
                  {kAway, 0.6, 300, T::avertedWithoutEngagement},
                  {kScreen, 0.6, 400, {}},
                  {kScreen, 0.6, 700, T::reengaged}},
                 S::engaged},
        GazeCase{"AnotherTargetRestartsTheCandidate",
                 S::noFace,
                 {{kScreen, 0.9, 0, {}},
                  {kAway, 0.9, 200, {}},
                  {kScreen, 0.9, 400, {}},
                  {kScreen, 0.9, 600, {}},
                  {kScreen, 0.9, 700, T::enteredEngaged}},
                 S::engaged}),
    [](const testing::TestParamInfo<GazeCase>& param) { return param.param.name; });

TEST(GazeStateMachine, ASingleReadingNeverChangesTheStateEvenWithoutDwell)
{
    GazeStateMachine machine;
    machine.setTuning({0, 0, 0.4});
    EXPECT_EQ(machine.update({kScreen, 0.9}, at(0)), std::nullopt);
    EXPECT_EQ(machine.update({kScreen, 0.9}, at(0)), GazeTransition::enteredEngaged);
}

TEST(GazeStateMachine, ResetForgetsStateAndCandidate)
{
    GazeStateMachine machine;
    enter(machine, GazeMachineState::engaged);
    machine.update({kAway, 0.9}, at(0));
    machine.reset();
    EXPECT_EQ(machine.state(), GazeMachineState::noFace);
    // The candidate started before the reset does not count.
    EXPECT_EQ(machine.update({kAway, 0.9}, at(400)), std::nullopt);
    EXPECT_EQ(machine.update({kAway, 0.9}, at(700)), GazeTransition::avertedWithoutEngagement);
}

}  // namespace
