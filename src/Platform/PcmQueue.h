#pragma once

#include "Audio/AudioBuffer.h"

#include <cstddef>
#include <deque>

// Mono float PCM waiting to be played, read out in pieces of any size while blocks are still
// being appended. It is at its end only once the last block has been announced and read.
// Not locked: its owner guards it.
class PcmQueue {
public:
    void append(AudioBufferPtr audio);
    void endStream();

    // Copies up to `maxBytes` of the oldest samples into `data`; the bytes copied.
    std::size_t read(void* data, std::size_t maxBytes);
    std::size_t bytesAvailable() const { return m_available; }
    bool atEnd() const { return m_ended && m_available == 0; }

private:
    std::deque<AudioBufferPtr> m_blocks;
    std::size_t m_offset = 0;  // bytes of the front block already read
    std::size_t m_available = 0;
    bool m_ended = false;
};
