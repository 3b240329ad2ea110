#pragma once

#include "Audio/AudioBuffer.h"
#include "Support/SerialWorker.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

struct sf_private_tag;

// Writes the microphone buffers of one minutes session, as they come, into a new CAF file of
// 32-bit float linear PCM at the capture's rate and channel count. `append` and `close` only
// queue work: writing and finishing the file run on the recorder's own worker, in order, so
// a close keeps every buffer appended before it. A recording never replaces an existing file.
// Destroying an open recorder finishes the file first (and waits for the queued writes).
// The file's header is kept current after each buffer, so a recording cut short by the end
// of the process opens with every buffer whose write had completed. A buffer the disk does not
// take whole (full, read-only) is left out whole and the next one is tried: the counts are
// always those of the file, and the lost frames are logged.
class AudioRecorder : public QObject {
    Q_OBJECT
public:
    struct Totals {
        std::int64_t samplesWritten = 0;  // frames, whatever the channel count
        std::int64_t bytesWritten = 0;  // the file's size on disk
    };

    // "<recordings>/<prefix>-yyyyMMdd-HHmmss.caf" for the local time of `time`.
    static QString makeURL(const QString& prefix, const QDateTime& time);

    // Opens a new recording at `path`, or, when that name is taken, at the first free
    // "<name>-2.caf", "<name>-3.caf", ... Nothing, and the reason in `error`, for a path
    // outside the data directory or a file that cannot be created.
    static std::unique_ptr<AudioRecorder> create(const QString& path, const AudioFormat& format,
                                                 QString* error = nullptr);
    ~AudioRecorder() override;

    void append(AudioBufferPtr buffer);
    // Finishes the file after the buffers appended so far; later appends write nothing.
    // `onClosed` then runs on this object's thread with the final totals, unless the recorder
    // is destroyed first.
    void close(std::function<void(const Totals&)> onClosed = {});

    // The file actually written, and its name without the extension (the minutes text of the
    // session takes the same name).
    const QString& path() const { return m_path; }
    QString baseName() const;
    // Updated on the worker; may lag the buffers still queued.
    std::int64_t samplesWritten() const { return m_samplesWritten; }
    std::int64_t bytesWritten() const { return m_bytesWritten; }

private:
    AudioRecorder(QString path, AudioFormat format, sf_private_tag* file);

    void write(const AudioBuffer& buffer);  // worker
    Totals finish();  // worker

    const QString m_path;
    const AudioFormat m_format;
    sf_private_tag* m_file;  // worker only after construction
    std::vector<float> m_interleaved;  // worker only
    std::int64_t m_framesLost = 0;  // worker only: frames of buffers the disk refused
    bool m_failing = false;  // worker only: the last write failed
    std::atomic<std::int64_t> m_samplesWritten{0};
    std::atomic<std::int64_t> m_bytesWritten{0};
    bool m_closeQueued = false;
    // Last, so it is destroyed first: it finishes the queued writes while everything they use exists.
    SerialWorker m_writeQueue{QStringLiteral("app.parlivox.recorder.write")};
};
