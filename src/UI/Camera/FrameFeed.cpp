#include "UI/Camera/FrameFeed.h"

#include <atomic>
#include <mutex>

struct FrameFeed::Waker {
    std::mutex mutex;
    FrameFeed* target = nullptr;
    std::atomic<bool> posted{false};

    void wake()
    {
        std::lock_guard lock(mutex);
        if (target && !posted.exchange(true))
            QMetaObject::invokeMethod(target, &FrameFeed::drain, Qt::QueuedConnection);
    }
};

FrameFeed::FrameFeed(std::shared_ptr<FrameChannel> channel, std::function<void(const QImage&)> onFrame, QObject* parent)
    : QObject(parent), m_channel(std::move(channel)), m_onFrame(std::move(onFrame)), m_waker(std::make_shared<Waker>())
{
    m_waker->target = this;
    m_channel->setOnReadable([waker = m_waker] { waker->wake(); });
    if (m_channel->size() > 0)
        m_waker->wake();
}

FrameFeed::~FrameFeed()
{
    {
        std::lock_guard lock(m_waker->mutex);
        m_waker->target = nullptr;
    }
    m_channel->close();
}

QImage FrameFeed::image(const CameraFrame& frame)
{
    const cv::Mat& pixels = frame.pixels;
    if (pixels.empty() || pixels.type() != CV_8UC4)
        return {};
    // The image holds a reference to the matrix, so the pixels live as long as it does.
    auto* keep = new cv::Mat(pixels);
    return QImage(
        keep->data, keep->cols, keep->rows, int(keep->step), QImage::Format_ARGB32,
        [](void* matrix) { delete static_cast<cv::Mat*>(matrix); }, keep);
}

void FrameFeed::drain()
{
    m_waker->posted = false;
    std::optional<CameraFrame> newest;
    while (auto frame = m_channel->tryPop())
        newest = std::move(frame);
    if (newest)
        m_onFrame(image(*newest));
}
