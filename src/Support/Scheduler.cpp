#include "Support/Scheduler.h"

void SingleShot::start(std::chrono::milliseconds delay, std::function<void()> action)
{
    cancel();
    m_id = m_scheduler.schedule(delay, [this, action = std::move(action)] {
        m_id = 0;
        action();
    });
}

void SingleShot::cancel()
{
    if (m_id != 0) {
        m_scheduler.cancel(m_id);
        m_id = 0;
    }
}
