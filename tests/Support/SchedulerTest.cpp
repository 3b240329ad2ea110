#include "Common/FakeScheduler.h"
#include "Support/QtScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

namespace {
// Runs the Qt event loop until the predicate holds (or a generous limit passes).
template <typename Predicate>
bool spinUntil(Predicate done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
}  // namespace

TEST(SingleShot, ReplacingOrDestroyingCancelsThePendingTimer)
{
    FakeScheduler scheduler;
    std::vector<int> fired;
    {
        SingleShot shot(scheduler);
        shot.start(10ms, [&] { fired.push_back(1); });
        shot.start(20ms, [&] { fired.push_back(2); });
        EXPECT_TRUE(shot.isPending());
        scheduler.advance(25ms);
        EXPECT_FALSE(shot.isPending());
        shot.start(10ms, [&] { fired.push_back(3); });
    }
    scheduler.advance(100ms);
    EXPECT_EQ(fired, (std::vector<int>{2}));
}

TEST(QtScheduler, FiresOnTheEventLoopNeverSynchronously)
{
    QtScheduler scheduler;
    std::vector<int> fired;
    scheduler.schedule(0ms, [&] { fired.push_back(0); });
    const auto cancelled = scheduler.schedule(1ms, [&] { fired.push_back(99); });
    scheduler.schedule(20ms, [&] { fired.push_back(20); });
    EXPECT_TRUE(fired.empty());
    scheduler.cancel(cancelled);
    ASSERT_TRUE(spinUntil([&] { return fired.size() == 2; }));
    EXPECT_EQ(fired, (std::vector<int>{0, 20}));
}

TEST(QtScheduler, MonotonicNowAdvances)
{
    QtScheduler scheduler;
    const auto before = scheduler.now();
    bool fired = false;
    scheduler.schedule(15ms, [&] { fired = true; });
    ASSERT_TRUE(spinUntil([&] { return fired; }));
    EXPECT_GE(Scheduler::secondsBetween(before, scheduler.now()), 0.010);
}
