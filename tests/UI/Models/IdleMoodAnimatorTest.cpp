// The idle moods on virtual time: when the mood changes, to what, and that one animator
// never runs two timers.
#include "UI/Models/IdleMoodAnimator.h"

#include "Common/FakeScheduler.h"

#include <QObject>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Change {
    long long atMs;
    IdleMood mood;
};

void record(IdleMoodAnimator& animator, const FakeScheduler& scheduler, std::vector<Change>& changes)
{
    QObject::connect(&animator, &IdleMoodAnimator::currentChanged, [&] {
        changes.push_back({scheduler.elapsed().count(), animator.current()});
    });
}

}  // namespace

TEST(IdleMoodAnimator, ChangesAtOnceThenEvery12To25SecondsNeverToTheSameMood)
{
    FakeScheduler scheduler;
    IdleMoodAnimator animator(scheduler, 7);
    std::vector<Change> changes;
    record(animator, scheduler, changes);
    EXPECT_EQ(animator.current(), IdleMood::sleeping);

    animator.start();
    scheduler.advance(std::chrono::hours(6));

    ASSERT_GT(changes.size(), 800u);
    EXPECT_EQ(changes.front().atMs, 0);
    EXPECT_NE(changes.front().mood, IdleMood::sleeping);
    long long shortest = 25'000, longest = 12'000;
    for (std::size_t i = 1; i < changes.size(); ++i) {
        EXPECT_NE(changes[i].mood, changes[i - 1].mood) << i;
        shortest = std::min(shortest, changes[i].atMs - changes[i - 1].atMs);
        longest = std::max(longest, changes[i].atMs - changes[i - 1].atMs);
    }
    EXPECT_GE(shortest, 12'000);
    EXPECT_LE(longest, 25'000);
    EXPECT_LT(shortest, 12'500);  // the whole range is drawn from
    EXPECT_GT(longest, 24'500);
    // Every mood but the starting one is reached.
    std::set<IdleMood> seen;
    for (const Change& change : changes)
        seen.insert(change.mood);
    EXPECT_EQ(seen.size(), allCases<IdleMood>().size());
}

TEST(IdleMoodAnimator, RunsOneTimerHoweverOftenStartedAndNoneOnceStoppedOrGone)
{
    FakeScheduler scheduler;
    auto animator = std::make_unique<IdleMoodAnimator>(scheduler, 3);
    std::vector<Change> changes;
    record(*animator, scheduler, changes);

    animator->start();
    animator->start();
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(scheduler.pendingCount(), 1u);

    scheduler.advance(5s);
    animator->stop();
    EXPECT_FALSE(animator->isRunning());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    const IdleMood kept = animator->current();
    scheduler.advance(60s);
    EXPECT_EQ(animator->current(), kept);

    // A restart changes the mood at once, to another one.
    animator->start();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes.back().atMs, 65'000);
    EXPECT_NE(changes.back().mood, kept);

    animator.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}
