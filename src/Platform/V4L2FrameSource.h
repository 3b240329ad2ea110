#pragma once

#include "Vision/FrameSource.h"

#include <QString>

#include <opencv2/videoio.hpp>

#include <atomic>
#include <thread>

// A V4L2 camera through OpenCV's VideoCapture, read on a capture thread of its own. It asks
// for 352×288, else 640×480, else 320×240, at 15 frames per second, and logs what the device
// accepted; a device that cannot do 15 runs at its own rate. Frames are converted to BGRA.
class V4L2FrameSource final : public FrameSource {
public:
    // `devicePath` "" takes the first video capture device under `deviceFolder`.
    explicit V4L2FrameSource(QString devicePath = {}, QString deviceFolder = QStringLiteral("/dev"));
    ~V4L2FrameSource() override;

    std::optional<CameraError> start(FrameHandler handler) override;
    void stop() override;

private:
    std::optional<CameraError> open();
    void configure();
    void capture(FrameHandler handler);

    const QString m_devicePath;
    const QString m_deviceFolder;
    cv::VideoCapture m_capture;  // the session thread while stopped, the capture thread while running
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
