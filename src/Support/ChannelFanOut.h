#pragma once

#include "Support/LatestChannel.h"

#include <memory>
#include <mutex>
#include <vector>

// The subscribers of a capture stream: each gets a LatestChannel of its own. A push, from
// any thread, reaches every channel still open and forgets those closed or dropped by their
// reader; the lock is never held while pushing.
template <typename T>
class ChannelFanOut {
public:
    explicit ChannelFanOut(std::size_t capacity) : m_capacity(capacity) {}

    std::shared_ptr<LatestChannel<T>> subscribe()
    {
        auto channel = std::make_shared<LatestChannel<T>>(m_capacity);
        std::lock_guard lock(m_mutex);
        m_channels.push_back(channel);
        return channel;
    }

    void push(const T& item)
    {
        std::vector<std::shared_ptr<LatestChannel<T>>> live;
        {
            std::lock_guard lock(m_mutex);
            std::erase_if(m_channels, [&live](const std::weak_ptr<LatestChannel<T>>& subscriber) {
                auto channel = subscriber.lock();
                if (!channel || channel->isClosed())
                    return true;
                live.push_back(std::move(channel));
                return false;
            });
        }
        for (const auto& channel : live)
            channel->push(item);
    }

    // Closes every channel and forgets it; later subscribers are kept.
    void closeAll()
    {
        std::vector<std::weak_ptr<LatestChannel<T>>> channels;
        {
            std::lock_guard lock(m_mutex);
            channels.swap(m_channels);
        }
        for (const auto& subscriber : channels)
            if (const auto channel = subscriber.lock())
                channel->close();
    }

private:
    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::vector<std::weak_ptr<LatestChannel<T>>> m_channels;
};
