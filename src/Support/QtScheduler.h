#pragma once

#include "Support/Scheduler.h"

#include <QObject>

#include <unordered_map>

class QTimer;

// Production scheduler: QTimer on the owning thread and the steady clock.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT
public:
    explicit QtScheduler(QObject* parent = nullptr);
    ~QtScheduler() override;

    TimePoint now() const override;
    std::chrono::system_clock::time_point wallTime() const override;
    TimerId schedule(std::chrono::milliseconds delay, std::function<void()> action) override;
    void cancel(TimerId id) override;

private:
    TimerId m_nextId = 1;
    std::unordered_map<TimerId, QTimer*> m_timers;
};
