#include "Analytics/Gzip.h"

#include <zlib.h>

namespace Gzip {

namespace {
// Window bits 15 plus 16 ask zlib for the gzip wrapper instead of the zlib one.
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kMemoryLevel = 8;
}  // namespace

std::optional<QByteArray> compress(const QByteArray& data, QString* error)
{
    const auto fail = [error](const char* step, int code) -> std::optional<QByteArray> {
        if (error)
            *error = QStringLiteral("gzip %1 failed (%2)").arg(QLatin1String(step)).arg(code);
        return std::nullopt;
    };

    z_stream stream{};
    int code =
        deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY);
    if (code != Z_OK)
        return fail("init", code);

    // One deflate call with Z_FINISH suffices when the output can hold the bound.
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    code = deflate(&stream, Z_FINISH);
    const auto written = static_cast<qsizetype>(stream.total_out);
    deflateEnd(&stream);
    if (code != Z_STREAM_END)
        return fail("deflate", code);
    out.truncate(written);
    return out;
}

}  // namespace Gzip
