#include "Backend/Utf8.h"

#include <QStringDecoder>

namespace Utf8 {

std::optional<QString> decodeStrict(QByteArrayView bytes)
{
    // Stateless: an incomplete final sequence is an error instead of being held for later.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

}  // namespace Utf8
