#include "Audio/AudioSubscription.h"

#include <QLoggingCategory>

#include <atomic>
#include <mutex>

namespace {

Q_LOGGING_CATEGORY(lcInput, "app.parlivox.audio.input")

}  // namespace

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
    if (const std::uint64_t dropped = m_channel->dropped(); dropped > m_reportedDrops) {
        qCWarning(lcInput, "subscriber fell behind: %llu buffers dropped (%llu in all)",
                  static_cast<unsigned long long>(dropped - m_reportedDrops), static_cast<unsigned long long>(dropped));
        m_reportedDrops = dropped;
    }
    while (auto buffer = m_channel->tryPop())
        m_onBuffer(*buffer);
}
