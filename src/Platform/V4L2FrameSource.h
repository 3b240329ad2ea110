#pragma once

#include "Vision/FrameSource.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// A V4L2 camera read directly through the kernel's video interface (memory-mapped streaming),
// on a capture thread of its own. It asks for 352×288, else 640×480, else 320×240, in YUYV
// (else Motion-JPEG), at 15 frames per second, and logs what the device accepted; a device that
// cannot do 15 runs at its own rate. Frames are converted to BGRA. Nothing of the camera is
// loaded before the first start.
class V4L2FrameSource final : public FrameSource {
public:
    // `devicePath` "" takes the first video capture device under `deviceFolder`.
    explicit V4L2FrameSource(QString devicePath = {}, QString deviceFolder = QStringLiteral("/dev"));
    ~V4L2FrameSource() override;

    std::optional<CameraError> start(FrameHandler handler) override;
    void stop() override;

private:
    struct Mapping {
        void* start = nullptr;
        std::size_t length = 0;
    };

    std::optional<CameraError> open();
    std::optional<CameraError> configure();
    std::optional<CameraError> startStreaming();
    // The next picture, or an empty one after `timeoutMs` without one or on a device error
    // (`failed` tells which).
    QImage nextPicture(int timeoutMs, bool* failed);
    void capture(FrameHandler handler);
    void release();

    const QString m_devicePath;
    const QString m_deviceFolder;
    // The session thread while stopped, the capture thread while running.
    QString m_node;  // the device opened
    int m_fd = -1;
    std::uint32_t m_pixelFormat = 0;
    int m_width = 0;
    int m_height = 0;
    int m_bytesPerLine = 0;
    std::vector<Mapping> m_buffers;
    bool m_streaming = false;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
