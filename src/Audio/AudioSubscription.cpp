#include "Audio/AudioSubscription.h"

#include <atomic>
#include <mutex>

// Shared with the capture thread, which may push while this object is being destroyed: the
// mutex keeps the target alive for the length of one post.
struct AudioSubscription::Waker {
    std::mutex mutex;
    AudioSubscription* target = nullptr;
    std::atomic<bool> drainPosted{false};

    void wake()
    {
        std::lock_guard lock(mutex);
        if (target && !drainPosted.exchange(true))
            QMetaObject::invokeMethod(target, &AudioSubscription::drain, Qt::QueuedConnection);
    }
};

AudioSubscription::AudioSubscription(std::shared_ptr<AudioChannel> channel,
                                     std::function<void(const AudioBufferPtr&)> onBuffer, QObject* parent)
    : QObject(parent), m_channel(std::move(channel)), m_onBuffer(std::move(onBuffer)),
      m_waker(std::make_shared<Waker>())
{
    m_waker->target = this;
    m_channel->setOnReadable([waker = m_waker] { waker->wake(); });
    // Buffers that arrived before this reader existed.
    if (m_channel->size() > 0)
        m_waker->wake();
}

AudioSubscription::~AudioSubscription()
{
    {
        std::lock_guard lock(m_waker->mutex);
        m_waker->target = nullptr;
    }
    m_channel->close();
}

void AudioSubscription::drain()
{
    m_waker->drainPosted = false;
    while (auto buffer = m_channel->tryPop())
        m_onBuffer(*buffer);
}
