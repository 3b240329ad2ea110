#pragma once

#include "Audio/AudioInputStream.h"

#include <QObject>

#include <functional>
#include <memory>

// Reads one subscriber channel on the thread that owns this object: every buffer that the
// channel kept goes to `onBuffer` in capture order, drained by one queued call per burst.
// Buffers the channel dropped because this reader fell behind are logged as a warning.
// Destroying it closes the channel, which unsubscribes it from the stream.
class AudioSubscription : public QObject {
    Q_OBJECT
public:
    AudioSubscription(std::shared_ptr<AudioChannel> channel, std::function<void(const AudioBufferPtr&)> onBuffer,
                      QObject* parent = nullptr);
    ~AudioSubscription() override;

    // Buffers the channel dropped because this reader fell behind.
    std::uint64_t dropped() const { return m_channel->dropped(); }

private:
    struct Waker;

    void drain();

    std::shared_ptr<AudioChannel> m_channel;
    std::function<void(const AudioBufferPtr&)> m_onBuffer;
    std::shared_ptr<Waker> m_waker;
    std::uint64_t m_reportedDrops = 0;
};
