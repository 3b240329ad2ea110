#include "Backend/IncrementalUTF8Decoder.h"

#include "Support/Text.h"

#include <algorithm>

QString IncrementalUTF8Decoder::feed(QByteArrayView bytes)
{
    m_pending.append(bytes);
    if (std::optional<QString> text = Text::decodeUtf8Strict(m_pending)) {
        m_pending.clear();
        return *text;
    }
    const qsizetype longest = std::min<qsizetype>(4, m_pending.size());
    for (qsizetype held = 1; held <= longest; ++held) {
        if (std::optional<QString> text = Text::decodeUtf8Strict(QByteArrayView(m_pending).chopped(held))) {
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
