#pragma once

#include "Audio/CaptureBackend.h"
#include "Platform/PulseConnection.h"

#include <cstddef>
#include <memory>

struct pa_stream;

// Capture through libpulse's asynchronous API: a record stream in 32-bit float at the
// source's own rate and channel count that asks the sound server for periods of one
// 4096-frame buffer, so the capture thread wakes about a dozen times a second rather than
// every few milliseconds. The system default is asked of the server at each selection, and
// a default that is the monitor of an output is refused. The stream stays on its source:
// when the source goes away the server ends it and the loss is reported, rather than the
// server moving it to another source (often that monitor). Frames arrive on the libpulse
// loop's own thread.
class PulseCaptureBackend final : public CaptureBackend {
public:
    PulseCaptureBackend() = default;
    ~PulseCaptureBackend() override;
    PulseCaptureBackend(const PulseCaptureBackend&) = delete;
    PulseCaptureBackend& operator=(const PulseCaptureBackend&) = delete;

    std::optional<AudioDeviceError> selectDevice(const QString& deviceId) override;
    QString deviceName() const override;
    AudioFormat deviceFormat() const override;
    std::optional<QString> start(const AudioFormat& format, FramesHandler frames, LostHandler lost) override;
    void stop() override;

private:
    std::optional<QString> connectStream(const AudioFormat& format);  // with the loop locked
    void disconnectStream();  // with the loop locked
    static void handleStreamState(pa_stream* stream, void* self);
    static void readCaptured(pa_stream* stream, std::size_t bytes, void* self);  // on the loop's thread

    // From the first selection until stop().
    std::unique_ptr<PulseConnection> m_connection;
    std::optional<PulseConnection::Source> m_source;
    pa_stream* m_stream = nullptr;
    FramesHandler m_frames;
    LostHandler m_lost;
    std::size_t m_frameBytes = 0;
    bool m_streaming = false;  // the stream reached its ready state; touched with the loop locked
};
