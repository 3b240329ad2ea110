#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Strict UTF-8, for the places where text that is not well-formed must be told apart
// (QString::fromUtf8 silently substitutes).
namespace Utf8 {

// The text when every byte belongs to a complete, well-formed sequence (a truncated last
// character counts as malformed; a leading byte-order mark is kept), otherwise nothing.
std::optional<QString> decodeStrict(QByteArrayView bytes);

}  // namespace Utf8
