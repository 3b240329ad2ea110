#include "UI/Camera/FrameFeed.h"

FrameFeed::FrameFeed(std::shared_ptr<FrameChannel> channel, std::function<void(const QImage&)> onFrame, QObject* parent)
    : QObject(parent), m_channel(std::move(channel)), m_onFrame(std::move(onFrame)),
      m_wake(QueuedWake::make(*this, [this] { drain(); }))
{
    m_channel->setOnReadable([wake = m_wake] { wake->wake(); });
    if (m_channel->size() > 0)
        m_wake->wake();
}

FrameFeed::~FrameFeed()
{
    m_wake->detach();
    m_channel->close();
}

void FrameFeed::drain()
{
    std::optional<CameraFrame> newest;
    while (auto frame = m_channel->tryPop())
        newest = std::move(frame);
    if (newest)
        m_onFrame(newest->pixels);
}
