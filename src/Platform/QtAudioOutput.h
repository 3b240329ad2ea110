#pragma once

#include "Speech/AudioOutput.h"

#include <QAudio>
#include <QAudioDevice>
#include <QObject>
#include <QTimer>

#include <functional>

class PcmStreamDevice;
class QAudioSink;

// Audio output through Qt Multimedia (PulseAudio on Linux), on the default output device
// of the moment unless another device source is given. The sink pulls each stream from a
// device that grows as blocks are appended.
class QtAudioOutput final : public QObject, public AudioOutput {
    Q_OBJECT
public:
    using DeviceSource = std::function<QAudioDevice()>;

    explicit QtAudioOutput(DeviceSource device = {}, QObject* parent = nullptr);
    ~QtAudioOutput() override;

    void play(AudioBufferPtr audio) override;
    void append(AudioBufferPtr audio) override;
    void endStream() override;
    void stop() override;

private:
    void handleState(quint64 playback, QAudio::State state);
    void report(quint64 playback, std::function<void()> action);
    void fail(quint64 playback, const QString& reason);
    void releaseSink();

    DeviceSource m_device;
    QAudioSink* m_sink = nullptr;
    PcmStreamDevice* m_stream = nullptr;
    quint64 m_playback = 0;  // raised by every play() and stop(); older reports are dropped
    bool m_finished = false;  // the current playback has made its final report
    // An open sink wakes the process every few milliseconds even when silent: it is closed a
    // little after its last sample, once the device has played out what it holds.
    QTimer m_closeWhenDrained;
};
