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

using T = GazeTransition;
using S = GazeMachineState;

TEST(GazeStateMachine, DebouncesReadingsIntoTransitions)
{
    const struct {
        const char* name;
        GazeMachineState startState;
        std::vector<Reading> readings;
        GazeMachineState endState;
    } cases[] = {
        {"engages after the dwell",
         S::noFace,
         {{kScreen, 0.9, 0, {}}, {kScreen, 0.9, 299, {}}, {kScreen, 0.9, 300, T::enteredEngaged}},
         S::engaged},
        {"an agreeing reading cancels the pending change",
         S::engaged,
         {{kAway, 0.6, 0, {}},
          {kScreen, 0.8, 100, {}},
          {kAway, 0.6, 200, {}},
          {kAway, 0.6, 450, {}},
          {kAway, 0.6, 500, T::avertedAfterEngagement}},
         S::averted},
        {"an unsure look-away is ignored",
         S::engaged,
         {{kAway, 0.39, 0, {}}, {kAway, 0.39, 400, {}}, {kAway, 0.39, 5000, {}}},
         S::engaged},
        {"an unsure reading keeps the pending candidate",
         S::engaged,
         {{kAway, 0.6, 0, {}}, {kScreen, 0.3, 100, {}}, {kAway, 0.6, 300, T::avertedAfterEngagement}},
         S::averted},
        {"a lost face needs the longer dwell and no confidence",
         S::averted,
         {{kNone, 0.0, 0, {}}, {kNone, 0.0, 699, {}}, {kNone, 0.0, 700, T::faceLost}},
         S::noFace},
        {"averted without engagement then re-engaged",
         S::noFace,
         {{kAway, 0.6, 0, {}},
          {kAway, 0.6, 300, T::avertedWithoutEngagement},
          {kScreen, 0.6, 400, {}},
          {kScreen, 0.6, 700, T::reengaged}},
         S::engaged},
        {"another target restarts the candidate",
         S::noFace,
         {{kScreen, 0.9, 0, {}},
          {kAway, 0.9, 200, {}},
          {kScreen, 0.9, 400, {}},
          {kScreen, 0.9, 700, T::enteredEngaged}},
         S::engaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GazeStateMachine machine;
        enter(machine, c.startState);
        for (const Reading& r : c.readings) {
            EXPECT_EQ(machine.update({r.status, r.confidence}, at(r.atMs)), r.expected)
                << rawValue(r.status).toStdString() << " at " << r.atMs << " ms";
        }
        EXPECT_EQ(machine.state(), c.endState);
    }
}

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
