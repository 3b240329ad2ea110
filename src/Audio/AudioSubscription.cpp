#include "Audio/AudioSubscription.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcInput, "app.parlivox.audio.input")

}  // namespace

AudioSubscription::AudioSubscription(std::shared_ptr<AudioChannel> channel,
                                     std::function<void(const AudioBufferPtr&)> onBuffer, QObject* parent)
    : QObject(parent), m_channel(std::move(channel)), m_onBuffer(std::move(onBuffer)),
      m_wake(QueuedWake::make(*this, [this] { drain(); }))
{
    m_channel->setOnReadable([wake = m_wake] { wake->wake(); });
    // Buffers that arrived before this reader existed.
    if (m_channel->size() > 0)
        m_wake->wake();
}

AudioSubscription::~AudioSubscription()
{
    m_wake->detach();
    m_channel->close();
}

void AudioSubscription::drain()
{
    if (const std::uint64_t dropped = m_channel->dropped(); dropped > m_reportedDrops) {
        qCWarning(lcInput, "subscriber fell behind: %llu buffers dropped (%llu in all)",
                  static_cast<unsigned long long>(dropped - m_reportedDrops), static_cast<unsigned long long>(dropped));
        m_reportedDrops = dropped;
    }
    while (auto buffer = m_channel->tryPop())
        m_onBuffer(*buffer);
}
