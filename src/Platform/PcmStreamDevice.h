#pragma once

#include "Audio/AudioBuffer.h"

#include <QIODevice>

#include <deque>

// A read-only device over mono float PCM that grows while it is read: an audio sink pulls
// from it while blocks are still being appended. It is at its end only once the last block
// has been announced and read. Used on one thread.
class PcmStreamDevice final : public QIODevice {
public:
    using QIODevice::QIODevice;

    void append(AudioBufferPtr audio);
    void endStream();

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool atEnd() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::deque<AudioBufferPtr> m_blocks;
    qint64 m_offset = 0;  // bytes of the front block already read
    qint64 m_available = 0;
    bool m_ended = false;
};
