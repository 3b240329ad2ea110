#pragma once

#include "Vision/FrameSource.h"

#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Frames from picture files instead of a camera, for tests and previews: one picture, or
// every picture of a folder in name order, delivered over and over at a steady rate on a
// thread of its own until stopped.
class FileFrameSource final : public FrameSource {
public:
    FileFrameSource(QString path, double framesPerSecond);
    ~FileFrameSource() override;

    // Fails with configurationFailed when no picture can be read from the path.
    std::optional<CameraError> start(FrameHandler handler) override;
    void stop() override;

private:
    std::vector<QImage> load() const;
    void play(std::vector<QImage> pictures, FrameHandler handler);

    const QString m_path;
    const double m_framesPerSecond;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};
