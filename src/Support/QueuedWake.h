#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

// How a producer thread (capture, camera) asks the owner of a channel, on the owner's
// thread, to drain it: wake() from any thread posts one queued call of `drain` to the owner,
// at most one waiting at a time. The owner calls detach() before it goes; a wake racing its
// destruction then posts nothing, and a call already posted dies with the owner. Held by
// shared pointer, so the producer's callback may outlive the owner.
class QueuedWake final : public std::enable_shared_from_this<QueuedWake> {
public:
    static std::shared_ptr<QueuedWake> make(QObject& owner, std::function<void()> drain);

    void wake();
    void detach();

private:
    QueuedWake(QObject& owner, std::function<void()> drain);

    std::mutex m_mutex;  // guards m_owner against detach() while a wake posts
    QObject* m_owner;
    std::function<void()> m_drain;  // the owner's thread only
    std::atomic<bool> m_posted{false};
};
