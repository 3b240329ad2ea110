#pragma once

#include "Support/Scheduler.h"

#include <map>
#include <utility>

// Virtual time for tests: nothing happens until the test advances the clock, and then
// timers fire in order of due time (ties in the order they were scheduled).
class FakeScheduler final : public Scheduler {
public:
    explicit FakeScheduler(QDateTime wallStart = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));

    TimePoint now() const override { return m_now; }
    std::chrono::system_clock::time_point wallTime() const override;
    TimerId schedule(std::chrono::milliseconds delay, std::function<void()> action) override;
    void cancel(TimerId id) override;

    // Moves time forward, firing every timer that falls due on the way (timers scheduled
    // by those timers included), each at its own due time.
    void advance(std::chrono::milliseconds by);
    // Fires timers due now (zero-delay timers included) without moving time.
    void runDue() { advance(std::chrono::milliseconds(0)); }
    // The machine sleeps: the wall clock moves on, monotonic time and its timers do not.
    void suspend(std::chrono::milliseconds by) { m_suspended += by; }
    std::size_t pendingCount() const { return m_timers.size(); }
    std::chrono::milliseconds elapsed() const;

private:
    using Key = std::pair<TimePoint, TimerId>;

    TimePoint m_start;
    TimePoint m_now;
    QDateTime m_wallStart;
    std::chrono::milliseconds m_suspended{0};
    TimerId m_nextId = 1;
    std::map<Key, std::function<void()>> m_timers;
};
