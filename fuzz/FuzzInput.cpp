#include "FuzzInput.h"

#include <algorithm>

FuzzInput::FuzzInput(const std::uint8_t* data, std::size_t size)
    : m_rest(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
{
}

std::uint8_t FuzzInput::takeByte()
{
    if (m_rest.isEmpty())
        return 0;
    const auto byte = static_cast<std::uint8_t>(m_rest.front());
    m_rest = m_rest.sliced(1);
    return byte;
}

std::vector<std::size_t> FuzzInput::takePieceLengths()
{
    std::vector<std::size_t> lengths(takeByte() % 8 + 1);
    for (std::size_t& length : lengths)
        length = takeByte();
    return lengths;
}

QList<QByteArrayView> FuzzInput::cut(QByteArrayView bytes, const std::vector<std::size_t>& lengths)
{
    QList<QByteArrayView> pieces;
    for (std::size_t i = 0; !bytes.isEmpty(); ++i) {
        const auto length = std::min<qsizetype>(std::max<std::size_t>(lengths[i % lengths.size()], 1), bytes.size());
        pieces.append(bytes.first(length));
        bytes = bytes.sliced(length);
    }
    return pieces;
}

QStringList FuzzInput::cut(const QString& text, const std::vector<std::size_t>& lengths)
{
    QStringList pieces;
    qsizetype start = 0;
    for (std::size_t i = 0; start < text.size(); ++i) {
        qsizetype end = start;
        for (std::size_t n = std::max<std::size_t>(lengths[i % lengths.size()], 1); n > 0 && end < text.size(); --n)
            end += text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate() ? 2 : 1;
        pieces.append(text.sliced(start, end - start));
        start = end;
    }
    return pieces;
}
