#include "Platform/PcmQueue.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t bytesOf(const AudioBuffer& audio)
{
    return std::size_t(audio.frameCount()) * sizeof(float);
}

}  // namespace

void PcmQueue::append(AudioBufferPtr audio)
{
    if (!audio || audio->frameCount() == 0)
        return;
    m_available += bytesOf(*audio);
    m_blocks.push_back(std::move(audio));
}

void PcmQueue::endStream()
{
    m_ended = true;
}

std::size_t PcmQueue::read(void* data, std::size_t maxBytes)
{
    std::size_t copied = 0;
    while (copied < maxBytes && !m_blocks.empty()) {
        const AudioBuffer& front = *m_blocks.front();
        // Mono planar samples are already the interleaved layout the server reads.
        const std::size_t take = std::min(maxBytes - copied, bytesOf(front) - m_offset);
        std::memcpy(static_cast<char*>(data) + copied, reinterpret_cast<const char*>(front.channelData(0)) + m_offset,
                    take);
        copied += take;
        m_offset += take;
        if (m_offset == bytesOf(front)) {
            m_blocks.pop_front();
            m_offset = 0;
        }
    }
    m_available -= copied;
    return copied;
}
