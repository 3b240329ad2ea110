#pragma once

#include "Audio/CaptureBackend.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// Capture from a sound file instead of a microphone, so tests and benchmarks run known audio
// through the very input path the microphone uses. The file plays once, in short periods,
// either at the pace of real time or as fast as it can be read.
class FileCaptureBackend final : public CaptureBackend {
public:
    enum class Pacing { realTime, asFastAsPossible };

    // A file libsndfile reads (WAV, FLAC, ...), or, given `rawFormat`, headerless 16-bit
    // little-endian samples in that format.
    explicit FileCaptureBackend(QString path, Pacing pacing = Pacing::realTime,
                                std::optional<AudioFormat> rawFormat = std::nullopt);
    ~FileCaptureBackend() override;

    // Every id names the file, the only device; a file that cannot be read is none.
    std::optional<AudioDeviceError> selectDevice(const QString& deviceId) override;
    QString deviceName() const override { return m_path; }
    AudioFormat deviceFormat() const override { return m_format; }
    // The file never goes away while it plays.
    std::optional<QString> start(const AudioFormat& format, FramesHandler handler, LostHandler lost) override;
    void stop() override;

    // True once the whole file has been delivered.
    bool finished() const { return m_finished; }

private:
    struct OpenFile;

    std::unique_ptr<OpenFile> open(QString* error) const;
    void play(std::unique_ptr<OpenFile> file, FramesHandler handler);

    const QString m_path;
    const Pacing m_pacing;
    const std::optional<AudioFormat> m_rawFormat;
    AudioFormat m_format;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};
