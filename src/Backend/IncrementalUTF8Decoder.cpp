#include "Backend/IncrementalUTF8Decoder.h"

#include "Backend/Utf8.h"

#include <algorithm>

QString IncrementalUTF8Decoder::feed(QByteArrayView bytes)
{
    m_pending.append(bytes);
    if (std::optional<QString> text = Utf8::decodeStrict(m_pending)) {
        m_pending.clear();
        return *text;
    }
    const qsizetype longest = std::min<qsizetype>(4, m_pending.size());
    for (qsizetype held = 1; held <= longest; ++held) {
        if (std::optional<QString> text = Utf8::decodeStrict(QByteArrayView(m_pending).chopped(held))) {
            m_pending = m_pending.right(held);
            return *text;
        }
    }
    return flush();
}

QString IncrementalUTF8Decoder::flush()
{
    return QString::fromUtf8(std::exchange(m_pending, QByteArray()));
}
