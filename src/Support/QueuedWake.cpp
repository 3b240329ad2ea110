#include "Support/QueuedWake.h"

std::shared_ptr<QueuedWake> QueuedWake::make(QObject& owner, std::function<void()> drain)
{
    return std::shared_ptr<QueuedWake>(new QueuedWake(owner, std::move(drain)));
}

QueuedWake::QueuedWake(QObject& owner, std::function<void()> drain) : m_owner(&owner), m_drain(std::move(drain))
{
}

void QueuedWake::wake()
{
    std::lock_guard lock(m_mutex);
    if (!m_owner || m_posted.exchange(true))
        return;
    QMetaObject::invokeMethod(
        m_owner,
        [self = shared_from_this()] {
            self->m_posted = false;
            self->m_drain();
        },
        Qt::QueuedConnection);
}

void QueuedWake::detach()
{
    std::lock_guard lock(m_mutex);
    m_owner = nullptr;
}
