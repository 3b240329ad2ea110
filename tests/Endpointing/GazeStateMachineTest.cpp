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

constexpr auto screen = GazeStatus::lookingAtScreen;
constexpr auto away = GazeStatus::lookingAway;
constexpr auto none = GazeStatus::noFace;

Scheduler::TimePoint at(int ms)
{
    return Scheduler::TimePoint{} + std::chrono::hours(1) + std::chrono::milliseconds(ms);
}

// Brings a fresh machine into `state` with readings well before the case's timeline.
void enter(GazeStateMachine& machine, GazeMachineState state)
{
    if (state == GazeMachineState::noFace)
        return;
    const GazeStatus status = state == GazeMachineState::engaged ? screen : away;
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
                 {{screen, 0.9, 0, {}}, {screen, 0.9, 299, {}}, {screen, 0.9, 300, T::enteredEngaged}},
                 S::engaged},
        GazeCase{"AgreeingReadingCancelsThePendingChange",
                 S::engaged,
                 {{away, 0.6, 0, {}},
                  {screen, 0.8, 100, {}},
                  {away, 0.6, 200, {}},
                  {away, 0.6, 450, {}},
                  {away, 0.6, 500, T::avertedAfterEngagement}},
                 S::averted},
        GazeCase{"UnsureLookAwayIsIgnored",
                 S::engaged,
                 {{away, 0.39, 0, {}}, {away, 0.39, 400, {}}, {away, 0.39, 5000, {}}},
                 S::engaged},
        GazeCase{"UnsureReadingKeepsThePendingCandidate",
                 S::engaged,
                 {{away, 0.6, 0, {}}, {screen, 0.3, 100, {}}, {away, 0.6, 300, T::avertedAfterEngagement}},
                 S::averted},
        GazeCase{"FaceLostNeedsTheLongerDwell",
                 S::averted,
                 {{none, 0.0, 0, {}}, {none, 0.0, 699, {}}, {none, 0.0, 700, T::faceLost}},
                 S::noFace},
        GazeCase{"NoFaceNeedsNoConfidence", S::engaged, {{none, 0.0, 0, {}}, {none, 0.0, 700, T::faceLost}}, S::noFace},
        GazeCase{"AvertedWithoutEngagementThenReengaged",
                 S::noFace,
                 {{away, 0.6, 0, {}},
                  {away, 0.6, 300, T::avertedWithoutEngagement},
                  {screen, 0.6, 400, {}},
                  {screen, 0.6, 700, T::reengaged}},
                 S::engaged},
        GazeCase{"AnotherTargetRestartsTheCandidate",
                 S::noFace,
                 {{screen, 0.9, 0, {}},
                  {away, 0.9, 200, {}},
                  {screen, 0.9, 400, {}},
                  {screen, 0.9, 600, {}},
                  {screen, 0.9, 700, T::enteredEngaged}},
                 S::engaged}),
    [](const testing::TestParamInfo<GazeCase>& param) { return param.param.name; });

TEST(GazeStateMachine, ASingleReadingNeverChangesTheStateEvenWithoutDwell)
{
    GazeStateMachine machine;
    machine.setTuning({0, 0, 0.4});
    EXPECT_EQ(machine.update({screen, 0.9}, at(0)), std::nullopt);
    EXPECT_EQ(machine.update({screen, 0.9}, at(0)), GazeTransition::enteredEngaged);
}

TEST(GazeStateMachine, ResetForgetsStateAndCandidate)
{
    GazeStateMachine machine;
    enter(machine, GazeMachineState::engaged);
    machine.update({away, 0.9}, at(0));
    machine.reset();
    EXPECT_EQ(machine.state(), GazeMachineState::noFace);
    // The candidate started before the reset does not count.
    EXPECT_EQ(machine.update({away, 0.9}, at(400)), std::nullopt);
    EXPECT_EQ(machine.update({away, 0.9}, at(700)), GazeTransition::avertedWithoutEngagement);
}

}  // namespace
