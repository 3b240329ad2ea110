#include "Platform/PcmStreamDevice.h"

#include <algorithm>
#include <cstring>

namespace {

qint64 bytesOf(const AudioBuffer& audio)
{
    return audio.frameCount() * qint64(sizeof(float));
}

}  // namespace

void PcmStreamDevice::append(AudioBufferPtr audio)
{
    if (!audio || audio->frameCount() == 0)
        return;
    m_available += bytesOf(*audio);
    m_blocks.push_back(std::move(audio));
    emit readyRead();
}

void PcmStreamDevice::endStream()
{
    m_ended = true;
}

qint64 PcmStreamDevice::bytesAvailable() const
{
    return m_available + QIODevice::bytesAvailable();
}

bool PcmStreamDevice::atEnd() const
{
    return m_ended && bytesAvailable() == 0;
}

qint64 PcmStreamDevice::readData(char* data, qint64 maxSize)
{
    qint64 copied = 0;
    while (copied < maxSize && !m_blocks.empty()) {
        const AudioBuffer& front = *m_blocks.front();
        // Mono planar samples are already the interleaved layout a sink reads.
        const qint64 take = std::min(maxSize - copied, bytesOf(front) - m_offset);
        std::memcpy(data + copied, reinterpret_cast<const char*>(front.channelData(0)) + m_offset, std::size_t(take));
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
