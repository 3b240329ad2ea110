#pragma once

#include <QDateTime>

#include <chrono>
#include <cstdint>
#include <functional>

// Time source and one-shot timers for logic that must run on virtual time in tests.
// Every timer fires on the thread that owns the scheduler (the GUI thread in the app),
// never synchronously from schedule(), even with a zero delay.
class Scheduler {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using TimerId = std::uint64_t;  // 0 is never a valid id

    virtual ~Scheduler() = default;

    // Monotonic time: use it for every interval and timeout.
    virtual TimePoint now() const = 0;
    // Wall-clock time: only for what the user reads (file names, log lines, the rest deadline).
    // Microsecond resolution, which log lines show; wallNow() is the same instant as a QDateTime.
    virtual std::chrono::system_clock::time_point wallTime() const = 0;
    QDateTime wallNow() const
    {
        return QDateTime::fromMSecsSinceEpoch(
            std::chrono::duration_cast<std::chrono::milliseconds>(wallTime().time_since_epoch()).count());
    }

    virtual TimerId schedule(std::chrono::milliseconds delay, std::function<void()> action) = 0;
    // Cancelling an id that already fired or was cancelled does nothing.
    virtual void cancel(TimerId id) = 0;

    static double secondsBetween(TimePoint from, TimePoint to)
    {
        return std::chrono::duration<double>(to - from).count();
    }
};

// Holds at most one pending timer and cancels it when replaced or destroyed, so an
// owner can never be called back after it is gone.
class SingleShot {
public:
    explicit SingleShot(Scheduler& scheduler) : m_scheduler(scheduler) {}
    ~SingleShot() { cancel(); }
    SingleShot(const SingleShot&) = delete;
    SingleShot& operator=(const SingleShot&) = delete;

    void start(std::chrono::milliseconds delay, std::function<void()> action);
    void cancel();
    bool isPending() const { return m_id != 0; }

private:
    Scheduler& m_scheduler;
    Scheduler::TimerId m_id = 0;
};
