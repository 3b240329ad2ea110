#pragma once

#include "Audio/CaptureBackend.h"

#include <QAudioDevice>
#include <QByteArray>
#include <QObject>
#include <QThread>

class QAudioSource;
class QIODevice;

// Capture through Qt Multimedia: a QAudioSource in 32-bit float at the device's own rate and
// channel count, living on a thread of its own whose event loop reads the captured bytes.
class QtCaptureBackend final : public CaptureBackend {
public:
    QtCaptureBackend();
    ~QtCaptureBackend() override;

    bool hasInputDevice() const override;
    std::optional<int> selectDevice(const QString& deviceId) override;
    AudioFormat deviceFormat() const override;
    std::optional<QString> start(const AudioFormat& format, FramesHandler handler) override;
    void stop() override;

private:
    void readCaptured();  // on the capture thread

    QAudioDevice m_device;
    QThread m_thread;
    QObject m_context;  // lives on m_thread; the audio source and its reads belong to it
    QAudioSource* m_source = nullptr;
    QIODevice* m_io = nullptr;
    FramesHandler m_handler;
    int m_channels = 0;
    QByteArray m_partialFrame;
};
