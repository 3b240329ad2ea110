#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

// A bounded multi-thread queue that keeps the newest items: when full, a push drops the
// oldest item and counts it. Closing wakes every waiting reader; items already queued can
// still be taken after close.
template <typename T>
class LatestChannel {
public:
    explicit LatestChannel(std::size_t capacity) : m_capacity(capacity == 0 ? 1 : capacity) {}

    // Returns false when the channel is closed (the item is discarded).
    bool push(T item)
    {
        std::function<void()> notify;
        {
            std::lock_guard lock(m_mutex);
            if (m_closed)
                return false;
            if (m_items.size() == m_capacity) {
                m_items.pop_front();
                ++m_dropped;
            }
            m_items.push_back(std::move(item));
            notify = m_onReadable;
        }
        m_readable.notify_one();
        if (notify)
            notify();
        return true;
    }

    std::optional<T> tryPop()
    {
        std::lock_guard lock(m_mutex);
        return takeFront();
    }

    // Blocks until an item arrives or the channel is closed and empty.
    std::optional<T> pop()
    {
        std::unique_lock lock(m_mutex);
        m_readable.wait(lock, [this] { return m_closed || !m_items.empty(); });
        return takeFront();
    }

    void close()
    {
        {
            std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_readable.notify_all();
    }

    // Called on the pushing thread after each push, outside the lock: a consumer on another
    // thread uses it to schedule a drain (for example with a queued invokeMethod).
    void setOnReadable(std::function<void()> callback)
    {
        std::lock_guard lock(m_mutex);
        m_onReadable = std::move(callback);
    }

    bool isClosed() const
    {
        std::lock_guard lock(m_mutex);
        return m_closed;
    }
    std::size_t size() const
    {
        std::lock_guard lock(m_mutex);
        return m_items.size();
    }
    std::uint64_t dropped() const
    {
        std::lock_guard lock(m_mutex);
        return m_dropped;
    }
    std::size_t capacity() const { return m_capacity; }

private:
    std::optional<T> takeFront()
    {
        if (m_items.empty())
            return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        return item;
    }

    const std::size_t m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_readable;
    std::deque<T> m_items;
    std::function<void()> m_onReadable;
    std::uint64_t m_dropped = 0;
    bool m_closed = false;
};
