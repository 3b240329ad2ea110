#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Gzip {

// The data as a complete gzip stream (header and trailer included), as an HTTP body with
// "Content-Encoding: gzip" needs it; nothing with the reason when zlib fails.
std::optional<QByteArray> compress(const QByteArray& data, QString* error = nullptr);

}  // namespace Gzip
