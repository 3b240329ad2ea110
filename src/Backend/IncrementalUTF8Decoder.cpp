#include "Backend/IncrementalUTF8Decoder.h"

#include "Support/Text.h"

#include <algorithm>

namespace {

// How many bytes the sequence that a lead byte opens takes, or 0 for a byte that opens none.
int sequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The length of a last character that is cut short but that later bytes can still
// complete, or 0. The second byte after some lead bytes has a narrower range (no overlong
// forms, no surrogates, nothing past U+10FFFF).
qsizetype incompleteTail(QByteArrayView bytes)
{
    for (qsizetype length = 1; length <= std::min<qsizetype>(3, bytes.size()); ++length) {
        const auto lead = static_cast<unsigned char>(bytes[bytes.size() - length]);
        if (lead >= 0x80 && lead <= 0xBF)
            continue;  // a continuation byte: the lead lies further back
        if (length >= sequenceLength(lead))
            return 0;
        if (length == 1)
            return 1;
        const auto second = static_cast<unsigned char>(bytes[bytes.size() - length + 1]);
        const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        return second >= low && second <= high ? length : 0;
    }
    return 0;
}

}  // namespace

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
    // Bad bytes no later byte can mend are replaced now, but a character still arriving
    // waits for the rest of its bytes.
    const qsizetype tail = incompleteTail(m_pending);
    const QString text = Text::decodeUtf8Replacing(QByteArrayView(m_pending).chopped(tail));
    m_pending = m_pending.right(tail);
    return text;
}

QString IncrementalUTF8Decoder::flush()
{
    return Text::decodeUtf8Replacing(std::exchange(m_pending, QByteArray()));
}
