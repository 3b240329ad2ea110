#pragma once

#include "Audio/AudioBuffer.h"
#include "Audio/AudioChunker.h"
#include "Audio/CaptureBackend.h"
#include "Support/ChannelFanOut.h"
#include "Support/SerialWorker.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Why capture could not start.
struct AudioInputError {
    enum class Kind { invalidFormat, engineFailed, noInputDevice };
    Kind kind = Kind::noInputDevice;
    AudioFormat format;  // invalidFormat: what the device reported
    QString detail;  // engineFailed: the audio system's reason
    QString description() const;
};

using AudioChannel = LatestChannel<AudioBufferPtr>;

// The microphone capture. It opens the chosen microphone (or the system default) and hands
// every captured buffer of 4096 frames, unconverted, to each subscriber's bounded channel,
// which keeps the 64 newest unread buffers and counts what it drops. Set-up and tear-down
// run on a worker thread; buffers arrive on the backend's capture thread. A microphone that
// goes away stops the capture and is reported through onDeviceLost.
class AudioInputStream : public QObject {
    Q_OBJECT
public:
    static constexpr std::int64_t kFramesPerBuffer = 4096;
    static constexpr std::size_t kSubscriberCapacity = 64;
    using StartCompletion = std::function<void(std::optional<AudioInputError>)>;

    explicit AudioInputStream(std::unique_ptr<CaptureBackend> backend, QObject* parent = nullptr);
    ~AudioInputStream() override;

    // Starts capture on the device with that uid ("" for the system default; an unknown or
    // refusing device falls back to it). `done` runs later on this object's thread, after
    // isRunning() and inputFormat() are set. Starting a running stream changes nothing.
    void start(const QString& preferredDeviceUID, StartCompletion done);
    // A new subscriber's channel. Closing it, or dropping every reference to it, unsubscribes.
    std::shared_ptr<AudioChannel> subscribe();
    // Closes every subscriber's channel and stops capture in the background.
    void stop();

    bool isRunning() const { return m_running; }
    // The format of the last successful start (kept after stop).
    std::optional<AudioFormat> inputFormat() const { return m_inputFormat; }
    // The name of the device of the last successful start, as the sound system shows it.
    const QString& deviceName() const { return m_deviceName; }

    // The running capture's device went away, named as deviceName(); the capture has
    // stopped and its subscribers' channels are closed. On this object's thread.
    std::function<void(const QString& deviceName)> onDeviceLost;

private:
    // On the set-up worker: binds the chosen device, else the system default.
    std::optional<AudioInputError> selectDevice(const QString& preferredDeviceUID);
    void finishStart(const std::optional<AudioInputError>& error, AudioFormat format, const QString& deviceName);
    void deviceLost();
    void broadcast(const float* interleaved, std::int64_t frameCount);  // capture thread

    std::unique_ptr<CaptureBackend> m_backend;
    std::unique_ptr<AudioChunker> m_chunker;  // capture thread only while capturing
    ChannelFanOut<AudioBufferPtr> m_subscribers{kSubscriberCapacity};
    std::vector<StartCompletion> m_pendingStarts;
    bool m_running = false;
    bool m_starting = false;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_delivering{false};  // false from stop() on: late captures reach nobody
    std::optional<AudioFormat> m_inputFormat;
    QString m_deviceName;
    // Last, so it is destroyed first: it finishes the queued stop while everything it uses exists.
    SerialWorker m_setup{QStringLiteral("app.parlivox.audio.setup")};
};
