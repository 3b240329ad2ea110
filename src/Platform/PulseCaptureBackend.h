#pragma once

#include "Audio/CaptureBackend.h"

#include <QAudioDevice>

#include <cstddef>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// Capture through libpulse's asynchronous API: a record stream in 32-bit float at the
// device's own rate and channel count that asks the sound server for periods of one
// 4096-frame buffer, so the capture thread wakes about a dozen times a second rather than
// every few milliseconds. The devices are those Qt Multimedia lists, whose ids are the
// server's source names. Frames arrive on the libpulse loop's own thread.
class PulseCaptureBackend final : public CaptureBackend {
public:
    PulseCaptureBackend() = default;
    ~PulseCaptureBackend() override;
    PulseCaptureBackend(const PulseCaptureBackend&) = delete;
    PulseCaptureBackend& operator=(const PulseCaptureBackend&) = delete;

    bool hasInputDevice() const override;
    std::optional<int> selectDevice(const QString& deviceId) override;
    AudioFormat deviceFormat() const override;
    std::optional<QString> start(const AudioFormat& format, FramesHandler handler) override;
    void stop() override;

private:
    std::optional<QString> connectStream(const AudioFormat& format);  // with the loop locked
    QString serverError() const;
    static void signalLoop(pa_threaded_mainloop* loop);
    static void handleStreamState(pa_stream* stream, void* self);
    static void readCaptured(pa_stream* stream, std::size_t bytes, void* self);  // on the loop's thread

    QAudioDevice m_device;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    FramesHandler m_handler;
    std::size_t m_frameBytes = 0;
    bool m_streaming = false;  // the stream reached its ready state; touched with the loop locked
};
