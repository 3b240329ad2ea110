#pragma once

#include "Platform/PcmQueue.h"
#include "Platform/PulseConnection.h"
#include "Speech/AudioOutput.h"

#include <QObject>
#include <QTimer>

#include <cstddef>
#include <memory>

struct pa_operation;
struct pa_stream;

// Audio output straight through libpulse: a float32 mono playback stream at the first block's
// rate with about 50 ms of buffer, so the first block sounds at once, fed from the stream's
// write callback on the libpulse loop's thread out of a queue the owner's thread fills. The
// connection is made at the first play(), never before. A stream played to its end stays open
// for a second, so the next sentence at the same rate starts on it, then closes: an open
// stream keeps waking the process.
class PulseAudioOutput final : public QObject, public AudioOutput {
    Q_OBJECT
public:
    // An empty sink name plays on the server's default sink of the moment.
    explicit PulseAudioOutput(QString sink = {}, QObject* parent = nullptr);
    // Closes the stream and joins the loop's thread: no callback outlives the object.
    ~PulseAudioOutput() override;
    PulseAudioOutput(const PulseAudioOutput&) = delete;
    PulseAudioOutput& operator=(const PulseAudioOutput&) = delete;

    void play(AudioBufferPtr audio) override;
    void append(AudioBufferPtr audio) override;
    void endStream() override;
    void stop() override;

private:
    std::optional<QString> connectToServer();
    // With the loop locked:
    bool canReuseStream(double rate) const;
    std::optional<QString> openStream(double rate);
    void closeStream();
    void feed();
    void failStream(const QString& reason);
    static void handleState(pa_stream* stream, void* self);
    static void handleWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void handleDrained(pa_stream* stream, int success, void* self);

    // From any thread; runs `action` on the owner's thread if `playback` is still the current one.
    void report(quint64 playback, std::function<void()> action);
    void fail(quint64 playback, const QString& reason);

    const QString m_sink;
    quint64 m_playback = 0;  // raised by every play() and stop(); older reports are dropped
    QTimer m_closeWhenIdle;
    std::unique_ptr<PulseConnection> m_connection;  // from the first play() on

    // Touched with the loop locked.
    pa_stream* m_stream = nullptr;
    double m_rate = 0;
    bool m_ready = false;  // the stream reached its ready state
    quint64 m_streamPlayback = 0;  // the playback the stream serves, 0 once it has made its last report
    PcmQueue m_queue;
    pa_operation* m_drain = nullptr;
};
