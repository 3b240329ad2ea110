#include "Support/QtScheduler.h"

#include <QTimer>

QtScheduler::QtScheduler(QObject* parent) : QObject(parent)
{
}

QtScheduler::~QtScheduler()
{
    for (auto& [id, timer] : m_timers)
        delete timer;
}

Scheduler::TimePoint QtScheduler::now() const
{
    return Clock::now();
}

std::chrono::system_clock::time_point QtScheduler::wallTime() const
{
    return std::chrono::system_clock::now();
}

Scheduler::TimerId QtScheduler::schedule(std::chrono::milliseconds delay, std::function<void()> action)
{
    const TimerId id = m_nextId++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, action = std::move(action)] {
        auto it = m_timers.find(id);
        if (it == m_timers.end())
            return;
        it->second->deleteLater();
        m_timers.erase(it);
        action();
    });
    m_timers.emplace(id, timer);
    timer->start(std::max<std::chrono::milliseconds>(delay, std::chrono::milliseconds(0)));
    return id;
}

void QtScheduler::cancel(TimerId id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
}
