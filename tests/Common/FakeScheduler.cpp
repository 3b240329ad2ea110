#include "Common/FakeScheduler.h"

#include <algorithm>

FakeScheduler::FakeScheduler(QDateTime wallStart)
    : m_start(Clock::now()), m_now(m_start), m_wallStart(std::move(wallStart))
{
}

std::chrono::system_clock::time_point FakeScheduler::wallTime() const
{
    const std::chrono::system_clock::time_point start(std::chrono::milliseconds(m_wallStart.toMSecsSinceEpoch()));
    return start + std::chrono::duration_cast<std::chrono::system_clock::duration>(m_now - m_start + m_suspended);
}

std::chrono::milliseconds FakeScheduler::elapsed() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_now - m_start);
}

Scheduler::TimerId FakeScheduler::schedule(std::chrono::milliseconds delay, std::function<void()> action)
{
    const TimerId id = m_nextId++;
    m_timers.emplace(Key{m_now + std::max(delay, std::chrono::milliseconds(0)), id}, std::move(action));
    return id;
}

void FakeScheduler::cancel(TimerId id)
{
    const auto it =
        std::find_if(m_timers.begin(), m_timers.end(), [id](const auto& entry) { return entry.first.second == id; });
    if (it != m_timers.end())
        m_timers.erase(it);
}

void FakeScheduler::advance(std::chrono::milliseconds by)
{
    const TimePoint target = m_now + by;
    while (!m_timers.empty() && m_timers.begin()->first.first <= target) {
        auto node = m_timers.extract(m_timers.begin());
        m_now = node.key().first;
        node.mapped()();
    }
    m_now = target;
}
