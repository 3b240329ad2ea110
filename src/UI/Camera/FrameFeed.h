#pragma once

#include "Support/QueuedWake.h"
#include "Vision/CameraStream.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>

// Reads a camera subscription on the GUI thread: when frames arrive, one queued call takes
// the newest and hands it on as an image (older waiting ones are skipped, a preview only
// shows the latest). Destroying the feed closes the subscription.
class FrameFeed final : public QObject {
    Q_OBJECT
public:
    FrameFeed(std::shared_ptr<FrameChannel> channel, std::function<void(const QImage&)> onFrame,
              QObject* parent = nullptr);
    ~FrameFeed() override;

private:
    void drain();

    std::shared_ptr<FrameChannel> m_channel;
    std::function<void(const QImage&)> m_onFrame;
    std::shared_ptr<QueuedWake> m_wake;
};
