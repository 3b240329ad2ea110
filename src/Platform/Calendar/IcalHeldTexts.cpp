#include "Platform/Calendar/IcalHeldTexts.h"

#include <algorithm>

IcalHeldTexts::Place IcalHeldTexts::add(QByteArrayView text)
{
    if (m_blocks.isEmpty() || m_blocks.last().text.size() + text.size() > m_blocks.last().text.capacity()) {
        m_blocks.emplace_back();
        m_blocks.last().text.reserve(std::max(kBlockBytes, text.size()));
    }
    Block& block = m_blocks.last();
    ++block.held;
    block.text.append(text);
    return {qint32(m_blocks.size() - 1), qint32(block.text.size() - text.size()), qint32(text.size())};
}

QByteArray IcalHeldTexts::take(const Place& place)
{
    Block& block = m_blocks[place.block];
    QByteArray text = block.text.sliced(place.begin, place.size);
    // The last block is still being filled.
    if (--block.held == 0 && place.block + 1 < m_blocks.size())
        block.text = QByteArray();
    return text;
}
